// TOrvoEffect: the effect as every plug-in format sees it, knowing none of them. It holds the
// parameter values (through the DSP engine), the 16 programs and the factory bank, the MIDI
// map with learning and its file, a queue of time-stamped MIDI events handled at their
// frames while a block is processed (a format that sets parameters inside a block splits the
// block at their frames), and the versioned state a host keeps in its session. What it tells
// its format adapter goes out through IEffectOutput; the editor hears of every change
// through TParameterListener.
#pragma once

#include "core/uEffectEvents.h"
#include "core/uMidiMap.h"
#include "core/uPluginProgram.h"
#include "core/uPluginServices.h"
#include "dsp/uOrvoEngine.h"
#include "parameters/uParameterTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

class TOrvoEffect final : private IMidiClock
{
  public:
    /// Events that the queue holds at once; one more is dropped.
    static constexpr std::int32_t EventQueueSize = 250;
    /// The next due frame when no event is pending.
    static constexpr std::int32_t NeverDue = 2147483647;

    /// Builds the effect: the map file read, the programs filled from the factory bank,
    /// program 0 selected. output may be null (nothing is told); it must outlive the effect.
    TOrvoEffect(const TPluginServices& services, IEffectOutput* output);
    /// Writes the map file when the bindings changed.
    ~TOrvoEffect();
    TOrvoEffect(const TOrvoEffect&) = delete;
    TOrvoEffect& operator=(const TOrvoEffect&) = delete;

    // --- Parameters (any thread) ---
    /// Clamps value to 0..1 and stores it; the engine applies it before its next run. An
    /// index outside the table is ignored.
    void SetParameter(std::int32_t index, float value) noexcept;
    /// The value in force (0 for an index outside the table).
    float Parameter(std::int32_t index) const noexcept;
    /// The display text at the value in force, with the user's decimal sign; none for the
    /// reserved parameter, "undefined" outside the table.
    std::optional<std::string> ParameterDisplay(std::int32_t index) const;
    char DecimalSeparator() const noexcept { return FDecimalSeparator; }

    // --- Programs (any thread but the processing thread) ---
    std::int32_t Program() const noexcept
    {
        return FCurrentProgram.load(std::memory_order_relaxed);
    }
    /// Selects a program: its values come into force, and the values in force before go
    /// back into the program left (a program is edited by editing the values in force). An
    /// index outside 0..15 is ignored; the current one is applied again as it stands.
    void SetProgram(std::int32_t program) noexcept;
    /// The name of program (at most 50 characters); empty outside 0..15.
    std::string ProgramName(std::int32_t program) const;
    /// Renames the current program (the first 50 characters are kept).
    void SetProgramName(std::string_view name) noexcept;

    // --- Processing (processing thread) ---
    void SetSampleRate(float rate) noexcept;
    float SampleRate() const noexcept { return FSampleRate; }
    void Suspend() noexcept;
    void Resume() noexcept;
    /// Queues a MIDI message to be handled at frame of the next processed block (negative:
    /// before its first frame; beyond its end: at its last frame). Bytes of a message
    /// shorter than three are ignored. False when the queue is full and the event dropped.
    bool QueueMidi(std::int32_t frame, const TMidiBytes& message) noexcept;
    /// Processes frames of two channels, handling every queued event at its frame. Replaces
    /// outputs, or adds to them when adding. Channels left out give silence (replacing) or
    /// nothing (adding), and the events are still handled at their frames.
    void Process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                 bool adding = false) noexcept;

    // --- MIDI map and learning ---
    /// "MIDI Learn": the next CC that arrives is bound to parameter; -1 stops learning.
    /// Other values are ignored. Any thread.
    void StartMidiLearn(std::int32_t parameter) noexcept;
    std::int32_t MidiLearnParameter() const noexcept;
    /// "Reset CC config": every CC unbound, learning stopped. Any thread.
    void ResetMidiMap() noexcept;
    /// "Restore Default config": the default controllers, learning stopped. Any thread.
    void RestoreDefaultMidiMap() noexcept;
    /// The text of "Show MIDI CC Config".
    std::string MidiMapReport() const;
    /// The CC tables as they stand, with a pending menu command already applied.
    TMidiMap MidiMap() const noexcept;
    /// Replaces the CC tables and stops learning. Only while nothing processes.
    void ReplaceMidiMap(const TMidiMap& map) noexcept;

    // --- State (while nothing processes) ---
    /// The state a host keeps in its session: the current program, every value and the
    /// MIDI bindings, versioned (uEffectState.h).
    std::vector<std::uint8_t> SaveState() const;
    /// Restores a saved state; false, with nothing changed, for bytes that are no state.
    bool LoadState(std::span<const std::uint8_t> bytes) noexcept;

    // --- The editor ---
    /// Told after every parameter change, on the thread that made it; null: nobody.
    void SetParameterListener(TParameterListener* listener) noexcept
    {
        FEditorListener.store(listener, std::memory_order_release);
    }
    /// 1 while the editor has no window, 0 once a window opened. Program changes tell the
    /// listener only while it is 0: an effect whose editor never opened spends nothing on it.
    std::atomic<std::uint8_t> FEditorClosed{1};

  private:
    /// One queued MIDI message, due at Frame.
    struct TQueuedEvent
    {
        std::int32_t Frame = FreeSlot;
        TMidiBytes Midi{};
    };
    static constexpr std::int32_t FreeSlot = -99;

    bool queueEvent(const TQueuedEvent& event) noexcept;
    std::int32_t NextMidiPos() const noexcept override;
    void DispatchMidiAt(std::int32_t pos) noexcept override;
    void startBlock() noexcept;
    void finishBlock(std::int32_t frames) noexcept;
    void dispatchDue(std::int32_t limit, std::int32_t stamp) noexcept;
    void handleMidiMessage(const TMidiBytes& message, std::int32_t stamp) noexcept;
    void handleControlChange(std::int32_t cc, std::int32_t value) noexcept;
    void applyPendingMapCommand() noexcept;
    void storeMidiMap(const TMidiMap& map) noexcept;

    void loadMidiMap();
    void saveMidiMap() noexcept;
    std::string moduleMapPath() const;
    std::string userMapPath() const;
    void loadFactoryBank();
    void loadProgram(std::int32_t program) noexcept;
    void parameterStored() noexcept;
    void tellEditor() noexcept;

    /// The DSP: built first and freed last; its setters may be called on any thread.
    TOrvoEngine FEngine;
    TPluginServices FServices;
    IEffectOutput* FOutput;
    std::atomic<TParameterListener*> FEditorListener{nullptr};
    char FDecimalSeparator = '.';
    float FSampleRate = 44100.0f;

    // Programs. The values in force are the current program's (FEngine holds them, once):
    // every change edits them there, on whichever thread, without reading the program
    // index. A program's record is brought up to date when another one is selected, so a
    // controller on the processing thread never writes into a program that the user-interface
    // thread has just left, and never waits for it.
    std::array<std::unique_ptr<APluginProgram>, ProgramCount> FPrograms;
    std::atomic<std::int32_t> FCurrentProgram{0};

    // The event queue, FEventCount, FEventEnd and FNextDue belong to the processing thread.
    // The CC tables are written only by the processing thread (learning, and taking over
    // FPendingMapCommand); the editor's menu commands post a whole new map, so processing
    // never sees a half-rewritten map and never waits for the user-interface thread.
    std::array<TQueuedEvent, EventQueueSize> FQueue{};
    std::int32_t FEventCount = 0;
    /// Every slot from here on is free, so the scans stop here.
    std::int32_t FEventEnd = 0;
    std::int32_t FNextDue = NeverDue;
    std::array<std::atomic<std::int32_t>, MidiCcCount> FCcToParam;
    std::array<std::atomic<std::int32_t>, ParameterCount> FParamToCc;
    std::atomic<std::int32_t> FLearnParam{NoBinding};
    std::atomic<std::uint8_t> FPendingMapCommand{mcNone};
};
} // namespace orvo
