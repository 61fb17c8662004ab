// Module data embedded as byte arrays at build time (the resources library).
#pragma once

#include "platform/IResources.h"

namespace orvo
{
class TEmbeddedResources final : public IResources
{
  public:
    std::string_view FactoryBank() const override;
};
} // namespace orvo
