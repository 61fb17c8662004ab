#include "editor/toolkit/cDIBComponent.h"

#include <algorithm>

namespace orvo
{

TDIBComponent::TDIBComponent(TDIBComponent* owner) : FOwner(owner)
{
    if (FOwner != nullptr)
    {
        FOwner->FComponents.push_back(this);
    }
}

TDIBComponent::~TDIBComponent()
{
    for (TDIBComponent* component : FComponents)
    {
        component->FOwner = nullptr;
    }
    if (FOwner != nullptr)
    {
        std::erase(FOwner->FComponents, this);
    }
}

} // namespace orvo
