// Pictures of Orvo's editor window, drawn by the editor itself on the headless window
// system (no display needed): orvo-render --editor-shot, and the demo page's picture.
#pragma once

#include "tools/png/PNGFile.h"
#include "tools/render/uOptions.h"

#include <array>
#include <filesystem>

namespace orvo
{

class TVstPlugin;

/// The editor showing these 16 parameter values (parameter order), as a host would see it
/// right after opening it on a display of this scale: 700 x 300 pixels at 1, 1400 x 600 at 2.
[[nodiscard]] TRGBAImage RenderEditorPicture(const std::array<float, 16>& values,
                                             double scale = 1.0);

/// Whether a loaded plug-in is Orvo (its editor is the one this tool can draw).
[[nodiscard]] bool IsOrvo(TVstPlugin& plugin);

/// Draws the editor in plugin's current state into a PNG file; plugin must be Orvo.
void WriteEditorPicture(TVstPlugin& plugin, const std::filesystem::path& file, double scale = 1.0);

/// orvo-render --editor-shot FILE.png: loads the plug-in, applies --program, --param and
/// --oversample, and writes the editor picture at --scale.
int RunEditorShot(const TOptions& options);

} // namespace orvo
