// The editor window's description: its size, image lists, components (in creation order,
// which is paint order: a later control lies above an earlier one and takes the mouse where
// they overlap), knob styles, labels, timers and pop-up menus. TPluginEditorWindow is built
// from these tables and nothing else says where a control sits.
#pragma once

#include "platform/ui/UIPixels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvo::form
{

inline constexpr std::int32_t ClientWidth = 700;
inline constexpr std::int32_t ClientHeight = 300;

/// The control's Tag of components that carry no parameter.
inline constexpr std::int32_t NoParameter = -1;

enum TImageListId : std::uint8_t
{
    ilNone,
    ilBackground, // imgBackground
    ilKnobs,      // imgKnobs
};

/// One stored image (resources/images/<Name>.dibcmp) in its list.
struct TFormImage
{
    TImageListId List;
    std::string_view Name;
    bool Masked;
};

/// The images in list order: imgBackground 0..7, then imgKnobs 0..1.
inline constexpr std::array<TFormImage, 10> Images{{
    {ilBackground, "BackGround", false}, // 700 x 300
    {ilBackground, "Credits", false},    // 700 x 300
    {ilBackground, "Lo", true},          // 88 x 20, up and down frames
    {ilBackground, "LoMid", true},
    {ilBackground, "Mid", true},
    {ilBackground, "HiMid", true},
    {ilBackground, "Hi", true},
    {ilBackground, "OverSample", true}, // 144 x 20
    {ilKnobs, "Knob", true},            // 61 frames of 62 x 62
    {ilKnobs, "Slider", true},          // 57 frames of 49 x 114
}};

enum TComponentKind : std::uint8_t
{
    ckKnob,
    ckGlyphButton,
    ckFadeLabel,
    ckPicture,
};

/// How a knob moves: see KnobStyles.
enum TKnobStyle : std::uint8_t
{
    ksSlider,
    ksTube,
    ksTuning,
    ksNone,
};

/// Which pop-up menu a control opens on a right click.
enum TMenuId : std::uint8_t
{
    miNone,
    miSliders, // mnuSliders
    miButtons, // mnuButtons
    miMIDI,    // mnuMIDI
};

enum TLabelStyle : std::uint8_t
{
    lsNone,
    lsHint,
    lsShadow,
    lsProgram, // the current program's name, dimmed, while the value labels are empty
};

struct TFormComponent
{
    std::string_view Name;
    TComponentKind Kind;
    std::int32_t Tag; // the parameter index, or NoParameter
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
    TImageListId List;
    std::int32_t ImageIndex;
    TKnobStyle Knob;
    TMenuId Menu;
    TLabelStyle Label;
};

/// The controls on cntBackGround, in creation order. The five band sliders share one top
/// edge, so their 0 dB lines meet the panel's guide. imgCredits is stored at 208, 3 (291 x 76); the
/// window aligns it to the whole client area when it is created.
inline constexpr std::array<TFormComponent, 19> Components{{
    // Name            Kind           Tag  Left  Top  W    H    List          Img Knob      Menu
    // Label
    {"kbMid", ckKnob, 2, 328, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbTube", ckKnob, 10, 489, 124, 62, 62, ilKnobs, 0, ksTube, miSliders, lsNone},
    {"kbTuning", ckKnob, 11, 161, 124, 62, 62, ilKnobs, 0, ksTuning, miSliders, lsNone},
    {"kbHiMid", ckKnob, 3, 374, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbLoMid", ckKnob, 1, 282, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbHi", ckKnob, 4, 420, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbLo", ckKnob, 0, 236, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbInGain", ckKnob, 12, 91, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"kbOutGain", ckKnob, 13, 563, 93, 49, 114, ilKnobs, 1, ksSlider, miSliders, lsNone},
    {"btnMid", ckGlyphButton, 7, 329, 226, 44, 20, ilBackground, 4, ksNone, miButtons, lsNone},
    {"btnLoMid", ckGlyphButton, 6, 283, 226, 44, 20, ilBackground, 3, ksNone, miButtons, lsNone},
    {"btnLo", ckGlyphButton, 5, 237, 226, 44, 20, ilBackground, 2, ksNone, miButtons, lsNone},
    {"btnHiMid", ckGlyphButton, 8, 375, 226, 44, 20, ilBackground, 5, ksNone, miButtons, lsNone},
    {"btnHi", ckGlyphButton, 9, 421, 226, 44, 20, ilBackground, 6, ksNone, miButtons, lsNone},
    {"lblProgram", ckFadeLabel, NoParameter, 291, 269, 119, 20, ilNone, -1, ksNone, miNone,
     lsProgram},
    {"lblShadow", ckFadeLabel, NoParameter, 293, 271, 119, 20, ilNone, -1, ksNone, miNone,
     lsShadow},
    {"lblHint", ckFadeLabel, NoParameter, 291, 269, 119, 20, ilNone, -1, ksNone, miNone, lsHint},
    {"imgCredits", ckPicture, NoParameter, 208, 3, 291, 76, ilBackground, 1, ksNone, miNone,
     lsNone},
    {"btnOverSample", ckGlyphButton, 14, 45, 269, 72, 20, ilBackground, 7, ksNone, miMIDI, lsNone},
}};

/// Knob settings besides those all knobs share (minimum 0, vertical drag, fine tune on).
/// Drag steps are positions per pixel: PageSize plain, SmallChange with Shift held. For
/// kbTuning the Shift step is the coarse one: 25 positions are one semitone.
/// A notch of the wheel moves WheelStep positions, WheelFineStep with Shift held: for the
/// sliders and Tube one frame of their strips (10 positions), for Tuning one semitone; with
/// Shift a single position.
struct TKnobSettings
{
    std::int32_t Max;
    std::int32_t InitialPosition;
    std::int32_t Frames;
    std::uint16_t PageSize;
    std::uint16_t SmallChange;
    bool DrawTweens;
    std::uint16_t WheelStep;
    std::uint16_t WheelFineStep;
};

inline constexpr std::array<TKnobSettings, 3> KnobStyles{{
    {569, 280, 57, 5, 1, false, 10, 1}, // ksSlider
    {609, 0, 61, 5, 1, true, 10, 1},    // ksTube
    {600, 0, 61, 1, 25, true, 25, 1},   // ksTuning
}};

/// The two value labels: centred, text at the top, transparent, no word wrap, white
/// highlight fading over 10 frames of 50 ms, empty at start.
inline constexpr std::string_view LabelFontFace = "MS Sans Serif";
inline constexpr std::int32_t LabelFontHeight = 11;
inline constexpr TUIColor HintColour = MakeColor(220, 218, 154); // 10148572
inline constexpr TUIColor ShadowColour = MakeColor(0, 0, 0);
inline constexpr TUIColor LabelHighlight = MakeColor(255, 255, 255);
inline constexpr std::uint8_t LabelFadeFrames = 10;
inline constexpr std::uint32_t LabelFadeDelay = 50;
inline constexpr std::uint8_t HintOpacity = 255;
inline constexpr std::uint8_t ShadowOpacity = 120;
/// The program name stands back from the value texts: the hint's colour, at this opacity.
inline constexpr std::uint8_t ProgramOpacity = 110;

// Timers, all created disabled.
inline constexpr std::uint32_t UpdaterInterval = 100;    // Updater: refresh from values
inline constexpr std::uint32_t AboutHoldInterval = 5000; // tmrAbout: credits shown
inline constexpr std::uint32_t AboutFadeInterval = 10;   // tmrAbout: credits fading
inline constexpr std::uint32_t LabelHoldInterval = 2000; // tmrLabelFade: text held
inline constexpr std::uint32_t LabelFadeInterval = 50;   // tmrLabelFade: text fading
/// The delay before a knob's value text is shown once the pointer rests on it.
inline constexpr std::uint32_t HintPause = 1;

/// A press on the bare background at x > CreditsCornerX and y > CreditsCornerY shows the
/// credits picture.
inline constexpr std::int32_t CreditsCornerX = 530;
inline constexpr std::int32_t CreditsCornerY = 260;

/// The commands of the pop-up menus, by the menu item's Tag.
enum TMenuCommand : std::int32_t
{
    mcCentre = 0,
    mcMidiLearn = 1,
    mcShowMidiConfig = 2,
    mcResetMidiConfig = 3,
    mcSolo = 4,
    mcRestoreDefaultMidiConfig = 5,
    mcSize100 = 6,
    mcSize150 = 7,
    mcSize200 = 8,
};

struct TFormMenuItem
{
    std::string_view Caption; // "-": a separator
    std::int32_t Tag;
};

/// The "MIDI" items, a submenu of mnuSliders and mnuButtons and the whole of mnuMIDI.
inline constexpr std::array<TFormMenuItem, 4> MidiMenuItems{{
    {"MIDI Learn", mcMidiLearn},
    {"Show MIDI CC Config", mcShowMidiConfig},
    {"Reset CC config", mcResetMidiConfig},
    {"Restore Default config", mcRestoreDefaultMidiConfig},
}};
inline constexpr std::string_view MidiSubmenuCaption = "MIDI";
/// The "Size" items, a submenu at the end of every menu: the user's size for the editor,
/// kept for that user. A glue that can replace the open window takes it at once (VST 2),
/// the others from the next opening.
inline constexpr std::array<TFormMenuItem, 3> SizeMenuItems{{
    {"100 %", mcSize100},
    {"150 %", mcSize150},
    {"200 %", mcSize200},
}};
inline constexpr std::string_view SizeSubmenuCaption = "Size";
inline constexpr TFormMenuItem CentreItem{"Centre", mcCentre};
inline constexpr TFormMenuItem SoloItem{"Solo", mcSolo};

/// The caption of the editor's message boxes ("NoEffect", the MIDI report).
inline constexpr std::string_view MessageCaption = "Orvo";
inline constexpr std::string_view NoEffectText = "NoEffect";
} // namespace orvo::form
