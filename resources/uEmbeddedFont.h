// The font file carried inside the module for the X11 editor's text (fonts/sserife.fon: the
// "MS Sans Serif" replacement of the Wine project, LGPL 2.1 or later, see fonts/README).
#pragma once

#include <cstddef>

namespace orvo::resources
{
extern const unsigned char EmbeddedFontBytes[];
extern const std::size_t EmbeddedFontSize;
} // namespace orvo::resources
