#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>

namespace orvo
{

namespace
{

class THeadlessTimer : public IUITimer
{
  public:
    THeadlessTimer(THeadlessPlatform& platform, std::uint64_t id) : FPlatform(platform), FId(id) {}
    ~THeadlessTimer() override { FPlatform.ForgetTimer(FId); }

    bool Start(std::uint32_t interval) override { return FPlatform.StartTimer(FId, interval); }
    void Stop() override { FPlatform.StopTimer(FId); }

  private:
    THeadlessPlatform& FPlatform;
    std::uint64_t FId;
};

std::int32_t FindCommand(const std::vector<TUIMenuEntry>& items,
                         const std::vector<std::string>& path, std::size_t depth)
{
    for (const TUIMenuEntry& item : items)
    {
        if (!item.Enabled || item.Caption != path[depth])
        {
            continue;
        }
        if (depth + 1 == path.size())
        {
            return item.Items.empty() ? item.Command : 0;
        }
        return FindCommand(item.Items, path, depth + 1);
    }
    return 0;
}

} // namespace

THeadlessPlatform::THeadlessPlatform() = default;
THeadlessPlatform::~THeadlessPlatform() = default;

std::unique_ptr<IUIWindow> THeadlessPlatform::CreateChildWindow(std::uintptr_t parent,
                                                                const TRect& bounds,
                                                                IUIWindowListener& listener)
{
    FNextHandle += 0x10;
    return std::make_unique<THeadlessWindow>(*this, parent, FNextHandle, bounds, listener);
}

std::unique_ptr<IUITimer> THeadlessPlatform::CreateTimer(std::function<void()> onTick)
{
    const std::uint64_t id = FNextTimerId++;
    FTimers[id].OnTick = std::move(onTick);
    return std::make_unique<THeadlessTimer>(*this, id);
}

bool THeadlessPlatform::StartTimer(std::uint64_t id, std::uint32_t interval)
{
    auto found = FTimers.find(id);
    if (found == FTimers.end())
    {
        return false;
    }
    found->second.Running = false;
    if (RunningTimers() >= FTimerLimit)
    {
        return false;
    }
    TTimerEntry& entry = found->second;
    entry.Interval = std::max<std::uint32_t>(interval, 1);
    entry.Running = true;
    entry.Due = FNow + entry.Interval;
    entry.Order = FNextOrder++;
    return true;
}

void THeadlessPlatform::StopTimer(std::uint64_t id)
{
    auto found = FTimers.find(id);
    if (found != FTimers.end())
    {
        found->second.Running = false;
    }
}

void THeadlessPlatform::ForgetTimer(std::uint64_t id)
{
    FTimers.erase(id);
}

std::size_t THeadlessPlatform::RunningTimers() const
{
    return static_cast<std::size_t>(std::count_if(FTimers.begin(), FTimers.end(),
                                                  [](const auto& t) { return t.second.Running; }));
}

void THeadlessPlatform::Advance(std::uint64_t milliseconds)
{
    const std::uint64_t target = FNow + milliseconds;
    for (;;)
    {
        TTimerEntry* next = nullptr;
        for (auto& [id, entry] : FTimers)
        {
            if (entry.Running && entry.Due <= target &&
                (next == nullptr || entry.Due < next->Due ||
                 (entry.Due == next->Due && entry.Order < next->Order)))
            {
                next = &entry;
            }
        }
        if (next == nullptr)
        {
            break;
        }
        FNow = next->Due;
        next->Due = FNow + next->Interval;
        next->Order = FNextOrder++;
        // The handler may stop, restart or destroy any timer, this one included.
        const std::function<void()> onTick = next->OnTick;
        onTick();
        DeliverPaints();
    }
    FNow = target;
    DeliverPaints();
}

void THeadlessPlatform::DeliverPaints()
{
    // A paint may destroy windows: walk a copy and check each is still there.
    const std::vector<THeadlessWindow*> windows = FWindows;
    for (THeadlessWindow* window : windows)
    {
        if (std::find(FWindows.begin(), FWindows.end(), window) != FWindows.end())
        {
            window->DeliverPaint();
        }
    }
}

void THeadlessPlatform::MovePointer(TPoint screen)
{
    FPointer = screen;
}

void THeadlessPlatform::QueueMenuAnswer(std::vector<std::string> captionPath)
{
    FMenuAnswers.push_back(std::move(captionPath));
}

std::int32_t THeadlessPlatform::PopupMenu(IUIWindow*, const TUIMenu& menu, TPoint screen)
{
    FShownMenus.push_back(THeadlessMenuRecord{menu, screen});
    if (FMenuAnswerer)
    {
        // From a copy: the answerer runs inside the menu's modal call and may replace itself.
        const TMenuAnswerer answerer = FMenuAnswerer;
        return answerer(menu, screen);
    }
    if (FMenuAnswers.empty())
    {
        return 0;
    }
    const std::vector<std::string> path = std::move(FMenuAnswers.front());
    FMenuAnswers.pop_front();
    return path.empty() ? 0 : FindCommand(menu.Items, path, 0);
}

void THeadlessPlatform::ShowMessage(IUIWindow*, std::string_view caption, std::string_view text)
{
    const THeadlessMessageRecord message{std::string(caption), std::string(text)};
    FMessages.push_back(message);
    if (FMessageAnswerer)
    {
        const TMessageAnswerer answerer = FMessageAnswerer;
        answerer(message);
    }
}

} // namespace orvo
