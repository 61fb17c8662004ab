#include "lv2/TLv2Orvo.h"

#include "host/uHostText.h"
#include "lv2/uLv2Features.h"
#include "plugin/uMidiMap.h"
#include "parameters/uParameterMapping.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <string>
#include <vector>

namespace orvo::lv2
{
namespace
{
static_assert(offsetof(VstEvents, events) == 2 * sizeof(VstIntPtr),
              "the event list record lays out like VstEvents");

/// What the effect is told about its host.
constexpr std::string_view HostVendor = "Quorvane";
constexpr std::string_view HostProduct = "Orvo LV2";
constexpr VstIntPtr HostVstVersion = 2400;

/// Bytes of a channel message with this status, 0 for anything else.
std::uint32_t ChannelMessageLength(std::uint8_t status) noexcept
{
    if (status < 0x80 || status >= 0xF0)
    {
        return 0;
    }
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}
} // namespace

TLv2Orvo::TLv2Orvo(double sampleRate, const LV2_Feature* const* features,
                   const TPluginServices& services)
{
    FMap = FeatureData<LV2_URID_Map>(features, LV2_URID__map);
    if (FMap != nullptr)
    {
        FMidiEvent = FMap->map(FMap->handle, LV2_MIDI__MidiEvent);
        FAtomString = FMap->map(FMap->handle, LV2_ATOM__String);
        FMidiMapKey = FMap->map(FMap->handle, std::string(MidiMapStateUri).c_str());
        FUrids = TMessageUrids(*FMap);
        lv2_atom_forge_init(&FForge, const_cast<LV2_URID_Map*>(FMap));
    }
    static_assert(offsetof(decltype(FEventList), events) == offsetof(VstEvents, events));
    for (std::size_t i = 0; i < FEvents.size(); ++i)
    {
        FEventList.events[i] = reinterpret_cast<VstEvent*>(&FEvents[i]);
    }

    // No editor object: the LV2 UI talks to this instance through its ports only.
    FPlugin = new APlugin(&HostCallback, services, nullptr);
    FEffect = FPlugin->getAeffect();
    FEffect->user = this;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(effSetBlockSize, 0, MaxCallFrames);
    // The ports' defaults are program 0's values, which the effect has just selected.
    for (std::uint32_t i = 0; i < ControlPortCount; ++i)
    {
        FApplied[i] = PortValue(static_cast<std::int32_t>(i),
                                FEffect->getParameter(FEffect, static_cast<VstInt32>(i)));
    }
}

TLv2Orvo::~TLv2Orvo()
{
    Dispatch(effClose); // the effect deletes itself
}

VstIntPtr TLv2Orvo::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) noexcept
{
    return FEffect->dispatcher(FEffect, opcode, index, value, ptr, opt);
}

VstIntPtr VSTCALL TLv2Orvo::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 /*index*/,
                                         VstIntPtr /*value*/, void* ptr, float /*opt*/)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return HostVstVersion;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetVendorString:
        copyHostText(static_cast<char*>(ptr), HostVendor, kVstMaxVendorStrLen + 1);
        return 1;
    case audioMasterGetProductString:
        copyHostText(static_cast<char*>(ptr), HostProduct, kVstMaxProductStrLen + 1);
        return 1;
    case audioMasterProcessEvents:
        // Only during run: the instance is set as the record's user before any processing.
        if (effect != nullptr && effect->user != nullptr && ptr != nullptr)
        {
            static_cast<TLv2Orvo*>(effect->user)->writeThru(*static_cast<const VstEvents*>(ptr));
            return 1;
        }
        return 0;
    default:
        // audioMasterAutomate among them: a mapped controller changes the parameter inside
        // the effect; LV2 input ports belong to the host and are not written back.
        return 0;
    }
}

void TLv2Orvo::Connect(std::uint32_t port, void* data) noexcept
{
    if (port < ControlPortCount)
    {
        FControls[port] = static_cast<const float*>(data);
        return;
    }
    switch (port)
    {
    case AudioInLeft:
    case AudioInRight:
        FInputs[port - AudioInLeft] = static_cast<const float*>(data);
        break;
    case AudioOutLeft:
    case AudioOutRight:
        FOutputs[port - AudioOutLeft] = static_cast<float*>(data);
        break;
    case MidiIn:
        FMidiIn = static_cast<const LV2_Atom_Sequence*>(data);
        break;
    case MidiOut:
        FMidiOut = static_cast<LV2_Atom_Sequence*>(data);
        break;
    default:
        break;
    }
}

void TLv2Orvo::Activate() noexcept
{
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effStartProcess);
}

void TLv2Orvo::Deactivate() noexcept
{
    Dispatch(effStopProcess);
    Dispatch(effMainsChanged, 0, 0);
}

bool TLv2Orvo::applyControls() noexcept
{
    bool changed = false;
    for (std::uint32_t i = 0; i < ControlPortCount; ++i)
    {
        const float* port = FControls[i];
        if (port == nullptr || std::isnan(*port) || *port == FApplied[i])
        {
            continue;
        }
        FApplied[i] = *port;
        FEffect->setParameter(FEffect, static_cast<VstInt32>(i),
                              NormalisedValue(static_cast<std::int32_t>(i), *port));
        changed = true;
    }
    return changed;
}

void TLv2Orvo::queueMidi(std::uint32_t start, std::uint32_t count, bool last) noexcept
{
    VstInt32 queued = 0;
    const std::int64_t end = static_cast<std::int64_t>(start) + count;
    for (; FNextIn != nullptr &&
           !lv2_atom_sequence_is_end(&FMidiIn->body, FMidiIn->atom.size, FNextIn);
         FNextIn = lv2_atom_sequence_next(FNextIn))
    {
        const LV2_Atom_Event* event = FNextIn;
        if (!last && event->time.frames >= end)
        {
            break;
        }
        if (event->body.type != FMidiEvent || event->body.size == 0 ||
            queued == static_cast<VstInt32>(FEvents.size()))
        {
            continue;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
        const std::uint32_t length = ChannelMessageLength(bytes[0]);
        if (length == 0 || event->body.size < length)
        {
            continue;
        }
        VstMidiEvent& slot = FEvents[static_cast<std::size_t>(queued++)];
        slot = VstMidiEvent{};
        slot.type = kVstMidiType;
        slot.byteSize = sizeof(VstMidiEvent);
        const std::int64_t frame = std::clamp<std::int64_t>(event->time.frames, start, end - 1);
        slot.deltaFrames = static_cast<VstInt32>(frame - start);
        for (std::uint32_t b = 0; b < length; ++b)
        {
            slot.midiData[b] = static_cast<char>(bytes[b]);
        }
    }
    if (queued > 0)
    {
        FEventList.numEvents = queued;
        Dispatch(effProcessEvents, 0, 0, &FEventList);
    }
}

void TLv2Orvo::writeThru(const VstEvents& events) noexcept
{
    if (!FForging)
    {
        return;
    }
    for (VstInt32 i = 0; i < events.numEvents; ++i)
    {
        const VstEvent* event = events.events[i];
        if (event == nullptr || event->type != kVstMidiType)
        {
            continue;
        }
        const auto& midi = *reinterpret_cast<const VstMidiEvent*>(event);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(midi.midiData);
        const std::uint32_t length = ChannelMessageLength(bytes[0]);
        if (length == 0)
        {
            continue;
        }
        const std::int64_t frame = std::max<std::int64_t>(
            FLastOutFrame, static_cast<std::int64_t>(FCallStart) +
                               std::clamp<std::int64_t>(midi.deltaFrames, 0, FCallFrames - 1));
        // A full buffer drops the message; the forge refuses what does not fit.
        if (lv2_atom_forge_frame_time(&FForge, frame) == 0 ||
            lv2_atom_forge_atom(&FForge, length, FMidiEvent) == 0 ||
            lv2_atom_forge_write(&FForge, bytes, length) == 0)
        {
            continue;
        }
        FLastOutFrame = frame;
    }
}

void TLv2Orvo::handleCommands() noexcept
{
    if (FMap == nullptr || FMidiIn == nullptr)
    {
        return;
    }
    LV2_ATOM_SEQUENCE_FOREACH(FMidiIn, event)
    {
        const TMidiMenuMessage message = ReadCommand(FUrids, event->body);
        switch (message.Command)
        {
        case mmLearn:
            FPlugin->startMidiLearn(message.Parameter);
            break;
        case mmReset:
            FPlugin->resetMidiMap();
            break;
        case mmRestoreDefault:
            FPlugin->restoreDefaultMidiMap();
            break;
        case mmReport:
            FReportPending = true;
            break;
        case mmNone:
            break;
        }
    }
}

void TLv2Orvo::Run(std::uint32_t frames) noexcept
{
    const bool controlsChanged = applyControls();
    handleCommands();

    FForging = false;
    if (FMap != nullptr && FMidiOut != nullptr)
    {
        const std::uint32_t capacity = FMidiOut->atom.size;
        lv2_atom_forge_set_buffer(&FForge, reinterpret_cast<std::uint8_t*>(FMidiOut), capacity);
        FForging = lv2_atom_forge_sequence_head(&FForge, &FOutFrame, 0) != 0;
    }
    if (FForging && FReportPending)
    {
        // Ahead of the thru messages, so the sequence stays in time order. A reply that
        // does not fit the host's buffer is dropped (the next request tries again).
        FReportPending = false;
        if (FForge.size - FForge.offset >= sizeof(LV2_Atom_Event) + MidiMapReplySize &&
            lv2_atom_forge_frame_time(&FForge, 0) != 0)
        {
            ForgeMidiMapReply(FForge, FUrids, FPlugin->midiMap(), FPlugin->midiLearnParameter());
        }
    }
    if (FForging && controlsChanged &&
        FForge.size - FForge.offset >= sizeof(LV2_Atom_Event) + ControlValuesSize &&
        lv2_atom_forge_frame_time(&FForge, 0) != 0)
    {
        // The UI follows values the host set without telling it (a preset, automation).
        ForgeControlValues(FForge, FUrids, FApplied);
    }
    FLastOutFrame = 0;
    FNextIn =
        FMap != nullptr && FMidiIn != nullptr ? lv2_atom_sequence_begin(&FMidiIn->body) : nullptr;

    for (std::uint32_t done = 0; done < frames;)
    {
        const std::uint32_t count = std::min(frames - done, MaxCallFrames);
        FCallStart = done;
        FCallFrames = count;
        queueMidi(done, count, done + count == frames);
        if (FInputs[0] != nullptr && FInputs[1] != nullptr && FOutputs[0] != nullptr &&
            FOutputs[1] != nullptr)
        {
            float* inputs[2] = {const_cast<float*>(FInputs[0] + done),
                                const_cast<float*>(FInputs[1] + done)};
            float* outputs[2] = {FOutputs[0] + done, FOutputs[1] + done};
            FEffect->processReplacing(FEffect, inputs, outputs, static_cast<VstInt32>(count));
        }
        done += count;
    }

    if (FForging)
    {
        lv2_atom_forge_pop(&FForge, &FOutFrame);
        FForging = false;
    }
}

LV2_State_Status TLv2Orvo::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (FMap == nullptr)
    {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    const std::string text = FormatMidiMap(FPlugin->midiMap());
    return store(handle, FMidiMapKey, text.c_str(), text.size() + 1, FAtomString,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status TLv2Orvo::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (FMap == nullptr)
    {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* data = retrieve(handle, FMidiMapKey, &size, &type, &flags);
    if (data == nullptr)
    {
        return LV2_STATE_SUCCESS; // a session from before any binding was saved: keep the file's
    }
    if (type != FAtomString)
    {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    const std::string_view text(static_cast<const char*>(data),
                                strnlen(static_cast<const char*>(data), size));
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();)
    {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos)
        {
            to = text.size();
        }
        std::string line(text.substr(from, to - from));
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        from = to + 1;
    }
    FPlugin->replaceMidiMap(ParseMidiMap(lines));
    return LV2_STATE_SUCCESS;
}
} // namespace orvo::lv2
