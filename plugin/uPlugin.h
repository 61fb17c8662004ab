// APlugin: the effect. Parameters and their texts, programs, MIDI queue, thru and CC
// learn, the identity it shows the host, and the processing entry points.
#pragma once

#include "dsp/uOrvoEngine.h"
#include "host/DAudioEffectX.h"
#include "plugin/uMidiMap.h"
#include "parameters/uParameterTable.h"
#include "plugin/uPluginProgram.h"
#include "plugin/uPluginServices.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace orvo
{
/// A rewrite of the CC tables that the editor asked for and the processing thread has not
/// taken over yet.
enum TMapCommand : std::uint8_t
{
    mcNone,
    mcReset,
    mcRestoreDefault,
};

/// The effect. Its sound is the DSP engine's (dsp/uOrvoEngine.h); the effect hands every
/// parameter value, the host rate and suspend to it, and answers the engine's questions
/// about MIDI positions as the owner of the event queue (IMidiClock).
class APlugin : public AudioEffectX, private IMidiClock
{
    /// The DSP: filters, transient processors, buffers and the parameter mapping. The first
    /// member, so that it is built before every other part of the effect (the base class,
    /// which fills the record, necessarily comes first in C++) and freed after them. Its
    /// setters and display queries may be called on any thread; its processing only on the
    /// processing thread.
    TOrvoEngine FEngine;

public:
    static constexpr std::int32_t MidiQueueSize = 250;
    /// FNextMidiPos when no event is pending.
    static constexpr std::int32_t NeverDue = 2147483647;
    /// deltaFrames of a free queue slot.
    static constexpr std::int32_t FreeSlot = -99;
    /// Rectangle and text widths copied into host buffers, terminator included. Parameter
    /// names, labels and display texts reach 21 characters ("Reserved for Quorvane"),
    /// above the published 8; hosts give these opcodes buffers of 64 bytes or more, and 25
    /// bytes keep every text of this effect whole. Program names are cut to the published
    /// 24 characters, since hosts size program-name buffers to exactly that.
    static constexpr std::size_t ParamTextCapacity = ParameterTextCapacity;
    static constexpr std::size_t ProgramNameCapacity = kVstMaxProgNameLen + 1;

    APlugin(audioMasterCallback host, const TPluginServices& services,
            TEditorFactory editorFactory);
    ~APlugin() override;

    // Framework operations this effect overrides, in the order of their slots.
    void setSampleRate(float newSampleRate) noexcept override;
    void suspend() noexcept override;
    void resume() noexcept override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;
    void setParameter(VstInt32 index, float value) noexcept override;
    float getParameter(VstInt32 index) noexcept override;
    void setProgram(VstInt32 program) noexcept override;
    void setProgramName(char* name) noexcept override;
    void getProgramName(char* name) noexcept override;
    void getParameterLabel(VstInt32 index, char* label) noexcept override;
    void getParameterDisplay(VstInt32 index, char* text) noexcept override;
    void getParameterName(VstInt32 index, char* text) noexcept override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;
    float getVu() noexcept override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) noexcept override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) noexcept override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) noexcept override;
    VstInt32 processEvents(VstEvents* events) noexcept override;
    bool getEffectName(char* name) noexcept override;
    bool getVendorString(char* text) noexcept override;
    bool getProductString(char* text) noexcept override;
    VstInt32 getVendorVersion() noexcept override;
    VstInt32 canDo(char* text) noexcept override;
    /// Through setBlockSize and setSampleRate, so the rate reaches the processing settings
    /// (the framework's version only stores it).
    void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) noexcept override;

    // The MIDI menu of the editor (user-interface thread).
    /// "MIDI Learn": the next CC that arrives is bound to parameter (0..15); -1 stops
    /// learning. Other values are ignored.
    void startMidiLearn(std::int32_t parameter) noexcept;
    std::int32_t midiLearnParameter() const noexcept;
    /// "Reset CC config": every CC unbound, learning stopped.
    void resetMidiMap() noexcept;
    /// "Restore Default config": CC 20..35 drive parameters 0..15, learning stopped.
    void restoreDefaultMidiMap() noexcept;
    /// The text of "Show MIDI CC Config".
    std::string midiMapReport() const;
    /// The CC tables as they stand, with a pending menu command already applied.
    TMidiMap midiMap() const noexcept;
    /// Replaces the CC tables and stops learning, dropping a pending menu command. Only
    /// while no processing call runs (the LV2 state restore, which hosts never run beside
    /// processing).
    void replaceMidiMap(const TMidiMap& map) noexcept;

    /// The texts the host gave for getHostVendorString / getHostProductString at creation.
    const char* hostVendor() const noexcept
    {
        return FHostVendor;
    }
    const char* hostProduct() const noexcept
    {
        return FHostProduct;
    }

    /// 1 while the editor has no window (set by the editor glue), 0 once a window opened.
    /// setProgram and setProgramName tell the glue only while it is 0, and the glue copies
    /// the values for a window only then: an effect whose editor never opened spends nothing
    /// on it per parameter change. Opening copies every value.
    std::atomic<std::uint8_t> FEditorClosed{1};

private:
    // Construction steps.
    void createPrograms();
    void loadFactoryBank();
    void loadMidiMap();
    void saveMidiMap() noexcept;
    std::string moduleFolder() const;

    // Processing (uPluginProcess.cpp). The engine walks each block in runs and calls back
    // through IMidiClock at every event position; around it the effect handles what lies
    // outside the block.
    template <bool Adding>
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept;
    std::int32_t NextMidiPos() const noexcept override;
    void DispatchMidiAt(std::int32_t pos) noexcept override;
    /// Takes over a pending map command and handles events queued with negative offsets.
    void startMidiBlock() noexcept;
    /// Handles every event still pending, in slot order, stamped at the block's last frame.
    void finishMidiBlock(std::int32_t sampleFrames) noexcept;
    /// Handles every pending event due at pos (and any overdue one) and moves FNextMidiPos
    /// past pos. Processing thread.
    void dispatchMidiAt(std::int32_t pos) noexcept;
    /// Handles the pending events with deltaFrames <= limit in slot order; thru messages
    /// carry stamp as their deltaFrames.
    void dispatchDue(std::int32_t limit, std::int32_t stamp) noexcept;
    void handleMidiMessage(const VstMidiEvent& event, std::int32_t stamp) noexcept;
    void handleControlChange(std::int32_t cc, std::int32_t value) noexcept;
    void applyPendingMapCommand() noexcept;
    void storeMidiMap(const TMidiMap& map) noexcept;

    // MIDI thru: one host call per message, at the message's position in the block.
    void thruNoteOff(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity, std::int32_t pos) noexcept;
    void thruNoteOn(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity, std::int32_t pos) noexcept;
    void thruPolyPressure(std::uint8_t channel, std::uint8_t note, std::uint8_t pressure, std::int32_t pos) noexcept;
    void thruControlChange(std::uint8_t channel, std::uint8_t cc, std::uint8_t value, std::int32_t pos) noexcept;
    void thruProgramChange(std::uint8_t channel, std::uint8_t program, std::int32_t pos) noexcept;
    void thruChannelPressure(std::uint8_t channel, std::uint8_t pressure, std::int32_t pos) noexcept;
    void thruPitchBend(std::uint8_t channel, std::uint8_t lsb, std::uint8_t msb, std::int32_t pos) noexcept;
    void sendThru(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, std::int32_t pos) noexcept;

    void tellEditor() noexcept;
    /// Tells the editor that a value has just been stored in the engine.
    void parameterStored() noexcept;
    /// Makes program the current one and applies its values, without keeping the values in
    /// force before (construction, where none are).
    void loadProgram(VstInt32 program) noexcept;

    TPluginServices FServices;
    TParameterListener* FEditorListener = nullptr;
    char FDecimalSeparator = '.';
    char FHostVendor[kVstMaxVendorStrLen + 1] = {};
    char FHostProduct[kVstMaxProductStrLen + 1] = {};

    // Programs. While a program is current, its values are the engine's (FEngine holds the
    // values in force, once): every parameter change, on whichever thread, edits them there
    // and nowhere else, without reading curProgram. Its record in FPrograms is brought up to
    // date when another program is selected. So a controller on the processing thread never
    // writes into a program that the user-interface thread has just left, and never waits
    // for it; see setProgram.
    std::array<std::unique_ptr<APluginProgram>, ProgramCount> FPrograms;
    std::atomic<float> FVu{0.0f};

    // MIDI. The queue, FMidiQueueCount, FMidiQueueEnd, FNextMidiPos and the thru records
    // belong to the processing thread. The CC tables are written only by the processing
    // thread (learning, and taking over FPendingMapCommand); the editor's menu commands post
    // a complete new map as FPendingMapCommand, so processing never sees a half-rewritten
    // map and never waits for the user-interface thread.
    std::array<VstMidiEvent, MidiQueueSize> FMidiQueue{};
    std::int32_t FMidiQueueCount = 0;
    /// Every slot from here on is free, so the scans stop here.
    std::int32_t FMidiQueueEnd = 0;
    std::int32_t FNextMidiPos = NeverDue;
    VstMidiEvent FThruEvent{};
    VstEvents FThruEvents{};
    std::array<std::atomic<std::int32_t>, MidiCcCount> FCcToParam;
    std::array<std::atomic<std::int32_t>, ParameterCount> FParamToCc;
    std::atomic<std::int32_t> FLearnParam{NoBinding};
    std::atomic<std::uint8_t> FPendingMapCommand{mcNone};
};
} // namespace orvo
