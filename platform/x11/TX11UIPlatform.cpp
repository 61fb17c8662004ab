#include "platform/x11/TX11UIPlatform.h"

#include "platform/x11/TX11UIWindow.h"
#include "platform/x11/uX11Errors.h"
#include "platform/x11/uX11Resources.h"
#include "platform/x11/uX11ServerProbe.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace orvo
{

namespace
{

class TX11UITimer final : public IUITimer
{
  public:
    TX11UITimer(TX11UIPlatform& platform, std::uint64_t id) : FPlatform(platform), FId(id) {}
    ~TX11UITimer() override { FPlatform.ForgetTimer(FId); }
    TX11UITimer(const TX11UITimer&) = delete;
    TX11UITimer& operator=(const TX11UITimer&) = delete;

    bool Start(std::uint32_t interval) override { return FPlatform.StartTimer(FId, interval); }
    void Stop() override { FPlatform.StopTimer(FId); }

  private:
    TX11UIPlatform& FPlatform;
    std::uint64_t FId;
};

} // namespace

std::unique_ptr<TX11UIPlatform> TX11UIPlatform::Open()
{
    // A local server that does not answer would hold XOpenDisplay, and the host, for good.
    const char* name = std::getenv("DISPLAY");
    if (name != nullptr && !x11::LocalServerAnswers(name))
    {
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return nullptr;
    }
    return std::unique_ptr<TX11UIPlatform>(new TX11UIPlatform(display));
}

TX11UIPlatform::TX11UIPlatform(Display* display) : FDisplay(display)
{
    x11::AdoptDisplay(FDisplay);
    // An empty 1 x 1 cursor stands for the hidden pointer.
    static const char empty[1] = {0};
    Pixmap pixmap = XCreateBitmapFromData(FDisplay, Root(), empty, 1, 1);
    XColor black{};
    FBlankCursor = XCreatePixmapCursor(FDisplay, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(FDisplay, pixmap);
}

TX11UIPlatform::~TX11UIPlatform()
{
    // Their windows go while the connection is still there.
    while (!FPopups.empty())
    {
        ClosePopupsOf(FPopups.front().Owner);
    }
    if (FBlankCursor != None && !Lost())
    {
        XFreeCursor(FDisplay, FBlankCursor);
    }
    {
        // Closing removes the display from libXext's list, which other threads may be
        // reading; a lost connection only frees its memory here.
        const std::lock_guard extensions(x11::ExtensionListLock());
        XCloseDisplay(FDisplay);
    }
    x11::ReleaseDisplay(FDisplay);
}

std::unique_ptr<IUIWindow> TX11UIPlatform::CreateChildWindow(std::uintptr_t parent,
                                                             const TRect& bounds,
                                                             IUIWindowListener& listener)
{
    const auto parentWindow = static_cast<Window>(parent);
    if (Lost())
    {
        return nullptr;
    }
    if (parentWindow != None)
    {
        // The id comes from the host's connection: it must name a window on this server.
        x11::TErrorTrap trap(FDisplay);
        XWindowAttributes attributes{};
        const Status known = XGetWindowAttributes(FDisplay, parentWindow, &attributes);
        if (trap.Failed() || known == 0)
        {
            return nullptr;
        }
    }
    auto window = std::make_unique<TX11UIWindow>(*this, parentWindow, bounds, listener);
    if (window->Handle() == None)
    {
        return nullptr;
    }
    return window;
}

void TX11UIPlatform::Register(Window window, TX11EventTarget& target)
{
    FTargets[window] = &target;
}

void TX11UIPlatform::Unregister(Window window)
{
    FTargets.erase(window);
}

std::unique_ptr<IUITimer> TX11UIPlatform::CreateTimer(std::function<void()> onTick)
{
    const std::uint64_t id = FNextTimerId++;
    FTimers[id].OnTick = std::move(onTick);
    return std::make_unique<TX11UITimer>(*this, id);
}

bool TX11UIPlatform::StartTimer(std::uint64_t id, std::uint32_t interval)
{
    const auto found = FTimers.find(id);
    if (found == FTimers.end())
    {
        return false;
    }
    TTimerEntry& entry = found->second;
    entry.Interval = std::max<std::uint32_t>(interval, 1);
    entry.Running = true;
    entry.Due = TClock::now() + std::chrono::milliseconds(entry.Interval);
    entry.Order = FNextOrder++;
    return true;
}

void TX11UIPlatform::StopTimer(std::uint64_t id)
{
    const auto found = FTimers.find(id);
    if (found != FTimers.end())
    {
        found->second.Running = false;
    }
}

void TX11UIPlatform::ForgetTimer(std::uint64_t id)
{
    FTimers.erase(id);
}

void TX11UIPlatform::RunTimers()
{
    const TClock::time_point now = TClock::now();
    // Every timer due now fires once, in order of due time; a period missed because the
    // host idles more slowly than the timer runs is dropped, as a system timer coalesces
    // its ticks, and the next one keeps the timer's phase.
    std::vector<std::pair<TClock::time_point, std::pair<std::uint64_t, std::uint64_t>>> due;
    for (const auto& [id, entry] : FTimers)
    {
        if (entry.Running && entry.Due <= now)
        {
            due.push_back({entry.Due, {entry.Order, id}});
        }
    }
    std::sort(due.begin(), due.end());
    for (const auto& [when, key] : due)
    {
        // An earlier tick may have stopped, restarted or destroyed this timer.
        const auto found = FTimers.find(key.second);
        if (found == FTimers.end() || !found->second.Running || found->second.Order != key.first)
        {
            continue;
        }
        TTimerEntry& entry = found->second;
        const auto period = std::chrono::milliseconds(entry.Interval);
        entry.Due += period;
        while (entry.Due <= now)
        {
            entry.Due += period;
        }
        const std::function<void()> onTick = entry.OnTick;
        if (onTick)
        {
            onTick();
        }
    }
}

int TX11UIPlatform::MillisecondsToNextTimer(int limit) const
{
    const TClock::time_point now = TClock::now();
    int wait = limit;
    for (const auto& [id, entry] : FTimers)
    {
        if (entry.Running)
        {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(entry.Due - now).count();
            wait = std::min<int>(wait, static_cast<int>(std::max<long long>(left, 0)));
        }
    }
    return wait;
}

double TX11UIPlatform::DisplayScale(std::uintptr_t) const
{
    /// The dots per inch that count as 100 %.
    constexpr double BaseDpi = 96.0;
    const char* resources = Lost() ? nullptr : XResourceManagerString(FDisplay);
    if (resources == nullptr)
    {
        return 1.0;
    }
    return x11::XftDpi(resources).value_or(BaseDpi) / BaseDpi;
}

std::filesystem::path TX11UIPlatform::UserSettingsFile() const
{
    // The XDG base directory rules: a relative $XDG_CONFIG_HOME is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (config != nullptr && config[0] == '/')
    {
        folder = config;
    }
    else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
    {
        folder = std::filesystem::path(home) / ".config";
    }
    else
    {
        return {};
    }
    return folder / "Orvo" / "Editor.ini";
}

bool TX11UIPlatform::Lost() const
{
    return x11::ConnectionLost(FDisplay);
}

void TX11UIPlatform::ProcessEvents()
{
    while (!Lost() && XPending(FDisplay) > 0)
    {
        XEvent event{};
        XNextEvent(FDisplay, &event);
        switch (event.type)
        {
        case ButtonPress:
        case ButtonRelease:
            FLastEventTime = event.xbutton.time;
            break;
        case MotionNotify:
            FLastEventTime = event.xmotion.time;
            break;
        case EnterNotify:
        case LeaveNotify:
            FLastEventTime = event.xcrossing.time;
            break;
        default:
            break;
        }
        // The target may be gone (destroyed by an earlier handler) or never have been ours.
        const auto found = FTargets.find(event.xany.window);
        const bool input = event.type == ButtonPress || event.type == ButtonRelease ||
                           event.type == MotionNotify || event.type == KeyPress ||
                           event.type == KeyRelease || event.type == EnterNotify ||
                           event.type == LeaveNotify;
        if (found != FTargets.end() &&
            (!input || FPopups.empty() || found->second->TakesModalInput()))
        {
            found->second->HandleEvent(event);
        }
    }
}

void TX11UIPlatform::DeliverPaints()
{
    // A paint may destroy windows: each is looked up again before it paints.
    std::vector<Window> windows;
    windows.reserve(FTargets.size());
    for (const auto& [window, target] : FTargets)
    {
        windows.push_back(window);
    }
    for (const Window window : windows)
    {
        const auto found = FTargets.find(window);
        if (found != FTargets.end())
        {
            found->second->DeliverPaint();
        }
    }
}

void TX11UIPlatform::Idle()
{
    // A lost connection ends the editor's work: no events come, and the timers' paints
    // would have nowhere to go.
    ProcessEvents();
    if (Lost())
    {
        return;
    }
    FinishAnsweredPopups();
    RunTimers();
    DeliverPaints();
    XFlush(FDisplay);
}

std::uint64_t TX11UIPlatform::AddPopup(IUIWindow* owner, std::unique_ptr<TX11Popup> popup)
{
    const std::uint64_t id = FNextPopupId++;
    const auto ownerWindow = owner != nullptr ? static_cast<Window>(owner->NativeHandle()) : None;
    FPopups.push_back(TOpenPopup{ownerWindow, id, std::move(popup)});
    return id;
}

bool TX11UIPlatform::PopupOpen(std::uint64_t id) const
{
    return std::any_of(FPopups.begin(), FPopups.end(),
                       [id](const TOpenPopup& open) { return open.Id == id; });
}

void TX11UIPlatform::ClosePopupsOf(Window owner)
{
    // Taken out before they are destroyed: a destructor must not see itself in the list.
    std::vector<std::unique_ptr<TX11Popup>> closing;
    for (auto it = FPopups.begin(); it != FPopups.end();)
    {
        if (it->Owner == owner)
        {
            closing.push_back(std::move(it->Popup));
            it = FPopups.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void TX11UIPlatform::FinishAnsweredPopups()
{
    // An answer may open, answer or close pop-ups, or destroy windows: the search starts
    // again after each one.
    for (;;)
    {
        const auto answered =
            std::find_if(FPopups.begin(), FPopups.end(),
                         [](const TOpenPopup& open) { return open.Popup->Answered(); });
        if (answered == FPopups.end())
        {
            return;
        }
        std::unique_ptr<TX11Popup> popup = std::move(answered->Popup);
        FPopups.erase(answered);
        const std::function<void()> answer = popup->Answer();
        popup.reset(); // off the screen, its grabs released, before the answer runs
        XFlush(FDisplay);
        if (answer)
        {
            answer();
        }
    }
}

Window TX11UIPlatform::TopLevelOf(Window window) const
{
    Window current = window;
    for (;;)
    {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(FDisplay, current, &root, &parent, &children, &count) == 0)
        {
            return None;
        }
        if (children != nullptr)
        {
            XFree(children);
        }
        if (parent == root || parent == None)
        {
            return current;
        }
        current = parent;
    }
}

TPoint TX11UIPlatform::PointerPosition() const
{
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(FDisplay, Root(), &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
    return TPoint{rootX, rootY};
}

void TX11UIPlatform::MovePointer(TPoint screen)
{
    XWarpPointer(FDisplay, None, Root(), 0, 0, 0, 0, screen.X, screen.Y);
    XFlush(FDisplay);
}

void TX11UIPlatform::HidePointer()
{
    if (--FPointerShowCount == -1)
    {
        ApplyCursor();
    }
}

void TX11UIPlatform::ShowPointer()
{
    if (++FPointerShowCount == 0)
    {
        ApplyCursor();
    }
}

void TX11UIPlatform::ApplyCursor()
{
    const Cursor cursor = CurrentCursor();
    for (const auto& [window, target] : FTargets)
    {
        target->PointerCursorChanged(cursor);
    }
    XFlush(FDisplay);
}

} // namespace orvo
