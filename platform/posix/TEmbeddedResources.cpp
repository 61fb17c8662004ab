#include "platform/posix/TEmbeddedResources.h"

#include "resources/uFactoryBank.h"

namespace orvo
{
std::string_view TEmbeddedResources::FactoryBank() const
{
    return resources::FactoryBankText();
}
} // namespace orvo
