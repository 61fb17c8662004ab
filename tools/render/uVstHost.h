// The VST 2 hosting layer of the render tool: loads a module by path, makes one effect
// instance through the exported entry, answers the effect's host calls, and drives the
// instance through its effect record only (rate, block size, programs, parameters, MIDI,
// processing). Works with any VST 2 effect, not only Orvo.
//
// Threads: an instance is driven from one thread. Host calls the effect makes on that
// thread are answered and recorded (MIDI it sends, automation it reports); calls from
// any other thread are answered but not recorded.
#pragma once

#include "vst2/DAEffect.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace orvo
{

class TModuleLibrary;

/// A module that cannot be loaded or is not a usable VST 2 effect; the message is meant
/// for the user as it stands.
class EVstHost : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

/// A MIDI channel message at a sample frame. For input, Frame counts from the start of
/// the stretch handed to TVstPlugin::Process; for what the effect sends back, from the
/// last Start.
struct TMidiMessage
{
    std::int64_t Frame = 0;
    std::array<std::uint8_t, 3> Bytes{};
};

/// A parameter change the effect reported through audioMasterAutomate.
struct TAutomation
{
    std::int64_t Frame = 0;
    std::int32_t Index = 0;
    float Value = 0.0f;
};

/// One call of an edit gesture, in the order the effect made them: beginEdit ('b'), an
/// automation ('a') or endEdit ('e') of a parameter.
struct TTouch
{
    char Kind = 'a';
    std::int32_t Index = 0;

    friend bool operator==(const TTouch&, const TTouch&) = default;
};

/// What the host answers to audioMasterGetCurrentProcessLevel while processing.
enum TProcessLevel : std::int32_t
{
    plRealtime = 2,
    plOffline = 4,
};

class TVstPlugin
{
  public:
    /// Loads the module and creates one instance; throws EVstHost with a plain-words
    /// reason when the file is missing, not a loadable module or not a VST 2 effect.
    static std::unique_ptr<TVstPlugin> Load(const std::filesystem::path& path);
    ~TVstPlugin();

    TVstPlugin(const TVstPlugin&) = delete;
    TVstPlugin& operator=(const TVstPlugin&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return FPath; }
    [[nodiscard]] AEffect& Effect() noexcept { return *FEffect; }
    [[nodiscard]] std::int32_t NumParameters() const noexcept { return FEffect->numParams; }
    [[nodiscard]] std::int32_t NumPrograms() const noexcept { return FEffect->numPrograms; }
    [[nodiscard]] std::int32_t NumInputs() const noexcept { return FEffect->numInputs; }
    [[nodiscard]] std::int32_t NumOutputs() const noexcept { return FEffect->numOutputs; }
    [[nodiscard]] std::int32_t UniqueId() const noexcept { return FEffect->uniqueID; }

    /// The effect's name, or the module's file name when it does not give one.
    [[nodiscard]] std::string EffectName();
    [[nodiscard]] std::string VendorName();

    [[nodiscard]] std::string ParameterName(std::int32_t index);
    [[nodiscard]] std::string ParameterLabel(std::int32_t index);
    [[nodiscard]] std::string ParameterDisplay(std::int32_t index);
    /// Index of the parameter with this name (letter case ignored), or -1.
    [[nodiscard]] std::int32_t FindParameter(std::string_view name);
    [[nodiscard]] float Parameter(std::int32_t index) noexcept;
    void SetParameter(std::int32_t index, float value) noexcept;

    [[nodiscard]] std::int32_t Program() noexcept;
    void SetProgram(std::int32_t program) noexcept;
    [[nodiscard]] std::string ProgramName();
    /// The name of any program; read by switching programs when the effect does not
    /// answer effGetProgramNameIndexed (the current program is restored).
    [[nodiscard]] std::string ProgramNameIndexed(std::int32_t program);

    /// The effect's answer to effCanDo: 1 yes, -1 no, 0 don't know.
    [[nodiscard]] VstIntPtr CanDo(const char* text) noexcept;
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) noexcept;

    /// Sets the rate and the largest block, then switches the effect on (resume, start
    /// process). Process may then be called; Stop switches it off again.
    void Start(double sampleRate, std::int32_t maxBlockSize, TProcessLevel level = plOffline);
    void Stop() noexcept;

    /// Processes frames of stereo audio. Longer stretches are cut into blocks of at most
    /// the largest block size; each block first gets the events that fall into it
    /// (effProcessEvents, offsets relative to the block), then one processReplacing (or
    /// an accumulating process into cleared outputs). events must be sorted by Frame and
    /// lie within 0..frames-1. The effect's own channel count is adapted: a mono input
    /// gets the mean of both channels, a mono output goes to both, extra inputs get
    /// silence. Allocates nothing unless a block holds more events than any before.
    void Process(const float* const inputs[2], float* const outputs[2], std::int64_t frames,
                 std::span<const TMidiMessage> events = {});
    /// Frames processed since Start.
    [[nodiscard]] std::int64_t Position() const noexcept { return FPosition; }

    /// Whether the effect asked for MIDI (audioMasterWantMidi).
    [[nodiscard]] bool WantsMidi() const noexcept { return FWantsMidi; }
    [[nodiscard]] const std::vector<TMidiMessage>& MidiReceived() const noexcept
    {
        return FMidiReceived;
    }
    [[nodiscard]] const std::vector<TAutomation>& Automations() const noexcept
    {
        return FAutomations;
    }
    /// beginEdit, automation and endEdit calls on the host's own thread, in order.
    [[nodiscard]] const std::vector<TTouch>& Touches() const noexcept { return FTouches; }
    void ClearReceived() noexcept;

  private:
    TVstPlugin() = default;
    static VstIntPtr VSTCALL HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) noexcept;
    void ReceiveEvents(const VstEvents* events) noexcept;
    void SendEvents(std::span<const TMidiMessage> events, std::int64_t blockStart);
    void ProcessBlock(const float* const inputs[2], float* const outputs[2], std::int64_t offset,
                      std::int32_t frames);
    std::string TextOpcode(VstInt32 opcode, VstInt32 index);

    std::unique_ptr<TModuleLibrary> FLibrary; // declared first: unloaded last
    AEffect* FEffect = nullptr;
    std::filesystem::path FPath;
    std::string FDirectory;
    std::thread::id FOwner = std::this_thread::get_id();

    double FSampleRate = 44100.0;
    std::int32_t FMaxBlock = 1024;
    TProcessLevel FProcessLevel = plOffline;
    bool FStarted = false;
    bool FWantsMidi = false;
    std::int64_t FPosition = 0;

    std::vector<std::vector<float>> FInputBuffers, FOutputBuffers;
    std::vector<float*> FInputPointers, FOutputPointers;
    std::vector<VstMidiEvent> FEventStore;
    std::vector<VstIntPtr> FEventList; // a VstEvents record with room for every event

    std::vector<TMidiMessage> FMidiReceived;
    std::vector<TAutomation> FAutomations;
    std::vector<TTouch> FTouches;
};

} // namespace orvo
