// Splitting a text file's bytes into lines, shared by every IFileSystem implementation so
// that each platform reads the same file as the same lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvo
{
/// The most of a text file that is read: the files read are small (a MIDI map has at most
/// 128 lines), and a huge one (a file of newlines, a device) must not take a host's memory
/// and time. The rest of a longer file is not read.
constexpr std::size_t MaxTextFileBytes = 64 * 1024;

/// Turns bytes arriving in pieces (as a file is read chunk by chunk) into lines. A line ends
/// at LF or at CR LF, also when CR and LF arrive in different pieces; the end marks are not
/// part of the lines, and a last line without an end mark still counts once Finish is called.
class TLineSplitter
{
  public:
    explicit TLineSplitter(std::vector<std::string>& lines) : FLines(lines) {}

    void Add(std::string_view bytes)
    {
        bytes = bytes.substr(0, MaxTextFileBytes - FTotal);
        FTotal += bytes.size();
        for (const char c : bytes)
        {
            if (c == '\n')
            {
                if (!FLine.empty() && FLine.back() == '\r')
                {
                    FLine.pop_back();
                }
                FLines.push_back(std::move(FLine));
                FLine.clear();
                FLineOpen = false;
            }
            else
            {
                FLine.push_back(c);
                FLineOpen = true;
            }
        }
    }

    /// MaxTextFileBytes have arrived: the rest is ignored, so the reader may stop.
    bool Full() const { return FTotal >= MaxTextFileBytes; }

    /// Hands over the last line when the bytes did not end with an end mark.
    void Finish()
    {
        if (FLineOpen)
        {
            FLines.push_back(std::move(FLine));
            FLine.clear();
            FLineOpen = false;
        }
    }

  private:
    std::vector<std::string>& FLines;
    std::string FLine;
    bool FLineOpen = false;
    std::size_t FTotal = 0;
};
} // namespace orvo
