#include "editor/toolkit/cDIBSettings.h"

namespace orvo
{

const TAbstractDIBCompressor* TDIBSettings::FindCompressor() const
{
    const std::optional<TGUID> guid = GUIDFromText(DIBCompressor);
    return guid ? FindDIBCompressor(*guid) : nullptr;
}

} // namespace orvo
