// Pop-up menus and the message box of the X11 window system: windows of our own, drawn in
// the classic Windows look with the platform's text renderer, modal to the editor as
// TrackPopupMenu and MessageBox are on Windows (the editor's timers keep running, its
// windows take no input), but never a loop inside the host's idle call: the host on X11
// has no loop of its own that a modal loop of ours could keep running, so each opens, the
// call returns, and the platform's idle reads the user's answer when it comes. A menu is a
// stack of override-redirect windows (one per open submenu) under one pointer grab; the
// message box is a dialog window transient for the host's frame.
#include "platform/x11/TX11UIPlatform.h"
#include "platform/x11/uX11Image.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <poll.h>
#include <string>
#include <vector>

namespace orvo
{

namespace
{

// The classic Windows colours of menus and dialogs.
constexpr TUIColor Face = MakeColor(212, 208, 200);
constexpr TUIColor Light = MakeColor(255, 255, 255);
constexpr TUIColor Shadow = MakeColor(128, 128, 128);
constexpr TUIColor DarkShadow = MakeColor(64, 64, 64);
constexpr TUIColor Highlight = MakeColor(10, 36, 106);
constexpr TUIColor Text = MakeColor(0, 0, 0);
constexpr TUIColor HighlightText = MakeColor(255, 255, 255);
constexpr TUIColor GreyText = MakeColor(128, 128, 128);

constexpr std::int32_t MenuBorder = 3;
constexpr std::int32_t ItemHeight = 17;
constexpr std::int32_t SeparatorHeight = 8;
constexpr std::int32_t CheckColumn = 17; // left of the caption: room for a check mark
constexpr std::int32_t ArrowColumn = 17; // right of the caption: room for the submenu arrow
constexpr std::int32_t MinimumMenuWidth = 80;
constexpr std::int32_t DialogMargin = 12;
constexpr TSize OkButton{75, 23};
// How long PopupMenu's wait for the user sleeps on the connection before it looks at the
// timers again.
constexpr int ModalWaitLimit = 50;

/// An own window with a client-sized image that it presents whole on Expose.
class TSurface : private TX11EventTarget
{
  public:
    TSurface(TX11UIPlatform& platform, const TRect& screen, bool overrideRedirect, long events)
        : FPlatform(platform), FDisplay(platform.XDisplay()), FBounds(screen)
    {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = overrideRedirect ? True : False;
        attributes.event_mask = ExposureMask | events;
        attributes.background_pixmap = None;
        attributes.border_pixel = 0;
        attributes.save_under = True;
        FWindow = XCreateWindow(FDisplay, platform.Root(), screen.Left, screen.Top,
                                static_cast<unsigned int>(std::max(screen.Width(), 1)),
                                static_cast<unsigned int>(std::max(screen.Height(), 1)), 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWEventMask | CWBackPixmap | CWBorderPixel |
                                    CWSaveUnder,
                                &attributes);
        XWindowAttributes created{};
        XGetWindowAttributes(FDisplay, FWindow, &created);
        FVisual = created.visual;
        FDepth = created.depth;
        FPixels.assign(static_cast<std::size_t>(screen.Width() * screen.Height() * 4), 0);
        FPlatform.Register(FWindow, *this);
    }
    virtual ~TSurface()
    {
        FPlatform.Unregister(FWindow);
        if (!FPlatform.Lost())
        {
            XDestroyWindow(FDisplay, FWindow);
            XFlush(FDisplay);
        }
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    Window Handle() const { return FWindow; }
    const TRect& Bounds() const { return FBounds; }
    TPixelView View()
    {
        return TPixelView{FPixels.data(), FBounds.Width() * 4, FBounds.Width(), FBounds.Height()};
    }
    void Show()
    {
        XMapRaised(FDisplay, FWindow);
        Present();
    }
    /// Draws the image again and shows it.
    void Present()
    {
        Draw();
        x11::PutImage(FDisplay, FWindow, FVisual, FDepth, View(),
                      TRect{0, 0, FBounds.Width(), FBounds.Height()}, FScratch);
        XFlush(FDisplay);
    }

    // Drawing helpers in client pixels.
    void Fill(const TRect& rect, TUIColor colour)
    {
        const TRect area = rect.Intersection(TRect{0, 0, FBounds.Width(), FBounds.Height()});
        const TPixelView view = View();
        for (std::int32_t y = area.Top; y < area.Bottom; ++y)
        {
            for (std::int32_t x = area.Left; x < area.Right; ++x)
            {
                std::uint8_t* p = view.Pixel(x, y);
                p[0] = BlueOf(colour);
                p[1] = GreenOf(colour);
                p[2] = RedOf(colour);
                p[3] = 255;
            }
        }
    }
    /// A raised (or, pressed, sunken) two-pixel edge inside rect.
    void Edge(const TRect& r, bool pressed)
    {
        const TUIColor outerLight = pressed ? DarkShadow : Light;
        const TUIColor outerDark = pressed ? Light : DarkShadow;
        const TUIColor innerLight = pressed ? Shadow : Face;
        const TUIColor innerDark = pressed ? Face : Shadow;
        Fill(TRect{r.Left, r.Top, r.Right, r.Top + 1}, outerLight);
        Fill(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, outerLight);
        Fill(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, outerDark);
        Fill(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, outerDark);
        Fill(TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Top + 2}, innerLight);
        Fill(TRect{r.Left + 1, r.Top + 1, r.Left + 2, r.Bottom - 1}, innerLight);
        Fill(TRect{r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1}, innerDark);
        Fill(TRect{r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1}, innerDark);
    }
    void DrawText(const TRect& box, std::string_view text, TUIColor colour,
                  TTextAlignment alignment)
    {
        TTextFormat format;
        format.Alignment = alignment;
        FPlatform.TextRenderer().DrawText(View(), TRect{0, 0, FBounds.Width(), FBounds.Height()},
                                          box, text, TUIFont{}, colour, format);
    }

  protected:
    virtual void Draw() = 0;
    virtual void Input(const XEvent& /*event*/) {}

    TX11UIPlatform& FPlatform;
    Display* FDisplay;

  private:
    void HandleEvent(const XEvent& event) override
    {
        if (event.type == Expose)
        {
            if (event.xexpose.count == 0)
            {
                Present();
            }
            return;
        }
        Input(event);
    }
    bool TakesModalInput() const override { return true; }

    Window FWindow = None;
    TRect FBounds;
    Visual* FVisual = nullptr;
    int FDepth = 0;
    std::vector<std::uint8_t> FPixels;
    std::vector<std::uint32_t> FScratch;
};

TSize ScreenSize(Display* display)
{
    const int screen = DefaultScreen(display);
    return TSize{DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

/// Moves a rectangle onto the screen where it would stick out.
TRect KeepOnScreen(TRect rect, TSize screen)
{
    const std::int32_t dx = std::min(0, screen.Width - rect.Right) + std::max(0, -rect.Left);
    const std::int32_t dy = std::min(0, screen.Height - rect.Bottom) + std::max(0, -rect.Top);
    return rect.Offset(dx, dy);
}

// --- Menus ---

class TMenuRun;

/// One open level of a menu: its window and its items.
class TMenuLevel final : public TSurface
{
  public:
    TMenuLevel(TX11UIPlatform& platform, TMenuRun& run, const std::vector<TUIMenuEntry>& items,
               const TRect& screen)
        : TSurface(platform, screen, true,
                   ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask),
          Items(items), FRun(run)
    {
    }

    static TSize SizeFor(IUITextRenderer& text, const std::vector<TUIMenuEntry>& items)
    {
        std::int32_t width = 0;
        std::int32_t height = 2 * MenuBorder;
        for (const TUIMenuEntry& item : items)
        {
            height += item.Caption == "-" ? SeparatorHeight : ItemHeight;
            width =
                std::max(width, text.MeasureText(TUIFont{}, item.Caption, TTextFormat{}, 0).Width);
        }
        return TSize{std::max(MinimumMenuWidth, width + CheckColumn + ArrowColumn + 2 * MenuBorder),
                     height};
    }

    /// The item at a client point, or -1.
    std::int32_t ItemAt(TPoint client) const
    {
        std::int32_t top = MenuBorder;
        for (std::size_t i = 0; i < Items.size(); ++i)
        {
            const std::int32_t height = Items[i].Caption == "-" ? SeparatorHeight : ItemHeight;
            if (client.Y >= top && client.Y < top + height && client.X >= MenuBorder &&
                client.X < Bounds().Width() - MenuBorder)
            {
                return static_cast<std::int32_t>(i);
            }
            top += height;
        }
        return -1;
    }
    /// The item's top in client pixels.
    std::int32_t ItemTop(std::int32_t index) const
    {
        std::int32_t top = MenuBorder;
        for (std::int32_t i = 0; i < index; ++i)
        {
            top += Items[static_cast<std::size_t>(i)].Caption == "-" ? SeparatorHeight : ItemHeight;
        }
        return top;
    }
    void Select(std::int32_t index)
    {
        if (index != Selected)
        {
            Selected = index;
            Present();
        }
    }

    const std::vector<TUIMenuEntry>& Items;
    std::int32_t Selected = -1;

  private:
    void Draw() override
    {
        const std::int32_t width = Bounds().Width();
        Fill(TRect{0, 0, width, Bounds().Height()}, Face);
        Edge(TRect{0, 0, width, Bounds().Height()}, false);
        for (std::size_t i = 0; i < Items.size(); ++i)
        {
            const TUIMenuEntry& item = Items[i];
            const std::int32_t top = ItemTop(static_cast<std::int32_t>(i));
            if (item.Caption == "-")
            {
                Fill(TRect{MenuBorder + 1, top + 3, width - MenuBorder - 1, top + 4}, Shadow);
                Fill(TRect{MenuBorder + 1, top + 4, width - MenuBorder - 1, top + 5}, Light);
                continue;
            }
            const bool selected = static_cast<std::int32_t>(i) == Selected && item.Enabled;
            const TRect row{MenuBorder, top, width - MenuBorder, top + ItemHeight};
            if (selected)
            {
                Fill(row, Highlight);
            }
            const TUIColor colour = !item.Enabled ? GreyText : selected ? HighlightText : Text;
            if (!item.Enabled)
            {
                DrawText(TRect{row.Left + CheckColumn + 1, top + 3, row.Right, row.Bottom},
                         item.Caption, Light, taLeftJustify);
            }
            DrawText(TRect{row.Left + CheckColumn, top + 2, row.Right, row.Bottom}, item.Caption,
                     colour, taLeftJustify);
            if (item.Checked)
            {
                // A small tick in the check column.
                for (std::int32_t k = 0; k < 3; ++k)
                {
                    Fill(TRect{row.Left + 5 + k, top + 8 + k, row.Left + 6 + k, top + 10 + k},
                         colour);
                }
                for (std::int32_t k = 0; k < 4; ++k)
                {
                    Fill(TRect{row.Left + 8 + k, top + 9 - k, row.Left + 9 + k, top + 11 - k},
                         colour);
                }
            }
            if (!item.Items.empty())
            {
                // The submenu arrow: a small triangle pointing right.
                const std::int32_t x = row.Right - 10;
                const std::int32_t middle = top + ItemHeight / 2;
                for (std::int32_t k = 0; k < 4; ++k)
                {
                    Fill(TRect{x + k, middle - 3 + k, x + k + 1, middle + 4 - k}, colour);
                }
            }
        }
    }
    void Input(const XEvent& event) override;

    TMenuRun& FRun;
};

/// A menu shown until the user chooses or dismisses it.
class TMenuRun final : public TX11Popup
{
  public:
    TMenuRun(TX11UIPlatform& platform, TUIMenu menu, std::function<void(std::int32_t)> onChosen)
        : FPlatform(platform), FMenu(std::move(menu)), FOnChosen(std::move(onChosen))
    {
    }
    ~TMenuRun() override
    {
        if (FGrabbed && !FPlatform.Lost())
        {
            Display* display = FPlatform.XDisplay();
            XUngrabKeyboard(display, CurrentTime);
            XUngrabPointer(display, CurrentTime);
        }
        FLevels.clear();
    }
    TMenuRun(const TMenuRun&) = delete;
    TMenuRun& operator=(const TMenuRun&) = delete;

    /// Shows the first level and grabs the pointer and keyboard for it; the menu counts as
    /// dismissed at once when it is empty or the pointer cannot be grabbed.
    void Open(TPoint screen)
    {
        if (FMenu.Items.empty())
        {
            FFinished = true;
            return;
        }
        Open(FMenu.Items, screen);
        Display* display = FPlatform.XDisplay();
        const Window first = FLevels.front()->Handle();
        // Every pointer event comes to the first level, in its coordinates; a press outside
        // every level dismisses the menu.
        FGrabbed =
            XGrabPointer(display, first, False,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        if (FGrabbed)
        {
            XGrabKeyboard(display, first, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        }
        FFinished = !FGrabbed;
        XFlush(display);
    }

    bool Answered() const override { return FFinished; }
    std::function<void()> Answer() override
    {
        return [onChosen = std::move(FOnChosen), chosen = FChosen]
        {
            if (onChosen)
            {
                onChosen(chosen);
            }
        };
    }

    void Pointer(const TMenuLevel& from, TPoint client, int type)
    {
        const TPoint screen{from.Bounds().Left + client.X, from.Bounds().Top + client.Y};
        for (std::size_t depth = FLevels.size(); depth-- > 0;)
        {
            TMenuLevel& level = *FLevels[depth];
            if (!level.Bounds().Contains(screen))
            {
                continue;
            }
            const std::int32_t index =
                level.ItemAt(TPoint{screen.X - level.Bounds().Left, screen.Y - level.Bounds().Top});
            const TUIMenuEntry* item =
                index >= 0 ? &level.Items[static_cast<std::size_t>(index)] : nullptr;
            const bool usable = item != nullptr && item->Caption != "-" && item->Enabled;
            if (type == MotionNotify || type == ButtonPress)
            {
                Hover(depth, usable ? index : -1);
            }
            else if (type == ButtonRelease && usable && item->Items.empty())
            {
                FChosen = item->Command;
                FFinished = true;
            }
            return;
        }
        if (type == ButtonPress)
        {
            FFinished = true; // a press outside the menu dismisses it
        }
    }

    void Key(KeySym key)
    {
        if (key == XK_Escape)
        {
            FFinished = true;
        }
    }

  private:
    void Open(const std::vector<TUIMenuEntry>& items, TPoint at)
    {
        const TSize size = TMenuLevel::SizeFor(FPlatform.TextRenderer(), items);
        const TRect bounds = KeepOnScreen(TRect::FromBounds(at.X, at.Y, size.Width, size.Height),
                                          ScreenSize(FPlatform.XDisplay()));
        FLevels.push_back(std::make_unique<TMenuLevel>(FPlatform, *this, items, bounds));
        FLevels.back()->Show();
    }

    /// The pointer rests on item index of level depth: deeper levels close, a submenu opens.
    void Hover(std::size_t depth, std::int32_t index)
    {
        TMenuLevel& level = *FLevels[depth];
        if (index < 0)
        {
            // Off the items: a parent stays selected while its submenu is open.
            if (FLevels.size() == depth + 1)
            {
                level.Select(-1);
            }
            return;
        }
        if (level.Selected == index && FLevels.size() > depth + 1)
        {
            return;
        }
        FLevels.resize(depth + 1);
        level.Select(index);
        const TUIMenuEntry& item = level.Items[static_cast<std::size_t>(index)];
        if (!item.Items.empty())
        {
            Open(item.Items, TPoint{level.Bounds().Right - MenuBorder,
                                    level.Bounds().Top + level.ItemTop(index) - MenuBorder});
        }
    }

    TX11UIPlatform& FPlatform;
    TUIMenu FMenu; // the levels show its items
    std::function<void(std::int32_t)> FOnChosen;
    std::vector<std::unique_ptr<TMenuLevel>> FLevels;
    std::int32_t FChosen = 0;
    bool FFinished = false;
    bool FGrabbed = false;
};

void TMenuLevel::Input(const XEvent& event)
{
    switch (event.type)
    {
    case MotionNotify:
        FRun.Pointer(*this, TPoint{event.xmotion.x, event.xmotion.y}, MotionNotify);
        break;
    case ButtonPress:
    case ButtonRelease:
        FRun.Pointer(*this, TPoint{event.xbutton.x, event.xbutton.y}, event.type);
        break;
    case KeyPress:
        FRun.Key(XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0));
        break;
    default:
        break;
    }
}

// --- Message box ---

class TMessageBox final : public TSurface, public TX11Popup
{
  public:
    TMessageBox(TX11UIPlatform& platform, const TRect& screen, std::string_view text)
        : TSurface(platform, screen, false,
                   ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                       StructureNotifyMask),
          FText(text)
    {
    }

    bool Answered() const override { return FFinished; }
    std::function<void()> Answer() override { return {}; }
    TRect OkRect() const
    {
        return TRect::FromBounds((Bounds().Width() - OkButton.Width) / 2,
                                 Bounds().Height() - DialogMargin - OkButton.Height, OkButton.Width,
                                 OkButton.Height);
    }

  private:
    void Draw() override
    {
        Fill(TRect{0, 0, Bounds().Width(), Bounds().Height()}, Face);
        TTextFormat format;
        format.ShowAccelChar = false;
        const TRect box{DialogMargin, DialogMargin, Bounds().Width() - DialogMargin,
                        OkRect().Top - DialogMargin};
        FPlatform.TextRenderer().DrawText(View(), TRect{0, 0, Bounds().Width(), Bounds().Height()},
                                          box, FText, TUIFont{}, Text, format);
        const TRect ok = OkRect();
        Fill(ok, Face);
        // The default button: a black frame around the raised edge.
        Fill(TRect{ok.Left, ok.Top, ok.Right, ok.Top + 1}, Text);
        Fill(TRect{ok.Left, ok.Bottom - 1, ok.Right, ok.Bottom}, Text);
        Fill(TRect{ok.Left, ok.Top, ok.Left + 1, ok.Bottom}, Text);
        Fill(TRect{ok.Right - 1, ok.Top, ok.Right, ok.Bottom}, Text);
        const bool pressed = FPressed && FOverOk;
        Edge(TRect{ok.Left + 1, ok.Top + 1, ok.Right - 1, ok.Bottom - 1}, pressed);
        const std::int32_t shift = pressed ? 1 : 0;
        DrawText(TRect{ok.Left + shift, ok.Top + 5 + shift, ok.Right + shift, ok.Bottom}, "OK",
                 Text, taCenter);
    }

    void Input(const XEvent& event) override
    {
        switch (event.type)
        {
        case ButtonPress:
            if (event.xbutton.button == Button1)
            {
                FPressed = true;
                FOverOk = OkRect().Contains(TPoint{event.xbutton.x, event.xbutton.y});
                Present();
            }
            break;
        case MotionNotify:
            if (FPressed)
            {
                const bool over = OkRect().Contains(TPoint{event.xmotion.x, event.xmotion.y});
                if (over != FOverOk)
                {
                    FOverOk = over;
                    Present();
                }
            }
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 && FPressed)
            {
                FPressed = false;
                FFinished = OkRect().Contains(TPoint{event.xbutton.x, event.xbutton.y});
                Present();
            }
            break;
        case KeyPress:
        {
            const KeySym key = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
            FFinished =
                key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
            break;
        }
        case ClientMessage:
            // The window manager's close button (WM_DELETE_WINDOW) answers like OK.
            FFinished = true;
            break;
        default:
            break;
        }
    }

    std::string FText;
    bool FPressed = false;
    bool FOverOk = false;
    bool FFinished = false;
};

/// The screen rectangle of a window, or an empty one when it is no window.
TRect ScreenRectOf(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (window == None || XGetWindowAttributes(display, window, &attributes) == 0)
    {
        return TRect{};
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return TRect::FromBounds(x, y, attributes.width, attributes.height);
}

} // namespace

std::int32_t TX11UIPlatform::PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen)
{
    std::int32_t chosen = 0;
    bool answered = false;
    // The menu may also go unanswered, with its owner; the loop ends either way.
    const std::uint64_t id = OpenMenu(owner, menu, screen,
                                      [&](std::int32_t command)
                                      {
                                          chosen = command;
                                          answered = true;
                                      });
    while (!answered && PopupOpen(id) && !Lost())
    {
        Idle();
        if (!answered && PopupOpen(id) && XPending(FDisplay) == 0)
        {
            pollfd connection{ConnectionNumber(FDisplay), POLLIN, 0};
            poll(&connection, 1, MillisecondsToNextTimer(ModalWaitLimit));
        }
    }
    return chosen;
}

void TX11UIPlatform::ShowPopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                                   std::function<void(std::int32_t command)> onChosen)
{
    OpenMenu(owner, menu, screen, std::move(onChosen));
}

std::uint64_t TX11UIPlatform::OpenMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                                       std::function<void(std::int32_t command)> onChosen)
{
    // Without an owner (or a server) the menu is empty: dismissed at the next idle.
    auto run = std::make_unique<TMenuRun>(*this, owner != nullptr && !Lost() ? menu : TUIMenu{},
                                          std::move(onChosen));
    run->Open(screen);
    return AddPopup(owner, std::move(run));
}

void TX11UIPlatform::ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text)
{
    if (Lost())
    {
        return;
    }
    TTextFormat format;
    format.ShowAccelChar = false;
    const TSize textSize = FText.MeasureText(TUIFont{}, text, format, 0);
    const TSize size{std::max(textSize.Width, OkButton.Width + 2 * DialogMargin) + 2 * DialogMargin,
                     textSize.Height + OkButton.Height + 3 * DialogMargin};
    // Centred over the owner's frame (the host's window), else over the screen.
    const Window frame =
        owner != nullptr ? TopLevelOf(static_cast<Window>(owner->NativeHandle())) : None;
    TRect over = ScreenRectOf(FDisplay, frame);
    const TSize screenSize = ScreenSize(FDisplay);
    if (over.IsEmpty())
    {
        over = TRect{0, 0, screenSize.Width, screenSize.Height};
    }
    const TRect bounds = KeepOnScreen(
        TRect::FromBounds(over.Left + (over.Width() - size.Width) / 2,
                          over.Top + (over.Height() - size.Height) / 2, size.Width, size.Height),
        screenSize);
    auto popup = std::make_unique<TMessageBox>(*this, bounds, text);
    TMessageBox& box = *popup;
    const std::string title(caption);
    XStoreName(FDisplay, box.Handle(), title.c_str());
    if (frame != None)
    {
        XSetTransientForHint(FDisplay, box.Handle(), frame);
    }
    Atom deleteWindow = XInternAtom(FDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(FDisplay, box.Handle(), &deleteWindow, 1);
    const Atom type = XInternAtom(FDisplay, "_NET_WM_WINDOW_TYPE", False);
    const Atom dialog = XInternAtom(FDisplay, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(FDisplay, box.Handle(), type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialog), 1);
    const Atom state = XInternAtom(FDisplay, "_NET_WM_STATE", False);
    const Atom modal = XInternAtom(FDisplay, "_NET_WM_STATE_MODAL", False);
    XChangeProperty(FDisplay, box.Handle(), state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&modal), 1);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = bounds.Left;
    hints.y = bounds.Top;
    hints.min_width = hints.max_width = size.Width;
    hints.min_height = hints.max_height = size.Height;
    XSetWMNormalHints(FDisplay, box.Handle(), &hints);
    box.Show();
    AddPopup(owner, std::move(popup));
}

} // namespace orvo
