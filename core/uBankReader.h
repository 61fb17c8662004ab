// Reads the factory bank: INI-style 8-bit text of sections and key=value lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo
{
/// The text rules: every line (ending at LF, CR LF or CR) is trimmed of blanks and control
/// characters (NUL included) at both ends; empty lines and lines starting with ';' are
/// skipped; "[name]" opens a section (name trimmed); lines before the first section are
/// ignored; any other line is split at its first '=' into a trimmed key and a trimmed value
/// (a line without '=' is a key with an empty value). Section and key names compare without
/// regard to ASCII letter case; the first section and the first key of a name count.
class TBankReader
{
  public:
    explicit TBankReader(std::string_view text);

    /// The value of key in section, or none when the section or the key is missing.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

  private:
    struct TSection
    {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Keys;
    };
    std::vector<TSection> FSections;
};
} // namespace orvo
