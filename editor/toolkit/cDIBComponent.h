// The base of every toolkit object that lives on a form: an owner, the components it
// holds, a name and a tag. An owner does not free its components (their holders do, in any
// order): each side forgets the other when it is destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvo
{

class TDIBComponent;

/// An event without arguments beyond its sender.
using TNotifyEvent = std::function<void(TDIBComponent& sender)>;

class TDIBComponent
{
  public:
    explicit TDIBComponent(TDIBComponent* owner);
    virtual ~TDIBComponent();
    TDIBComponent(const TDIBComponent&) = delete;
    TDIBComponent& operator=(const TDIBComponent&) = delete;

    TDIBComponent* Owner() const { return FOwner; }
    /// The components this one owns, in the order of their creation.
    const std::vector<TDIBComponent*>& Components() const { return FComponents; }

    std::string Name;
    std::int32_t Tag = 0;

  private:
    TDIBComponent* FOwner = nullptr;
    std::vector<TDIBComponent*> FComponents;
};

} // namespace orvo
