// A mock of the whole editor, composed from the artwork the way the window composes it:
// the panel, then every control's frame at its place (knob frames blended between
// neighbours, slider frames cut by position, keys up or down), the value text in the
// display well, and optionally the credits picture with the oversampling key above it.
// Pixels are blended with the toolkit's 8-bit formulas, so the mock shows what the
// editor will show.
#pragma once

#include "parameters/uParameterTable.h"
#include "tools/artwork/uArtwork.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvo::art
{

/// What the mock shows: the 16 parameter values (parameter order) and the value text.
struct TEditorState
{
    std::array<float, ParameterCount> Values{};
    std::string HintText;
    bool ShowCredits = false;
};

/// The composed editor as top-down R G B A bytes (700 x 300, alpha 255).
std::vector<std::uint8_t> ComposeEditor(const std::vector<TArtImage>& images,
                                        const TArtworkFonts& fonts, const TEditorState& state);

/// A part of an image enlarged `factor` times with square pixels, for close review.
std::vector<std::uint8_t> Magnify(const std::vector<std::uint8_t>& rgba, int width, int x, int y,
                                  int cropWidth, int cropHeight, int factor);

/// A few states worth reviewing: defaults, a working setting, the extremes, the credits.
std::vector<std::pair<std::string, TEditorState>> PreviewStates();

} // namespace orvo::art
