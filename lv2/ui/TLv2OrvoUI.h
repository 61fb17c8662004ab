// One LV2 UI of Orvo: the editor window on the X11 window system, embedded in the host's
// window, answering the window's requests through the plug-in's ports. Control changes go
// out through the host's write function in the ports' units, gestures through the host's
// touch feature, MIDI menu commands as messages on the MIDI input; the host's port events
// (control values, the instance's MIDI map replies) come back in.
#pragma once

#include "editor/IEditorEffect.h"
#include "editor/uEditor.h"
#include "lv2/uLv2Messages.h"

#include <lv2/ui/ui.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvo::lv2
{
class TLv2OrvoUI final : public IEditorEffect
{
  public:
    /// Builds the window on platform as a child of parent, at scale. write and controller
    /// are the host's; map, touch and resize are optional (without map the MIDI menu does
    /// nothing). Throws when the window cannot be made.
    TLv2OrvoUI(std::shared_ptr<IUIPlatform> platform, std::uintptr_t parent,
               LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map* map,
               const LV2UI_Touch* touch, char decimalSeparator, TEditorScale scale = es100);

    /// The window's size in pixels: 700 x 300 at 100 %.
    int Width() const { return FWindow->ClientWidth(); }
    int Height() const { return FWindow->ClientHeight(); }
    ~TLv2OrvoUI() override;
    TLv2OrvoUI(const TLv2OrvoUI&) = delete;
    TLv2OrvoUI& operator=(const TLv2OrvoUI&) = delete;

    /// The window the host embeds.
    std::uintptr_t Widget() const;
    /// A control port's value, or an atom from the MIDI output: the instance's MIDI map
    /// reply, or its control values (taken for every port but those under a gesture).
    void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                   const void* buffer);
    /// Runs the window system's events, timers and paints, then shows a MIDI map report
    /// that arrived. 0 while the window is open.
    int Idle();

    // IEditorEffect
    void SetParameter(std::int32_t index, float value) override;
    void BeginEdit(std::int32_t index) override;
    void EndEdit(std::int32_t index) override;
    std::string ParameterDisplay(std::int32_t index) override;
    std::string ParameterLabel(std::int32_t index) override;
    /// Empty: the instance's ports carry no program, and a preset the host loads is only
    /// values to the instance, so the editor has no name to show.
    std::string ProgramName() override;
    void StartMidiLearn(std::int32_t parameter) override;
    void ResetMidiMap() override;
    void RestoreDefaultMidiMap() override;
    /// Asks the instance for its map; the report is shown when the reply arrives.
    std::optional<std::string> MidiMapReport() override;

  private:
    void sendCommand(TMidiMenuMessage message);

    LV2UI_Write_Function FWrite;
    LV2UI_Controller FController;
    const LV2_URID_Map* FMap;
    const LV2UI_Touch* FTouch;
    char FSeparator;
    TMessageUrids FUrids;
    TEditorValues FValues;
    /// Ports between BeginEdit and EndEdit: the instance's values, which lag behind the
    /// user's writes, do not move them.
    std::array<bool, ParameterCount> FEditing{};
    std::optional<std::string> FReport;
    std::unique_ptr<TPluginEditorWindow> FWindow;
};
} // namespace orvo::lv2
