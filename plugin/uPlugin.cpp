// APlugin: construction and destruction, parameters and their texts, identity and pins.
#include "plugin/uPlugin.h"

#include "host/AEffEditor.h"
#include "host/uHostText.h"
#include "parameters/uParameterMapping.h"

#include <cstring>

namespace orvo
{
namespace
{
constexpr std::string_view EffectName = "Orvo";
constexpr std::string_view VendorName = "Quorvane";
constexpr std::string_view ProductName = "Orvo";
constexpr VstInt32 VendorVersion = 1;
constexpr VstInt32 UniqueId = fourCharCode('O', 'r', 'v', 'o');
constexpr std::size_t EffectNameCapacity = kVstMaxEffectNameLen + 1;
constexpr std::size_t VendorCapacity = kVstMaxVendorStrLen + 1;
constexpr std::size_t ProductCapacity = kVstMaxProductStrLen + 1;

/// The MIDI abilities the effect answers 1 for; every other text gets -1.
constexpr std::array<std::string_view, 4> CanDoTexts = {"receiveVstEvents", "receiveVstMidiEvent",
                                                        "sendVstEvents", "sendVstMidiEvent"};

static_assert(std::atomic<float>::is_always_lock_free);
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint8_t>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);
} // namespace

APlugin::APlugin(audioMasterCallback host, const TPluginServices& services,
                 TEditorFactory editorFactory)
    : AudioEffectX(host, ProgramCount, ParameterCount), FServices(services)
{
    FDecimalSeparator = FServices.Locale.DecimalSeparator();

    loadMidiMap();

    for (VstMidiEvent& slot : FMidiQueue)
    {
        slot.type = kVstMidiType;
        slot.deltaFrames = FreeSlot;
        slot.reserved1 = 99;
    }
    FThruEvent.type = kVstMidiType;
    FThruEvent.byteSize = 32;
    FThruEvent.deltaFrames = FreeSlot;
    FThruEvent.reserved1 = 99;
    FThruEvents.numEvents = 1;
    FThruEvents.reserved = 0;
    FThruEvents.events[0] = reinterpret_cast<VstEvent*>(&FThruEvent);

    // The host writes at most 64 characters and a zero, or nothing; the last byte stays 0
    // whatever it does.
    getHostVendorString(FHostVendor);
    getHostProductString(FHostProduct);
    FHostVendor[kVstMaxVendorStrLen] = '\0';
    FHostProduct[kVstMaxProductStrLen] = '\0';

    createPrograms();

    if (editorFactory != nullptr)
    {
        const TEditorParts parts = editorFactory(*this);
        setEditor(parts.Editor);
        FEditorListener = parts.Listener;
    }

    suspend();
    loadFactoryBank();

    hasVu(false);
    setNumInputs(2);
    setNumOutputs(2);
    canMono(true);
    canProcessReplacing(true);
    isSynth(false);
    setUniqueID(UniqueId);

    curProgram = 0;
    loadProgram(0);
}

APlugin::~APlugin()
{
    saveMidiMap();
    // The editor glue and its window reach back into this object (FEditorClosed, the
    // parameter values), so they go while every member still lives, not in the base
    // destructor after the members are gone.
    AEffEditor* glue = editor;
    FEditorListener = nullptr;
    setEditor(nullptr);
    delete glue;
}

void APlugin::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) noexcept
{
    setBlockSize(newBlockSize);
    setSampleRate(newSampleRate);
}

void APlugin::setParameter(VstInt32 index, float value) noexcept
{
    value = ClampedParameterValue(value);
    if (!IsParameterIndex(index))
    {
        return;
    }
    // The values in force are the current program's values (see setProgram), so this one
    // store edits the program as well; the engine applies it on the processing thread
    // between runs.
    FEngine.ApplyParameter(index, value);
    parameterStored();
}

void APlugin::parameterStored() noexcept
{
    if (FEditorListener != nullptr)
    {
        FEditorListener->parametersChanged();
    }
}

float APlugin::getParameter(VstInt32 index) noexcept
{
    return FEngine.Parameter(index);
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
        if (const auto display = DisplayText(index, getParameter(index), FDecimalSeparator))
        {
            copyHostText(text, *display, ParamTextCapacity);
        }
    }
    catch (...)
    {
        copyHostText(text, "", ParamTextCapacity);
    }
}

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

void APlugin::tellEditor() noexcept
{
    if (FEditorClosed.load(std::memory_order_relaxed) == 0 && FEditorListener != nullptr)
    {
        FEditorListener->parametersChanged();
    }
}
} // namespace orvo
