// Splitting a text file's bytes into lines, shared by every IFileSystem implementation so
// that each platform reads the same file as the same lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvo
{
/// Turns bytes arriving in pieces (as a file is read chunk by chunk) into lines. A line ends
/// at LF or at CR LF, also when CR and LF arrive in different pieces; the end marks are not
/// part of the lines, and a last line without an end mark still counts once Finish is called.
class TLineSplitter
{
public:
    explicit TLineSplitter(std::vector<std::string>& lines) : FLines(lines)
    {
    }

    void Add(std::string_view bytes)
    {
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
};
} // namespace orvo
