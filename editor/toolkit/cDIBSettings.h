// The choice of compressor used when images are stored.
#pragma once

#include "editor/toolkit/cDIBCompressor.h"
#include "editor/toolkit/cDIBStandardCompressors.h"

#include <string>

namespace orvo
{

/// Which registered compressor the image writer uses, by identifier in text form.
class TDIBSettings
{
  public:
    /// Defaults to "DIB LZH", the compressor of every image the editor stores.
    std::string DIBCompressor{LZHDIBCompressorGUIDText};

    /// The registered compressor that `DIBCompressor` names, or nullptr when the text is
    /// not a valid identifier or no such compressor is registered (the writer then stores
    /// images uncompressed).
    const TAbstractDIBCompressor* FindCompressor() const;
};

} // namespace orvo
