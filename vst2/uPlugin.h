// APlugin: the effect as a VST 2 host sees it. A thin adapter: the record's operations are
// handed to the format-neutral effect (core/uOrvoEffect.h), host events are queued in it at
// their frames, and what the effect tells its host (MIDI thru, a parameter a controller
// moved) goes out through the host callback. The identity and the pins are VST 2's own.
#pragma once

#include "core/uOrvoEffect.h"
#include "core/uPluginServices.h"
#include "vst2/DAudioEffectX.h"

#include <cstdint>

namespace orvo
{
class AEffEditor;
class APlugin;

/// The editor object a factory made for an effect: the framework's view of it (installed
/// with setEditor, which hands over ownership) and the parameter listener (the same object).
struct TEditorParts
{
    AEffEditor* Editor = nullptr;
    TParameterListener* Listener = nullptr;
};

/// Makes the editor object for an effect under construction; null makes an effect without
/// editor.
using TEditorFactory = TEditorParts (*)(APlugin& effect);

class APlugin : public AudioEffectX, private IEffectOutput
{
    /// The effect itself. The first member, so that it is built before every other part of
    /// the adapter (the base class, which fills the record, necessarily comes first) and
    /// freed after them.
    TOrvoEffect FEffect;

  public:
    static constexpr std::int32_t MidiQueueSize = TOrvoEffect::EventQueueSize;
    /// Parameter names, labels and display texts reach 21 characters ("Reserved for
    /// Quorvane"), above the published 8; hosts give these opcodes buffers of 64 bytes or
    /// more, and 25 bytes keep every text of this effect whole. Program names are cut to the
    /// published 24 characters, since hosts size program-name buffers to exactly that.
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

    /// The format-neutral effect: its MIDI menu, map and state, for the editor glue.
    TOrvoEffect& effect() noexcept { return FEffect; }

    /// The texts the host gave for getHostVendorString / getHostProductString at creation.
    const char* hostVendor() const noexcept { return FHostVendor; }
    const char* hostProduct() const noexcept { return FHostProduct; }

  private:
    void ParameterMovedByController(std::int32_t index, float value) noexcept override;
    void MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept override;

    char FHostVendor[kVstMaxVendorStrLen + 1] = {};
    char FHostProduct[kVstMaxProductStrLen + 1] = {};
    std::atomic<float> FVu{0.0f};
    /// The one thru message handed to the host, and its list.
    VstMidiEvent FThruEvent{};
    VstEvents FThruEvents{};
};
} // namespace orvo
