#include "lv2/TLv2Orvo.h"

#include "core/uMidiMap.h"
#include "lv2/uLv2Atoms.h"
#include "lv2/uLv2Features.h"
#include "parameters/uParameterMapping.h"

#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace orvo::lv2
{
TLv2Orvo::TLv2Orvo(double sampleRate, const LV2_Feature* const* features,
                   const TPluginServices& services)
    : FEffect(services, this)
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
    FEffect.SetSampleRate(static_cast<float>(sampleRate));
    // The ports' defaults are program 0's values, which the effect has just selected.
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FApplied[static_cast<std::size_t>(i)] = PortValue(i, FEffect.Parameter(i));
    }
}

void TLv2Orvo::Connect(std::uint32_t port, void* data) noexcept
{
    if (const std::int32_t parameter = ParameterOfPort(port); parameter >= 0)
    {
        FControls[static_cast<std::size_t>(parameter)] = static_cast<const float*>(data);
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
    FEffect.Resume();
}

void TLv2Orvo::Deactivate() noexcept
{
    FEffect.Suspend();
}

bool TLv2Orvo::applyControls() noexcept
{
    bool changed = false;
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        const auto slot = static_cast<std::size_t>(i);
        const float* port = FControls[slot];
        if (port == nullptr || std::isnan(*port) || *port == FApplied[slot])
        {
            continue;
        }
        FApplied[slot] = *port;
        FEffect.SetParameter(i, NormalisedValue(i, *port));
        changed = true;
    }
    return changed;
}

void TLv2Orvo::queueMidi(std::uint32_t start, std::uint32_t count, bool last) noexcept
{
    if (FMap == nullptr || FMidiIn == nullptr)
    {
        return;
    }
    const std::int64_t end = static_cast<std::int64_t>(start) + count;
    FNextIn =
        VisitSequence(*FMidiIn, FNextIn,
                      [&](const LV2_Atom_Event& event, std::uint64_t)
                      {
                          if (!last && event.time.frames >= end)
                          {
                              return false;
                          }
                          if (event.body.type != FMidiEvent || event.body.size == 0)
                          {
                              return true;
                          }
                          const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event + 1);
                          const std::uint32_t length = ChannelMessageLength(bytes[0]);
                          if (length == 0 || event.body.size < length)
                          {
                              return true;
                          }
                          TMidiBytes message{};
                          std::copy_n(bytes, length, message.begin());
                          const std::int64_t frame =
                              std::clamp<std::int64_t>(event.time.frames, start, end - 1);
                          // A full queue drops the message, as a VST 2 host's full queue does.
                          FEffect.QueueMidi(static_cast<std::int32_t>(frame - start), message);
                          return true;
                      });
}

bool TLv2Orvo::forgeEventHead(std::int64_t frame, std::uint32_t size, std::uint32_t type) noexcept
{
    // The forge writes what fits and refuses the rest, which would leave a time stamp or a
    // header without its body: the whole event is measured first.
    const std::uint64_t needed = sizeof(LV2_Atom_Event) + PaddedAtomSize(size);
    if (FForge.size < FForge.offset || FForge.size - FForge.offset < needed)
    {
        return false;
    }
    return lv2_atom_forge_frame_time(&FForge, frame) != 0 &&
           lv2_atom_forge_atom(&FForge, size, type) != 0;
}

void TLv2Orvo::MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept
{
    if (!FForging)
    {
        return;
    }
    const std::uint32_t length = ChannelMessageLength(message[0]);
    const std::int64_t at = std::max<std::int64_t>(
        FLastOutFrame,
        static_cast<std::int64_t>(FCallStart) +
            std::clamp<std::int64_t>(frame, 0, static_cast<std::int64_t>(FCallFrames) - 1));
    // A full buffer drops the message.
    if (length == 0 || !forgeEventHead(at, length, FMidiEvent) ||
        lv2_atom_forge_write(&FForge, message.data(), length) == 0)
    {
        return;
    }
    FLastOutFrame = at;
}

void TLv2Orvo::ParameterMovedByController(std::int32_t /*index*/, float /*value*/) noexcept
{
    // A mapped controller changes the parameter inside the effect; LV2 input ports belong
    // to the host and are not written back.
}

void TLv2Orvo::handleCommands() noexcept
{
    if (FMap == nullptr || FMidiIn == nullptr)
    {
        return;
    }
    VisitSequence(*FMidiIn, 0,
                  [&](const LV2_Atom_Event& event, std::uint64_t)
                  {
                      const TMidiMenuMessage message = ReadCommand(FUrids, event.body);
                      switch (message.Command)
                      {
                      case mmLearn:
                          FEffect.StartMidiLearn(message.Parameter);
                          break;
                      case mmReset:
                          FEffect.ResetMidiMap();
                          break;
                      case mmRestoreDefault:
                          FEffect.RestoreDefaultMidiMap();
                          break;
                      case mmReport:
                          FReportPending = true;
                          break;
                      case mmSendControlValues:
                          FValuesPending = true;
                          break;
                      case mmNone:
                          break;
                      }
                      return true;
                  });
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
            ForgeMidiMapReply(FForge, FUrids, FEffect.MidiMap(), FEffect.MidiLearnParameter());
        }
    }
    if (FForging && (controlsChanged || FValuesPending) &&
        FForge.size - FForge.offset >= sizeof(LV2_Atom_Event) + ControlValuesSize &&
        lv2_atom_forge_frame_time(&FForge, 0) != 0)
    {
        // The UI follows values the host set without telling it (a preset, automation).
        ForgeControlValues(FForge, FUrids, FApplied);
        FValuesPending = false;
    }
    FLastOutFrame = 0;
    FNextIn = 0;

    for (std::uint32_t done = 0; done < frames;)
    {
        const std::uint32_t count = std::min(frames - done, MaxCallFrames);
        FCallStart = done;
        FCallFrames = count;
        queueMidi(done, count, done + count == frames);
        const float* inputs[2] = {FInputs[0] != nullptr ? FInputs[0] + done : nullptr,
                                  FInputs[1] != nullptr ? FInputs[1] + done : nullptr};
        float* outputs[2] = {FOutputs[0] != nullptr ? FOutputs[0] + done : nullptr,
                             FOutputs[1] != nullptr ? FOutputs[1] + done : nullptr};
        FEffect.Process(inputs, outputs, static_cast<std::int32_t>(count));
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
    const std::string text = FormatMidiMap(FEffect.MidiMap());
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
    FEffect.ReplaceMidiMap(ParseMidiMap(lines));
    return LV2_STATE_SUCCESS;
}
} // namespace orvo::lv2
