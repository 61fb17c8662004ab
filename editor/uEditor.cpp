#include "editor/uEditor.h"

#include "editor/toolkit/EDIBError.h"
#include "editor/uEditorSettings.h"
#include "resources/uEditorImages.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

namespace orvo
{

namespace
{

/// The band mute buttons' parameters, in the order the solo, invert and open-all
/// commands send them.
constexpr std::int32_t FirstMute = prLoMute;
constexpr std::int32_t LastMute = prHiMute;
constexpr std::int32_t OverSampleParameter = prOverSample;

/// The refresh's order: the seven sliders (bands and gains), the six buttons (mutes and the
/// oversampling switch), then the two rotary knobs (Tube and Tuning), each in index order.
constexpr auto SliderRefreshOrder = ParametersOfKinds<7>({pkBand, pkGain});
constexpr auto ButtonRefreshOrder = ParametersOfKinds<6>({pkMute, pkSwitch});
constexpr auto RotaryRefreshOrder = ParametersOfKinds<2>({pkTube, pkTuning});

/// Nearest integer, halves to the even neighbour, whatever rounding mode the host left.
std::int64_t RoundHalfEven(double x)
{
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5)
    {
        return static_cast<std::int64_t>(down) + 1;
    }
    if (rest < 0.5)
    {
        return static_cast<std::int64_t>(down);
    }
    const auto even = static_cast<std::int64_t>(down);
    return even % 2 == 0 ? even : even + 1;
}

/// The title the panel prints over a parameter's control, which leads its value text while
/// it is dragged; the gain sliders are titled by their place in the chain.
std::string_view ControlTitle(std::int32_t parameter)
{
    switch (parameter)
    {
    case prInGain:
        return "Input";
    case prOutGain:
        return "Output";
    default:
        return InfoOf(parameter).Name;
    }
}

/// The embedded image of a form image at a size: "Knob", "Knob@150", "Knob@200".
std::string ScaledImageName(std::string_view name, TEditorScale scale)
{
    switch (scale)
    {
    case es150:
        return std::string(name) + "@150";
    case es200:
        return std::string(name) + "@200";
    case es100:
        break;
    }
    return std::string(name);
}

/// Blanks and control characters, which the value text loses at both ends.
bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsTrimmed(text[first]))
    {
        ++first;
    }
    while (last > first && IsTrimmed(text[last - 1]))
    {
        --last;
    }
    return text.substr(first, last - first);
}

/// The stored image of this name, decoded once per process and kept until the module is
/// unloaded: decoding the ten images is nearly all of the time effEditOpen takes, and
/// hosts open and close editors often. The pixels are only ever read; every window's image
/// lists share them. Editors of several instances may open on different threads.
const TMemoryDIB& DecodedImage(std::string_view name)
{
    static std::mutex lock;
    static std::map<std::string, TMemoryDIB, std::less<>> decoded;
    const std::lock_guard guard(lock);
    const auto [entry, added] = decoded.try_emplace(std::string(name));
    if (added)
    {
        try
        {
            entry->second.LoadFromStoredData(resources::EditorImageData(name));
        }
        catch (...)
        {
            decoded.erase(entry); // the next open tries again
            throw;
        }
    }
    return entry->second;
}

} // namespace

TPluginEditorWindow::TPluginEditorWindow(IUIPlatform& platform, std::uintptr_t parent,
                                         TEditorValues& editorValues, TEditorScale scale)
    : TDIBComponent(nullptr), FPlatform(platform, [this] { DestroyIfClosed(); }),
      values(editorValues), FScale(scale)
{
    Name = "PluginEditorWindow";
    LoadImages();
    cntBackGround = std::make_unique<TDIBImageContainer>(
        FPlatform, this, parent,
        TRect{0, 0, Scaled(form::ClientWidth, FScale), Scaled(form::ClientHeight, FScale)});
    cntBackGround->Name = "cntBackGround";
    cntBackGround->IndexImage = TDIBImageLink{&imgBackground, 0};
    cntBackGround->TileMethod = tmCenter;
    cntBackGround->OnMouseDown =
        [this](TDIBComponent&, TMouseButton button, TShiftState, std::int32_t x, std::int32_t y)
    { Guarded([&] { cntBackGroundMouseDown(button, x, y); }); };
    BuildMenus();
    CreateComponents();

    Updater = std::make_unique<TDIBTimer>(FPlatform, this);
    Updater->Name = "Updater";
    Updater->SetInterval(form::UpdaterInterval);
    Updater->SetOnTimer([this](TDIBComponent&) { Guarded([&] { UpdaterTimer(); }); });
    tmrAbout = std::make_unique<TDIBTimer>(FPlatform, this);
    tmrAbout->Name = "tmrAbout";
    tmrAbout->SetInterval(form::AboutHoldInterval);
    tmrAbout->SetOnTimer([this](TDIBComponent&) { Guarded([&] { tmrAboutTimerShow(); }); });
    tmrLabelFade = std::make_unique<TDIBTimer>(FPlatform, this);
    tmrLabelFade->Name = "tmrLabelFade";
    tmrLabelFade->SetInterval(form::LabelHoldInterval);
    tmrLabelFade->SetOnTimer([this](TDIBComponent&) { Guarded([&] { tmrLabelFadeTimer(); }); });

    FormCreate();
}

TPluginEditorWindow::~TPluginEditorWindow()
{
    EndAllEdits();
    FormDestroy();
}

void TPluginEditorWindow::LoadImages()
{
    for (const form::TFormImage& description : form::Images)
    {
        TDIBImageList& list = description.List == form::ilKnobs ? imgKnobs : imgBackground;
        TMemoryDIB& image = list.Add(std::string(description.Name)).DIB;
        image.ShareFrom(DecodedImage(ScaledImageName(description.Name, FScale)));
        image.SetMasked(description.Masked);
    }
}

void TPluginEditorWindow::BuildMenus()
{
    const auto onClick = [this](TDIBComponent& item) { Guarded([&] { Centre1Click(item); }); };
    const auto addMidiItems = [&](TDIBMenuItem& menu)
    {
        for (const form::TFormMenuItem& item : form::MidiMenuItems)
        {
            menu.Add(std::string(item.Caption), item.Tag, onClick);
        }
    };
    const auto addSizeItems = [&](TDIBMenuItem& menu)
    {
        TDIBMenuItem& sizes = menu.Add(std::string(form::SizeSubmenuCaption));
        for (const form::TFormMenuItem& item : form::SizeMenuItems)
        {
            sizes.Add(std::string(item.Caption), item.Tag, onClick).Checked =
                item.Tag - form::mcSize100 == static_cast<std::int32_t>(FScale);
        }
    };
    mnuSliders.Name = "mnuSliders";
    mnuSliders.Add(std::string(form::CentreItem.Caption), form::CentreItem.Tag, onClick);
    mnuSliders.Add("-");
    addMidiItems(mnuSliders.Add(std::string(form::MidiSubmenuCaption)));
    addSizeItems(mnuSliders);
    mnuButtons.Name = "mnuButtons";
    mnuButtons.Add(std::string(form::SoloItem.Caption), form::SoloItem.Tag, onClick);
    mnuButtons.Add("-");
    addMidiItems(mnuButtons.Add(std::string(form::MidiSubmenuCaption)));
    addSizeItems(mnuButtons);
    mnuMIDI.Name = "mnuMIDI";
    addMidiItems(mnuMIDI);
    mnuMIDI.Add("-");
    addSizeItems(mnuMIDI);
}

TDIBPopupMenu* TPluginEditorWindow::MenuOf(form::TMenuId menu)
{
    switch (menu)
    {
    case form::miSliders:
        return &mnuSliders;
    case form::miButtons:
        return &mnuButtons;
    case form::miMIDI:
        return &mnuMIDI;
    case form::miNone:
        break;
    }
    return nullptr;
}

void TPluginEditorWindow::CreateComponents()
{
    for (const form::TFormComponent& description : form::Components)
    {
        TCustomDIBControl& control = CreateComponent(description);
        control.Name = std::string(description.Name);
        control.PopupMenu = MenuOf(description.Menu);
        control.DIBTabOrder = -1;
        if (IsParameterIndex(description.Tag))
        {
            control.Tag = description.Tag;
        }
    }
}

TCustomDIBControl& TPluginEditorWindow::CreateComponent(const form::TFormComponent& d)
{
    TDIBImageList* list = d.List == form::ilKnobs        ? &imgKnobs
                          : d.List == form::ilBackground ? &imgBackground
                                                         : nullptr;
    const TDIBImageLink image{list, d.ImageIndex};
    switch (d.Kind)
    {
    case form::ckKnob:
    {
        const form::TKnobSettings& style = form::KnobStyles.at(d.Knob);
        auto knob = std::make_unique<TDIBKnob>(this, cntBackGround.get());
        knob->SetBounds(Scaled(d.Left, FScale), Scaled(d.Top, FScale), Scaled(d.Width, FScale),
                        Scaled(d.Height, FScale));
        knob->SetNumGlyphs(style.Frames);
        knob->SetIndexMain(image);
        knob->DIBImageList = list;
        knob->SetMin(0);
        knob->SetMax(style.Max);
        knob->SetPosition(style.InitialPosition);
        knob->SetDrawTweens(style.DrawTweens);
        knob->Orientation = koVertical;
        knob->UseFineTune = true;
        knob->PageSize = style.PageSize;
        // A drag moves as far per pixel of the 100 % form at every size.
        knob->DragScale = ScaleFactor(FScale);
        knob->SmallChange = style.SmallChange;
        knob->WheelStep = style.WheelStep;
        knob->WheelFineStep = style.WheelFineStep;
        knob->SetOpacity(255);
        // Bound after the initial position, so that building the form changes no value.
        knob->OnChange = [this](TDIBComponent& sender) { Guarded([&] { par0Change(sender); }); };
        knob->OnMouseDown = [this](TDIBComponent& sender, TMouseButton button, TShiftState shift,
                                   std::int32_t, std::int32_t)
        { Guarded([&] { kbInGainMouseDown(sender, button, shift); }); };
        knob->OnMouseMove = [this](TDIBComponent& sender, TShiftState, std::int32_t, std::int32_t)
        { Guarded([&] { kbInGainMouseMove(sender); }); };
        // A drag is one gesture for the host: automation is recorded between its ends.
        knob->OnDragStart = [this](TDIBComponent& sender)
        { Guarded([&] { BeginEdit(sender.Tag); }); };
        knob->OnDragEnd = [this](TDIBComponent& sender) { EndEdit(sender.Tag); };
        FKnobs.at(static_cast<std::size_t>(d.Tag)) = knob.get();
        FControls.push_back(std::move(knob));
        break;
    }
    case form::ckGlyphButton:
    {
        auto button = std::make_unique<TDIBGlyphButton>(this, cntBackGround.get());
        button->SetBounds(Scaled(d.Left, FScale), Scaled(d.Top, FScale), Scaled(d.Width, FScale),
                          Scaled(d.Height, FScale));
        button->SetNumGlyphs(2);
        button->SetGlyph(image);
        button->DIBImageList = list;
        button->ToggleDown = true;
        button->SetOpacity(255);
        button->OnMouseDown = [this](TDIBComponent& sender, TMouseButton pressed, TShiftState shift,
                                     std::int32_t, std::int32_t)
        { Guarded([&] { kbInGainMouseDown(sender, pressed, shift); }); };
        FButtons.at(static_cast<std::size_t>(d.Tag)) = button.get();
        FControls.push_back(std::move(button));
        break;
    }
    case form::ckFadeLabel:
    {
        auto label = std::make_unique<TDIBFadeLabel>(this, cntBackGround.get());
        label->SetBounds(Scaled(d.Left, FScale), Scaled(d.Top, FScale), Scaled(d.Width, FScale),
                         Scaled(d.Height, FScale));
        const bool hint = d.Label != form::lsShadow;
        label->SetFont(
            TUIFont{std::string(form::LabelFontFace), Scaled(form::LabelFontHeight, FScale), false},
            hint ? form::HintColour : form::ShadowColour);
        label->SetColorHighlighted(form::LabelHighlight);
        label->SetFrameCount(form::LabelFadeFrames);
        label->SetFrameDelay(form::LabelFadeDelay);
        label->SetAlignment(taCenter);
        label->SetLayout(tlTop);
        label->Transparent = true;
        label->WordWrap = false;
        switch (d.Label)
        {
        case form::lsProgram:
            label->SetOpacity(form::ProgramOpacity);
            lblProgram = label.get();
            break;
        case form::lsShadow:
            label->SetOpacity(form::ShadowOpacity);
            lblShadow = label.get();
            break;
        default:
            label->SetOpacity(form::HintOpacity);
            lblHint = label.get();
            break;
        }
        FControls.push_back(std::move(label));
        break;
    }
    case form::ckPicture:
    {
        auto picture = std::make_unique<TDIBImage>(this, cntBackGround.get());
        picture->SetBounds(Scaled(d.Left, FScale), Scaled(d.Top, FScale), Scaled(d.Width, FScale),
                           Scaled(d.Height, FScale));
        picture->SetIndexMain(image);
        picture->DIBImageList = list;
        picture->SetVisible(false);
        imgCredits = picture.get();
        FControls.push_back(std::move(picture));
        break;
    }
    }
    return *FControls.back();
}

TDIBKnob* TPluginEditorWindow::KnobOf(std::int32_t parameter) const
{
    return IsParameterIndex(parameter) ? FKnobs[static_cast<std::size_t>(parameter)] : nullptr;
}

TDIBGlyphButton* TPluginEditorWindow::ButtonOf(std::int32_t parameter) const
{
    return IsParameterIndex(parameter) ? FButtons[static_cast<std::size_t>(parameter)] : nullptr;
}

TCustomDIBControl* TPluginEditorWindow::Control(std::string_view name) const
{
    for (const auto& control : FControls)
    {
        if (control->Name == name)
        {
            return control.get();
        }
    }
    return nullptr;
}

std::int16_t TPluginEditorWindow::ClientWidth() const
{
    return static_cast<std::int16_t>(cntBackGround->Width());
}

std::int16_t TPluginEditorWindow::ClientHeight() const
{
    return static_cast<std::int16_t>(cntBackGround->Height());
}

void TPluginEditorWindow::MoveToOrigin()
{
    cntBackGround->SetBounds(TRect{0, 0, cntBackGround->Width(), cntBackGround->Height()});
}

void TPluginEditorWindow::ShowMidiMapReport(std::string_view text)
{
    ShowMessage(text);
}

std::uintptr_t TPluginEditorWindow::NativeHandle() const
{
    return cntBackGround->Window().NativeHandle();
}

void TPluginEditorWindow::ShowCurrentValues()
{
    // Counted like a call of the window system: a message box about a missing timer may
    // run a modal loop in which the host closes the editor again.
    const TCountingPlatform::TScope scope(FPlatform);
    // The refresh runs before the repaint rather than after it, so the first picture the
    // host shows already has the controls at the current values.
    cntBackGround->Invalidate();
    Guarded([&] { Updater->SetEnabled(true); });
    if (FClosed)
    {
        return;
    }
    UpdaterTimer();
    cntBackGround->Update();
}

void TPluginEditorWindow::Idle()
{
    // A handler run from here may end this window and, when the glue is gone too, the last
    // owner of the window system: the pump runs on a window system kept alive here.
    const std::shared_ptr<IUIPlatform> keep = FPlatform.Owner();
    IUIPlatform& platform = FPlatform.Underlying();
    if (FClosed)
    {
        return;
    }
    platform.Idle();
}

void TPluginEditorWindow::Close(std::unique_ptr<TEditorWindow> self)
{
    if (!FPlatform.Busy())
    {
        return; // self destroys the window
    }
    // The host closed from inside a call into this window, most likely from the modal loop
    // of a pop-up menu or message box whose handler goes on when that loop returns: the
    // objects stay until then, unseen and inert. The effect and the glue's values may be
    // gone before that (effClose), so nothing reads them any more. A gesture under way
    // ends first, while the effect is still there to tell the host.
    EndAllEdits();
    FClosed = true;
    effect = nullptr;
    Updater->SetEnabled(false);
    tmrAbout->SetEnabled(false);
    tmrLabelFade->SetEnabled(false);
    cntBackGround->Window().SetVisible(false);
    FSelf = std::move(self);
}

void TPluginEditorWindow::DestroyIfClosed()
{
    if (FSelf)
    {
        // Destroys this window: nothing of it is touched after.
        const std::unique_ptr<TEditorWindow> self = std::move(FSelf);
    }
}

void TPluginEditorWindow::KeepPlatformAlive(std::shared_ptr<IUIPlatform> platform)
{
    FPlatform.KeepAlive(std::move(platform));
}

template <typename THandler> void TPluginEditorWindow::Guarded(THandler&& handler) noexcept
{
    if (FClosed)
    {
        return;
    }
    try
    {
        handler();
    }
    catch (const std::exception& error)
    {
        ShowMessage(error.what());
    }
}

void TPluginEditorWindow::ShowMessage(std::string_view text)
{
    if (FClosed)
    {
        return;
    }
    try
    {
        FPlatform.ShowMessage(&cntBackGround->Window(), form::MessageCaption, text);
    }
    catch (...)
    {
        // Nothing is left to tell the user with; the window goes on.
    }
}

// --- Form creation and destruction ---

void TPluginEditorWindow::FormCreate()
{
    // Value texts go to the two labels, not to tooltips: the container offers the hint of
    // the control under the pointer 1 ms after the pointer enters it, to this window only.
    cntBackGround->ShowHint = true;
    cntBackGround->SetHintPause(form::HintPause);
    cntBackGround->OnShowHint = [this](std::string& text, TCustomDIBControl& control)
    { Guarded([&] { AppShowHint(text, control); }); };
    imgCredits->SetBounds(0, 0, cntBackGround->Width(), cntBackGround->Height());
}

void TPluginEditorWindow::FormDestroy()
{
}

// --- Values to controls ---

void TPluginEditorWindow::RefreshKnob(std::int32_t parameter)
{
    TDIBKnob* knob = KnobOf(parameter);
    const float value = values[static_cast<std::size_t>(parameter)].load(std::memory_order_relaxed);
    const std::int64_t position = RoundHalfEven(static_cast<double>(knob->Max()) * value);
    if (position != knob->Position())
    {
        knob->SetPosition(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(position, knob->Min(), knob->Max())));
    }
}

void TPluginEditorWindow::UpdaterTimer()
{
    updating = 1;
    for (std::int32_t parameter : SliderRefreshOrder)
    {
        RefreshKnob(parameter);
    }
    for (std::int32_t parameter : ButtonRefreshOrder)
    {
        const float value =
            values[static_cast<std::size_t>(parameter)].load(std::memory_order_relaxed);
        ButtonOf(parameter)->SetDown(value >= 0.5f);
    }
    for (std::int32_t parameter : RotaryRefreshOrder)
    {
        RefreshKnob(parameter);
    }
    updating = 0;
    RefreshProgramName();
}

void TPluginEditorWindow::RefreshProgramName()
{
    const bool idle = lblHint->Caption().empty() && effect != nullptr;
    if (idle)
    {
        // The host may switch or rename programs at any time: asked again on every refresh.
        lblProgram->SetCaption(effect->ProgramName());
    }
    lblProgram->SetVisible(idle);
}

bool TPluginEditorWindow::Editing() const
{
    return std::find(FEditing.begin(), FEditing.end(), true) != FEditing.end();
}

// --- Controls to values ---

void TPluginEditorWindow::SetParameter(std::int32_t index, float value)
{
    // The host may close the editor from inside the automation call it receives.
    if (effect != nullptr)
    {
        effect->SetParameter(index, value);
    }
}

void TPluginEditorWindow::BeginEdit(std::int32_t index)
{
    if (effect == nullptr || !IsParameterIndex(index) || FEditing[static_cast<std::size_t>(index)])
    {
        return;
    }
    FEditing[static_cast<std::size_t>(index)] = true;
    effect->BeginEdit(index);
}

void TPluginEditorWindow::EndEdit(std::int32_t index)
{
    if (!IsParameterIndex(index) || !FEditing[static_cast<std::size_t>(index)])
    {
        return;
    }
    FEditing[static_cast<std::size_t>(index)] = false;
    // The host may have closed the editor inside the gesture; the effect has then ended it.
    if (effect != nullptr)
    {
        effect->EndEdit(index);
    }
}

void TPluginEditorWindow::EndAllEdits()
{
    if (FClosed)
    {
        return;
    }
    for (TDIBKnob* knob : FKnobs)
    {
        if (knob != nullptr)
        {
            knob->CancelDrag();
        }
    }
    for (std::int32_t index = 0; index < ParameterCount; ++index)
    {
        EndEdit(index);
    }
}

void TPluginEditorWindow::SetParameterTouched(std::int32_t index, float value)
{
    // After a close from inside an earlier gesture the glue's values may be gone.
    if (FClosed || !IsParameterIndex(index))
    {
        return;
    }
    // The editor's own values take the command's value first: hosts need not echo a write
    // back, and the next command of the same click (invert, solo) reads them.
    values[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    BeginEdit(index);
    SetParameter(index, value);
    EndEdit(index);
    if (!FClosed)
    {
        ShowValue(index);
    }
}

void TPluginEditorWindow::ShowValue(std::int32_t parameter)
{
    updating = 1;
    if (KnobOf(parameter) != nullptr)
    {
        RefreshKnob(parameter);
    }
    else if (TDIBGlyphButton* button = ButtonOf(parameter))
    {
        button->SetDown(
            values[static_cast<std::size_t>(parameter)].load(std::memory_order_relaxed) >= 0.5f);
    }
    updating = 0;
}

std::string TPluginEditorWindow::ValueText(std::int32_t parameter)
{
    if (effect == nullptr)
    {
        return {};
    }
    return Trim(effect->ParameterDisplay(parameter) + ' ' + effect->ParameterLabel(parameter));
}

std::string TPluginEditorWindow::GestureText(std::int32_t parameter)
{
    return std::string(ControlTitle(parameter)) + ' ' + ValueText(parameter);
}

void TPluginEditorWindow::par0Change(TDIBComponent& sender)
{
    if (updating != 0)
    {
        return;
    }
    auto& knob = static_cast<TDIBKnob&>(sender);
    const std::int32_t index = knob.Tag;
    const float value = static_cast<float>(knob.Position()) / static_cast<float>(knob.Max());
    values[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    if (effect == nullptr)
    {
        return;
    }
    SetParameter(index, value);
    // Under a drag or a turn of the wheel the text names what moves.
    hintText = FEditing[static_cast<std::size_t>(index)] ? GestureText(index) : ValueText(index);
    knob.Hint = hintText;
    cntBackGround->ActivateHint(knob);
}

void TPluginEditorWindow::kbInGainMouseMove(TDIBComponent& sender)
{
    if (effect == nullptr)
    {
        return;
    }
    auto& knob = static_cast<TCustomDIBControl&>(sender);
    knob.Hint = ValueText(knob.Tag);
}

void TPluginEditorWindow::kbInGainMouseDown(TDIBComponent& sender, TMouseButton button,
                                            TShiftState shift)
{
    if (effect == nullptr)
    {
        return;
    }
    auto& control = static_cast<TCustomDIBControl&>(sender);
    if (button == mbRight)
    {
        menuTarget = &control;
        return;
    }
    const bool withShift = HasShift(shift, ssShift);
    const bool withCtrl = HasShift(shift, ssCtrl);
    if (auto* glyph = dynamic_cast<TDIBGlyphButton*>(&control))
    {
        const std::int32_t index = glyph->Tag;
        if (index != OverSampleParameter && withShift && withCtrl)
        {
            // Open all five bands.
            for (std::int32_t k = FirstMute; k <= LastMute; ++k)
            {
                SetParameterTouched(k, 0.0f);
            }
        }
        else if (index != OverSampleParameter && withShift)
        {
            // Solo: the pressed band stays open, the four others are muted.
            for (std::int32_t k = FirstMute; k <= LastMute; ++k)
            {
                SetParameterTouched(k, ButtonOf(k) == glyph ? 0.0f : 1.0f);
            }
        }
        else if (index != OverSampleParameter && withCtrl)
        {
            // Invert every band's mute.
            for (std::int32_t k = FirstMute; k <= LastMute && !FClosed; ++k)
            {
                const float value =
                    values[static_cast<std::size_t>(k)].load(std::memory_order_relaxed);
                SetParameterTouched(k, value < 0.5f ? 1.0f : 0.0f);
            }
        }
        else
        {
            // Toggle. The button's own ToggleDown flips it back on release; the next
            // refresh shows the parameter again.
            SetParameterTouched(index, glyph->Down() ? 0.0f : 1.0f);
        }
        return;
    }
    if (dynamic_cast<TDIBKnob*>(&control) != nullptr && withShift && withCtrl)
    {
        SetParameterTouched(control.Tag, 0.5f);
    }
}

// --- Menus ---

void TPluginEditorWindow::Centre1Click(TDIBComponent& sender)
{
    if (effect == nullptr)
    {
        ShowMessage(form::NoEffectText);
        return;
    }
    // The menus open only on a right click over a control, which sets menuTarget first;
    // a command without a target does nothing.
    if (menuTarget == nullptr)
    {
        return;
    }
    const std::int32_t target = menuTarget->Tag;
    switch (sender.Tag)
    {
    case form::mcCentre:
        SetParameterTouched(target, 0.5f);
        break;
    case form::mcMidiLearn:
        effect->StartMidiLearn(target);
        break;
    case form::mcShowMidiConfig:
        // An effect in another process answers later, through ShowMidiMapReport.
        if (const std::optional<std::string> report = effect->MidiMapReport())
        {
            ShowMessage(*report);
        }
        break;
    case form::mcResetMidiConfig:
        effect->ResetMidiMap();
        break;
    case form::mcSolo:
        for (std::int32_t k = FirstMute; k <= LastMute; ++k)
        {
            SetParameterTouched(k, ButtonOf(k) == menuTarget ? 0.0f : 1.0f);
        }
        break;
    case form::mcRestoreDefaultMidiConfig:
        effect->RestoreDefaultMidiMap();
        break;
    case form::mcSize100:
    case form::mcSize150:
    case form::mcSize200:
    {
        const auto scale = static_cast<TEditorScale>(sender.Tag - form::mcSize100);
        SaveUserScale(FPlatform.UserSettingsFile(), scale);
        if (scale != FScale && OnSizeChosen)
        {
            OnSizeChosen(scale); // may close this window: nothing of it is touched after
        }
        break;
    }
    default:
        break;
    }
}

// --- Value labels ---

void TPluginEditorWindow::AppShowHint(std::string& text, TCustomDIBControl&)
{
    if (text.empty())
    {
        return;
    }
    lblHint->SetCaption(text);
    lblShadow->SetCaption(text);
    text.clear();
    // Setting what the timer already has does not restart it: a text that arrives during
    // the hold does not lengthen it; one that arrives during the fade starts a new hold.
    tmrLabelFade->SetInterval(form::LabelHoldInterval);
    tmrLabelFade->SetEnabled(true);
    lblHint->SetOpacity(form::HintOpacity);
    lblShadow->SetOpacity(form::ShadowOpacity);
    RefreshProgramName();
}

void TPluginEditorWindow::tmrLabelFadeTimer()
{
    if (tmrLabelFade->Interval() == form::LabelHoldInterval)
    {
        // The text stays while its control is dragged; the fade begins a hold after.
        if (!Editing())
        {
            tmrLabelFade->SetInterval(form::LabelFadeInterval);
        }
        return;
    }
    const std::uint8_t hint = lblHint->Opacity();
    const std::uint8_t shadow = lblShadow->Opacity();
    lblHint->SetOpacity(hint > 10 ? static_cast<std::uint8_t>(hint - 10) : 0);
    lblShadow->SetOpacity(shadow > 10 ? static_cast<std::uint8_t>(shadow - 5) : 0);
    if (lblHint->Opacity() == 0)
    {
        lblHint->SetCaption("");
        lblShadow->SetCaption("");
        tmrLabelFade->SetEnabled(false);
        RefreshProgramName();
    }
}

// --- Credits ---

void TPluginEditorWindow::cntBackGroundMouseDown(TMouseButton, std::int32_t x, std::int32_t y)
{
    if (x <= Scaled(form::CreditsCornerX, FScale) || y <= Scaled(form::CreditsCornerY, FScale))
    {
        return;
    }
    imgCredits->SetOpacity(255);
    imgCredits->SetVisible(true);
    tmrAbout->SetOnTimer([this](TDIBComponent&) { Guarded([&] { tmrAboutTimerShow(); }); });
    tmrAbout->SetInterval(form::AboutHoldInterval);
    tmrAbout->SetEnabled(true);
}

void TPluginEditorWindow::tmrAboutTimerShow()
{
    tmrAbout->SetOnTimer([this](TDIBComponent&) { Guarded([&] { tmrAboutTimerFade(); }); });
    tmrAbout->SetInterval(form::AboutFadeInterval);
}

void TPluginEditorWindow::tmrAboutTimerFade()
{
    const std::int32_t opacity = std::max<std::int32_t>(imgCredits->Opacity() - 10, 0);
    imgCredits->SetOpacity(static_cast<std::uint8_t>(opacity));
    if (opacity <= 10)
    {
        tmrAbout->SetEnabled(false);
        imgCredits->SetVisible(false);
    }
}

} // namespace orvo
