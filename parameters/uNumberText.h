// Numbers as text, independent of the process locale (which belongs to the host).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo
{
/// value in fixed-point notation with exactly two decimals, a leading '-' when negative, no
/// thousands separator, and separator as the decimal sign: (-24, ',') -> "-24,00".
std::string FormatFixed2(double value, char separator);

/// A decimal number with '.' as the decimal sign: optional sign, digits with an optional
/// fraction, optional exponent ("0.5", "-1", "+.25", "1e-3"). The whole text must be the
/// number; anything else ("0,5", "", "1 ", "inf", "0x1") gives no value.
std::optional<float> ParseDecimal(std::string_view text);

/// A signed decimal integer in the signed 32-bit range, blanks allowed before it but not
/// after ("  12", "-3"); anything else gives no value.
std::optional<std::int32_t> ParseInteger(std::string_view text);
} // namespace orvo
