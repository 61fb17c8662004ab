// One LV2 instance of Orvo: the effect (core/uOrvoEffect.h) behind the plug-in's ports.
// Control ports become parameter changes when they change, the atom MIDI input is queued in
// the effect at its frames, and the thru messages the effect sends go to the atom MIDI
// output at their frames. The UI's MIDI menu commands arrive on the MIDI input too and act
// on the effect's map; a report request is answered on the MIDI output. Every atom the host
// wrote is checked against the size that encloses it before it is read, and an event is
// written only when the whole of it fits. run allocates nothing and takes no lock.
#pragma once

#include "core/uOrvoEffect.h"
#include "lv2/uLv2Messages.h"
#include "lv2/uLv2Ports.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>

namespace orvo::lv2
{
class TLv2Orvo final : private IEffectOutput
{
  public:
    /// Frames handed to the effect per processing call: the chain's work buffers hold this
    /// many frames, doubled while oversampling, from the first call on, so no later call
    /// grows them. Longer runs are cut into calls of this size (a multiple of the chain's
    /// 64-sample runs).
    static constexpr std::uint32_t MaxCallFrames = 256;

    TLv2Orvo(double sampleRate, const LV2_Feature* const* features,
             const TPluginServices& services);
    TLv2Orvo(const TLv2Orvo&) = delete;
    TLv2Orvo& operator=(const TLv2Orvo&) = delete;

    void Connect(std::uint32_t port, void* data) noexcept;
    void Activate() noexcept;
    void Deactivate() noexcept;
    void Run(std::uint32_t frames) noexcept;

    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    TOrvoEffect& Effect() noexcept { return FEffect; }

  private:
    void ParameterMovedByController(std::int32_t index, float value) noexcept override;
    void MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept override;
    /// Hands the effect the control ports that changed; true when any did.
    bool applyControls() noexcept;
    /// Queues the MIDI events of frames start..start+count-1 (the last call of a run also
    /// those stamped beyond it), going on from FNextIn.
    void queueMidi(std::uint32_t start, std::uint32_t count, bool last) noexcept;
    /// Carries out the UI's MIDI menu commands in the MIDI input, before its MIDI.
    void handleCommands() noexcept;
    /// Writes one event of size bytes at frame when the whole of it fits the output.
    bool forgeEventHead(std::int64_t frame, std::uint32_t size, std::uint32_t type) noexcept;

    TOrvoEffect FEffect;

    /// The control port of each parameter (null: none connected, or the parameter has no
    /// port), by parameter index.
    std::array<const float*, ParameterCount> FControls{};
    /// The port values last handed to the effect; a port is applied when it differs.
    std::array<float, ParameterCount> FApplied{};
    const float* FInputs[2] = {};
    float* FOutputs[2] = {};
    const LV2_Atom_Sequence* FMidiIn = nullptr;
    LV2_Atom_Sequence* FMidiOut = nullptr;

    // MIDI needs the host's URID map; without it (a host with no atom support) the MIDI
    // ports are ignored and the state extension answers "no feature".
    const LV2_URID_Map* FMap = nullptr;
    LV2_URID FMidiEvent = 0;
    LV2_URID FAtomString = 0;
    LV2_URID FMidiMapKey = 0;
    TMessageUrids FUrids;
    /// The UI asked for the MIDI map: the reply goes out at frame 0 of this run's output.
    bool FReportPending = false;
    /// The UI asked for the control values: they go out in this run's output.
    bool FValuesPending = false;
    LV2_Atom_Forge FForge{};
    LV2_Atom_Forge_Frame FOutFrame{};
    bool FForging = false;
    std::uint32_t FCallStart = 0;
    std::uint32_t FCallFrames = 0;
    std::int64_t FLastOutFrame = 0;
    /// Where queueMidi goes on in the input sequence (a byte offset into its body).
    std::uint64_t FNextIn = 0;
};
} // namespace orvo::lv2
