// The few file operations the effect needs: small 8-bit text files beside the module.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvo
{
class IFileSystem
{
  public:
    virtual ~IFileSystem() = default;

    /// True when a file (not a folder) exists at path.
    virtual bool FileExists(const std::string& path) const = 0;

    /// Removes the file; false when it could not be removed (or did not exist).
    virtual bool DeleteFile(const std::string& path) const = 0;

    /// Reads the file as lines, at most its first MaxTextFileBytes (TLineSplitter.h). A line ends
    /// at LF or at CR LF; the end marks are not part of the lines, and a last line without an end
    /// mark still counts. False, with lines left empty, when the file cannot be opened or read.
    virtual bool ReadLines(const std::string& path, std::vector<std::string>& lines) const = 0;

    /// Replaces the file's contents so that readers see either the old file or the whole
    /// new one: the text goes to a temporary file in the same folder, which is then renamed
    /// over path. On any failure the old file stays as it was and the answer is false.
    virtual bool WriteFileAtomically(const std::string& path, std::string_view text) const = 0;
};
} // namespace orvo
