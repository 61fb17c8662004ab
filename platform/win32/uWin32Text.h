// Text conversions at the Windows API boundary. Paths travel through the platform
// interfaces as UTF-8, so that any file name survives the trip to the wide-character
// file functions; texts for the user are 8-bit texts in the system's ANSI code page, like
// every text the effect hands to the host.
#pragma once

#include <string>
#include <string_view>

namespace orvo::win32
{
/// UTF-16 from UTF-8; invalid sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
/// UTF-8 from UTF-16; unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
/// UTF-16 from 8-bit text in the ANSI code page.
std::wstring WideFromAnsi(std::string_view text);
} // namespace orvo::win32
