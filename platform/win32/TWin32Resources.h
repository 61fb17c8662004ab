// Module data on Windows: resources of the DLL that holds this code.
#pragma once

#include "platform/IResources.h"

namespace orvo
{
/// Resource ids of the module (module/Orvo.rc).
constexpr unsigned FactoryBankResourceId = 1; // type RT_RCDATA

class TWin32Resources final : public IResources
{
  public:
    /// Resource RT_RCDATA 1 of the module's own image, read with the resource functions;
    /// the bytes stay mapped while the module is loaded. Empty without that resource.
    std::string_view FactoryBank() const override;
};
} // namespace orvo
