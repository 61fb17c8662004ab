// APlugin: the VST 2 record's operations handed to the effect, its identity and pins, its
// host's MIDI events queued at their frames and the effect's thru messages sent back.
#include "vst2/uPlugin.h"

#include "parameters/uParameterMapping.h"
#include "vst2/AEffEditor.h"
#include "vst2/uHostText.h"

#include <cstring>
#include <string>

#include "uOrvoVersion.h"

namespace orvo
{
namespace
{
constexpr std::string_view EffectName = "Orvo";
constexpr std::string_view VendorName = "Quorvane";
constexpr std::string_view ProductName = "Orvo";
// The major version alone: 1 for every 1.x, as the record's own version field says.
constexpr VstInt32 VendorVersion = OrvoVersionMajor;
constexpr VstInt32 UniqueId = fourCharCode('O', 'r', 'v', 'o');
constexpr std::size_t EffectNameCapacity = kVstMaxEffectNameLen + 1;
constexpr std::size_t VendorCapacity = kVstMaxVendorStrLen + 1;
constexpr std::size_t ProductCapacity = kVstMaxProductStrLen + 1;
/// Kept in reserved1 of the thru message.
constexpr char ThruMark = 99;

/// The MIDI abilities the effect answers 1 for; every other text gets -1.
constexpr std::array<std::string_view, 4> CanDoTexts = {"receiveVstEvents", "receiveVstMidiEvent",
                                                        "sendVstEvents", "sendVstMidiEvent"};
} // namespace

APlugin::APlugin(audioMasterCallback host, const TPluginServices& services,
                 TEditorFactory editorFactory)
    : AudioEffectX(host, ProgramCount, ParameterCount), FEffect(services, this)
{
    FThruEvent.type = kVstMidiType;
    FThruEvent.byteSize = 32;
    FThruEvent.deltaFrames = -99;
    FThruEvent.reserved1 = ThruMark;
    FThruEvents.numEvents = 1;
    FThruEvents.reserved = 0;
    FThruEvents.events[0] = reinterpret_cast<VstEvent*>(&FThruEvent);

    // The host writes at most 64 characters and a zero, or nothing; the last byte stays 0
    // whatever it does.
    getHostVendorString(FHostVendor);
    getHostProductString(FHostProduct);
    FHostVendor[kVstMaxVendorStrLen] = '\0';
    FHostProduct[kVstMaxProductStrLen] = '\0';

    if (editorFactory != nullptr)
    {
        const TEditorParts parts = editorFactory(*this);
        setEditor(parts.Editor);
        FEffect.SetParameterListener(parts.Listener);
    }

    hasVu(false);
    setNumInputs(2);
    setNumOutputs(2);
    canMono(true);
    canProcessReplacing(true);
    isSynth(false);
    setUniqueID(UniqueId);
    curProgram = FEffect.Program();
}

APlugin::~APlugin()
{
    // The editor glue and its window reach back into the effect (FEditorClosed, the
    // parameter values), so they go while the effect still lives, not in the base
    // destructor after the members are gone.
    AEffEditor* glue = editor;
    FEffect.SetParameterListener(nullptr);
    setEditor(nullptr);
    delete glue;
}

// --- Processing ---

void APlugin::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) noexcept
{
    setBlockSize(newBlockSize);
    setSampleRate(newSampleRate);
}

void APlugin::setSampleRate(float newSampleRate) noexcept
{
    FEffect.SetSampleRate(newSampleRate);
    AudioEffectX::setSampleRate(FEffect.SampleRate());
}

void APlugin::suspend() noexcept
{
    FEffect.Suspend();
}

void APlugin::resume() noexcept
{
    FEffect.Resume();
    wantEvents(1);
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    FEffect.Process(inputs, outputs, sampleFrames, false);
}

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    FEffect.Process(inputs, outputs, sampleFrames, true);
}

VstInt32 APlugin::processEvents(VstEvents* events) noexcept
{
    if (events == nullptr)
    {
        return 1;
    }
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType)
        {
            continue; // not MIDI: dropped
        }
        const auto& midi = *reinterpret_cast<const VstMidiEvent*>(event);
        FEffect.QueueMidi(midi.deltaFrames, {static_cast<std::uint8_t>(midi.midiData[0]),
                                             static_cast<std::uint8_t>(midi.midiData[1]),
                                             static_cast<std::uint8_t>(midi.midiData[2])});
    }
    return 1;
}

void APlugin::MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept
{
    FThruEvent.midiData[0] = static_cast<char>(message[0]);
    FThruEvent.midiData[1] = static_cast<char>(message[1]);
    FThruEvent.midiData[2] = static_cast<char>(message[2]);
    FThruEvent.deltaFrames = frame;
    sendVstEventsToHost(&FThruEvents);
}

void APlugin::ParameterMovedByController(std::int32_t index, float value) noexcept
{
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

// --- Parameters ---

void APlugin::setParameter(VstInt32 index, float value) noexcept
{
    FEffect.SetParameter(index, value);
}

float APlugin::getParameter(VstInt32 index) noexcept
{
    return FEffect.Parameter(index);
}

void APlugin::getParameterLabel(VstInt32 index, char* label) noexcept
{
    copyHostText(label,
                 IsParameterIndex(index) ? ParameterLabels[static_cast<std::size_t>(index)]
                                         : UndefinedText,
                 ParamTextCapacity);
}

void APlugin::getParameterName(VstInt32 index, char* text) noexcept
{
    copyHostText(text,
                 IsParameterIndex(index) ? ParameterNames[static_cast<std::size_t>(index)]
                                         : UndefinedText,
                 ParamTextCapacity);
}

void APlugin::getParameterDisplay(VstInt32 index, char* text) noexcept
{
    try
    {
        // The reserved parameter shows nothing: the buffer keeps what it held.
        if (const auto display = FEffect.ParameterDisplay(index))
        {
            copyHostText(text, *display, ParamTextCapacity);
        }
    }
    catch (...)
    {
        copyHostText(text, "", ParamTextCapacity);
    }
}

// --- Programs ---

void APlugin::setProgram(VstInt32 program) noexcept
{
    FEffect.SetProgram(program);
    curProgram = FEffect.Program();
}

void APlugin::setProgramName(char* name) noexcept
{
    if (name == nullptr)
    {
        return;
    }
    // Read no further than the 50 characters that are kept.
    FEffect.SetProgramName(std::string_view(name, strnlen(name, APluginProgram::MaxNameLength)));
}

void APlugin::getProgramName(char* name) noexcept
{
    getProgramNameIndexed(0, FEffect.Program(), name);
}

bool APlugin::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) noexcept
{
    if (!IsProgramIndex(index))
    {
        return false;
    }
    try
    {
        copyHostText(text, FEffect.ProgramName(index), ProgramNameCapacity);
    }
    catch (...)
    {
        copyHostText(text, "", ProgramNameCapacity);
    }
    return true;
}

// --- Identity and pins ---

float APlugin::getVu() noexcept
{
    return FVu.exchange(0.0f, std::memory_order_relaxed);
}

bool APlugin::getInputProperties(VstInt32 index, VstPinProperties* properties) noexcept
{
    if (properties == nullptr || index < 0 || index > 1)
    {
        return false;
    }
    const std::string_view labels[] = {"Input #1", "Input #2"};
    copyHostText(properties->label, labels[index], sizeof properties->label);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool APlugin::getOutputProperties(VstInt32 index, VstPinProperties* properties) noexcept
{
    if (properties == nullptr || index < 0 || index > 1)
    {
        return false;
    }
    const std::string_view labels[] = {"Output #1", "Output #2"};
    copyHostText(properties->label, labels[index], sizeof properties->label);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool APlugin::getEffectName(char* name) noexcept
{
    copyHostText(name, EffectName, EffectNameCapacity);
    return true;
}

bool APlugin::getVendorString(char* text) noexcept
{
    copyHostText(text, VendorName, VendorCapacity);
    return true;
}

bool APlugin::getProductString(char* text) noexcept
{
    copyHostText(text, ProductName, ProductCapacity);
    return true;
}

VstInt32 APlugin::getVendorVersion() noexcept
{
    return VendorVersion;
}

VstInt32 APlugin::canDo(char* text) noexcept
{
    if (text == nullptr)
    {
        return -1;
    }
    const std::string_view asked(text);
    for (const std::string_view known : CanDoTexts)
    {
        if (asked == known)
        {
            return 1;
        }
    }
    return -1;
}
} // namespace orvo
