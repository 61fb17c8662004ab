#include "editor/uEditorSettings.h"

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace orvo
{

namespace
{

constexpr std::string_view SizeKey = "Size=";

/// The percentage a size is written as.
int Percent(TEditorScale scale)
{
    switch (scale)
    {
    case es150:
        return 150;
    case es200:
        return 200;
    case es100:
        break;
    }
    return 100;
}

/// The size a setting's value names: "100", "150" or "200"; es100 with found false else.
TEditorScale SizeOf(std::string_view value, bool& found)
{
    found = true;
    if (value == "150")
    {
        return es150;
    }
    if (value == "200")
    {
        return es200;
    }
    found = value == "100";
    return es100;
}

bool IsSizeLine(std::string_view line)
{
    return line.substr(0, SizeKey.size()) == SizeKey;
}

} // namespace

std::optional<TEditorScale> ReadSizeSetting(std::istream& settings)
{
    bool found = false;
    TEditorScale size = es100;
    std::string line;
    while (std::getline(settings, line))
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        if (!IsSizeLine(line))
        {
            continue;
        }
        // The last line that names a size wins, as when a file was edited by hand.
        size = SizeOf(std::string_view(line).substr(SizeKey.size()), found);
    }
    if (!found)
    {
        return std::nullopt;
    }
    return size;
}

void WriteSizeSetting(std::istream& old, std::ostream& settings, TEditorScale scale)
{
    std::string line;
    while (std::getline(old, line))
    {
        if (!IsSizeLine(line))
        {
            settings << line << '\n';
        }
    }
    settings << SizeKey << Percent(scale) << '\n';
}

std::optional<TEditorScale> LoadUserScale(const std::filesystem::path& file)
{
    if (file.empty())
    {
        return std::nullopt;
    }
    std::ifstream in(file);
    return in ? ReadSizeSetting(in) : std::nullopt;
}

bool SaveUserScale(const std::filesystem::path& file, TEditorScale scale)
{
    if (file.empty())
    {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::stringstream old;
    if (std::ifstream in(file); in)
    {
        old << in.rdbuf();
    }
    std::ofstream out(file, std::ios::trunc);
    WriteSizeSetting(old, out, scale);
    return static_cast<bool>(out.flush());
}

} // namespace orvo
