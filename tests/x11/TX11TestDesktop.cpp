#include "tests/x11/TX11TestDesktop.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvo::test
{

namespace
{

// The test's own connection looks at windows that may vanish between its query and its
// look (a menu closing): a BadWindow there is an answer, not a fault. Every other error
// goes to the handler that was there before (the module's, or Xlib's).
Display* DesktopDisplay = nullptr;
int (*PreviousHandler)(Display*, XErrorEvent*) = nullptr;

int IgnoreVanishedWindows(Display* display, XErrorEvent* error)
{
    if (display == DesktopDisplay && error->error_code == BadWindow)
    {
        return 0;
    }
    return PreviousHandler != nullptr ? PreviousHandler(display, error) : 0;
}

} // namespace

TX11TestDesktop::TX11TestDesktop(int width, int height)
{
    // The server has just said it is ready; a busy machine may still refuse a moment.
    for (int attempt = 0; attempt < 50 && FDisplay == nullptr; ++attempt)
    {
        FDisplay = XOpenDisplay(nullptr);
        if (FDisplay == nullptr)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (FDisplay == nullptr)
    {
        return;
    }
    DesktopDisplay = FDisplay;
    if (PreviousHandler == nullptr)
    {
        PreviousHandler = XSetErrorHandler(IgnoreVanishedWindows);
    }
    const int screen = DefaultScreen(FDisplay);
    FHostWindow =
        XCreateSimpleWindow(FDisplay, RootWindow(FDisplay, screen), 100, 100,
                            static_cast<unsigned int>(width), static_cast<unsigned int>(height), 0,
                            BlackPixel(FDisplay, screen), WhitePixel(FDisplay, screen));
    XSelectInput(FDisplay, FHostWindow, StructureNotifyMask);
    XMapWindow(FDisplay, FHostWindow);
    // No window manager on the test display: the window is mapped once the server says so.
    XEvent event{};
    do
    {
        XNextEvent(FDisplay, &event);
    } while (event.type != MapNotify);
    XSync(FDisplay, False);
}

TX11TestDesktop::~TX11TestDesktop()
{
    if (FDisplay != nullptr)
    {
        DestroyHostWindow();
        XCloseDisplay(FDisplay);
    }
}

std::vector<Window> TX11TestDesktop::HostChildren() const
{
    Window root = 0;
    Window parent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    XQueryTree(FDisplay, FHostWindow, &root, &parent, &list, &count);
    std::vector<Window> children(list, list + count);
    if (list != nullptr)
    {
        XFree(list);
    }
    return children;
}

void TX11TestDesktop::DestroyHostWindow()
{
    if (FHostWindow != 0)
    {
        XDestroyWindow(FDisplay, FHostWindow);
        XSync(FDisplay, False);
        FHostWindow = 0;
    }
}

void TX11TestDesktop::MoveTo(int x, int y)
{
    XTestFakeMotionEvent(FDisplay, -1, x, y, CurrentTime);
    XSync(FDisplay, False);
}

void TX11TestDesktop::Press(unsigned int button)
{
    XTestFakeButtonEvent(FDisplay, button, True, CurrentTime);
    XSync(FDisplay, False);
}

void TX11TestDesktop::Release(unsigned int button)
{
    XTestFakeButtonEvent(FDisplay, button, False, CurrentTime);
    XSync(FDisplay, False);
}

void TX11TestDesktop::KeyDown(unsigned long keysym)
{
    XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, keysym), True, CurrentTime);
    XSync(FDisplay, False);
}

void TX11TestDesktop::KeyUp(unsigned long keysym)
{
    XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, keysym), False, CurrentTime);
    XSync(FDisplay, False);
}

void TX11TestDesktop::PointerAt(int& x, int& y) const
{
    Window root = 0;
    Window child = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(FDisplay, DefaultRootWindow(FDisplay), &root, &child, &x, &y, &windowX, &windowY,
                  &mask);
}

std::vector<std::uint32_t> TX11TestDesktop::ScreenPixels(int x, int y, int width, int height) const
{
    std::vector<std::uint32_t> pixels;
    XImage* image =
        XGetImage(FDisplay, DefaultRootWindow(FDisplay), x, y, static_cast<unsigned int>(width),
                  static_cast<unsigned int>(height), AllPlanes, ZPixmap);
    if (image == nullptr)
    {
        return pixels;
    }
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row)
    {
        for (int column = 0; column < width; ++column)
        {
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF));
        }
    }
    XDestroyImage(image);
    return pixels;
}

std::vector<int> TX11TestDesktop::WaitForPopup(bool overrideRedirect,
                                               const std::vector<Window>& skip, Window* found) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(FDisplay, DefaultRootWindow(FDisplay), &root, &parent, &children, &count);
        std::vector<int> rect;
        for (unsigned int i = 0; i < count && rect.empty(); ++i)
        {
            XWindowAttributes attributes{};
            if (children[i] == FHostWindow ||
                std::find(skip.begin(), skip.end(), children[i]) != skip.end() ||
                XGetWindowAttributes(FDisplay, children[i], &attributes) == 0 ||
                attributes.map_state != IsViewable ||
                (attributes.override_redirect != 0) != overrideRedirect)
            {
                continue;
            }
            rect = {attributes.x, attributes.y, attributes.width, attributes.height};
            if (found != nullptr)
            {
                *found = children[i];
            }
        }
        if (children != nullptr)
        {
            XFree(children);
        }
        if (!rect.empty())
        {
            return rect;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {0, 0, 0, 0};
}

bool TX11TestDesktop::PumpUntil(const std::function<void()>& idle,
                                const std::function<bool()>& done, int timeoutMs, int intervalMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;)
    {
        idle();
        if (done())
        {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
}

void TX11TestDesktop::PumpFor(const std::function<void()>& idle, int durationMs, int intervalMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
    while (std::chrono::steady_clock::now() < end)
    {
        idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
}

std::vector<int> TX11TestDesktop::AnswerMessageBox(Window host)
{
    std::vector<int> box = WaitForPopup(false, {host});
    LetHostIdle();
    MoveTo(box[0] + box[2] / 2, box[1] + box[3] - 12 - 11); // OK
    Press(Button1);
    Release(Button1);
    return box;
}

void TX11TestDesktop::LetHostIdle() const
{
    constexpr int Calls = 5;
    if (FHostIdles == nullptr)
    {
        return;
    }
    const int until = FHostIdles->load() + Calls;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (FHostIdles->load() < until && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

double TX11TestDesktop::AsUser(const std::function<void()>& idle,
                               const std::function<void(TX11TestDesktop&)>& actions, int intervalMs)
{
    std::atomic<bool> done{false};
    std::atomic<int> idles{0};
    double longest = 0.0;
    const auto timedIdle = [&]
    {
        const auto start = std::chrono::steady_clock::now();
        idle();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        longest = std::max(longest, took.count());
        ++idles;
    };
    std::thread user(
        [&]
        {
            TX11TestDesktop desktop(10, 10);
            desktop.FHostIdles = &idles;
            actions(desktop);
            done = true;
        });
    PumpUntil(
        timedIdle, [&] { return done.load(); }, 3000, intervalMs);
    user.join();
    PumpFor(timedIdle, 60, intervalMs);
    return longest;
}

void RunOnTwoThreads(const std::function<void(int thread)>& body)
{
    std::atomic<int> ready{0};
    const auto start = [&](int thread)
    {
        return std::thread(
            [&, thread]
            {
                ++ready;
                while (ready.load() < 2)
                {
                    std::this_thread::yield();
                }
                body(thread);
            });
    };
    std::thread first = start(0);
    std::thread second = start(1);
    first.join();
    second.join();
}

namespace
{
// The host's own handlers for its connection to the doomed server: Xlib's defaults would
// end the test when that connection breaks.
int HostLossCount = 0;
Display* DoomedHostDisplay = nullptr;
XIOErrorHandler PreviousIOHandler = nullptr;

int CountHostLoss(Display* display)
{
    if (display == DoomedHostDisplay)
    {
        ++HostLossCount;
        return 0;
    }
    return PreviousIOHandler != nullptr ? PreviousIOHandler(display) : 0;
}

void KeepTestRunning(Display*, void*)
{
}
} // namespace

TDoomedXServer::TDoomedXServer()
{
    int pipeEnds[2] = {-1, -1};
    if (pipe(pipeEnds) != 0)
    {
        return;
    }
    const std::string fd = std::to_string(pipeEnds[1]);
    const char* arguments[] = {"Xvfb",     "-displayfd", fd.c_str(), "-nolisten",  "tcp",
                               "-noreset", "-screen",    "0",        "800x600x24", nullptr};
    pid_t pid = -1;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int spawned =
        posix_spawnp(&pid, "Xvfb", &quiet, nullptr, const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&quiet);
    close(pipeEnds[1]);
    std::string number;
    char c = 0;
    while (spawned == 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n')
    {
        number += c;
    }
    close(pipeEnds[0]);
    if (spawned != 0)
    {
        return;
    }
    FPid = pid;
    if (number.empty())
    {
        return;
    }
    FOuterDisplay = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", (":" + number).c_str(), 1);
    FHostDisplay = XOpenDisplay(nullptr);
    if (FHostDisplay == nullptr)
    {
        return;
    }
    DoomedHostDisplay = FHostDisplay;
    HostLossCount = 0;
    PreviousIOHandler = XSetIOErrorHandler(&CountHostLoss);
    XSetIOErrorExitHandler(FHostDisplay, &KeepTestRunning, nullptr);
    FHostWindow =
        XCreateSimpleWindow(FHostDisplay, DefaultRootWindow(FHostDisplay), 0, 0, 700, 300, 0, 0, 0);
    XMapWindow(FHostDisplay, FHostWindow);
    XSync(FHostDisplay, False);
}

TDoomedXServer::~TDoomedXServer()
{
    Kill();
    if (FHostDisplay != nullptr)
    {
        XCloseDisplay(FHostDisplay);
        XSetIOErrorHandler(PreviousIOHandler);
        DoomedHostDisplay = nullptr;
    }
    if (!FOuterDisplay.empty())
    {
        setenv("DISPLAY", FOuterDisplay.c_str(), 1);
    }
}

void TDoomedXServer::Kill()
{
    if (FPid > 0)
    {
        kill(FPid, SIGKILL);
        waitpid(FPid, nullptr, 0);
        FPid = -1;
    }
}

int TDoomedXServer::HostLosses()
{
    XSync(FHostDisplay, False);
    return HostLossCount;
}

} // namespace orvo::test
