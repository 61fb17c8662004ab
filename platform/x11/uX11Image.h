// Copying the toolkit's pixels (blue, green, red, mask) to an X11 window: converted to the
// window's visual and sent with one XPutImage per rectangle.
#pragma once

#include "platform/ui/UIGeometry.h"
#include "platform/ui/UIPixels.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace orvo::x11
{
/// Converts the rows of area of image into the visual's 32-bit pixel values, written to
/// target (stride in pixels between rows) in the host's byte order.
void ConvertPixels(Visual* visual, int depth, const TPixelView& image, const TRect& area,
                   std::uint32_t* target, std::size_t stride);

/// Copies rect of image (viewed top-down, in window coordinates) to the same place in
/// window. scratch holds the converted rows between calls, so repeated paints reuse it.
void PutImage(Display* display, Window window, Visual* visual, int depth, const TPixelView& image,
              const TRect& rect, std::vector<std::uint32_t>& scratch);
} // namespace orvo::x11
