// The editor's settings that a user keeps across sessions and hosts: a small text file in
// the user's configuration folder (the window system names it), one "Key=Value" a line.
// Today it holds the size the user chose from the menu ("Size=150").
#pragma once

#include "editor/uEditorScale.h"

#include <filesystem>
#include <iosfwd>
#include <optional>

namespace orvo
{

/// The size a settings text names; none when it names none or one that is not drawn.
std::optional<TEditorScale> ReadSizeSetting(std::istream& settings);
/// The settings text with the size set to scale, keeping every other line of old.
void WriteSizeSetting(std::istream& old, std::ostream& settings, TEditorScale scale);

/// The size in the user's settings file; none without a file (an empty path included).
std::optional<TEditorScale> LoadUserScale(const std::filesystem::path& file);
/// Keeps scale in the user's settings file, making its folder where needed. False when it
/// cannot be written (nothing is then kept, and nothing else happens).
bool SaveUserScale(const std::filesystem::path& file, TEditorScale scale);

} // namespace orvo
