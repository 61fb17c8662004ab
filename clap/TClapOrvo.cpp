#include "clap/TClapOrvo.h"

#include "clap/uClapParameters.h"
#include "clap/uClapPresets.h"
#include "editor/uEditorForm.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace orvo::clap
{
namespace
{
/// The longest state load reads: a real state is a few hundred bytes, and a stream that goes
/// on beyond this is refused without reading it to its end.
constexpr std::size_t StateLimit = 64 * 1024;

template <class TExtension>
const TExtension* HostExtension(const clap_host_t& host, const char* id) noexcept
{
    return host.get_extension != nullptr
               ? static_cast<const TExtension*>(host.get_extension(&host, id))
               : nullptr;
}

// ---- the plug-in's extension records, each forwarding to the instance
const clap_plugin_audio_ports_t AudioPorts = {
    [](const clap_plugin_t*, bool) -> std::uint32_t { return 1; },
    [](const clap_plugin_t*, std::uint32_t index, bool isInput, clap_audio_port_info_t* info)
    {
        if (index != 0 || info == nullptr)
        {
            return false;
        }
        *info = {};
        // One stereo port each way; the output may share the input's buffers.
        info->id = isInput ? 0 : 1;
        std::strcpy(info->name, isInput ? "Input" : "Output");
        info->flags = CLAP_AUDIO_PORT_IS_MAIN;
        info->channel_count = 2;
        info->port_type = CLAP_PORT_STEREO;
        info->in_place_pair = isInput ? 1 : 0;
        return true;
    }};

const clap_plugin_note_ports_t NotePorts = {
    [](const clap_plugin_t*, bool) -> std::uint32_t { return 1; },
    [](const clap_plugin_t*, std::uint32_t index, bool isInput, clap_note_port_info_t* info)
    {
        if (index != 0 || info == nullptr)
        {
            return false;
        }
        *info = {};
        // MIDI in: controllers drive parameters through the map; MIDI out: the thru.
        info->id = 0;
        info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
        info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
        std::strcpy(info->name, isInput ? "MIDI In" : "MIDI Thru");
        return true;
    }};

const clap_plugin_params_t Params = {
    [](const clap_plugin_t*) { return ClapParameterCount(); },
    [](const clap_plugin_t*, std::uint32_t position, clap_param_info_t* info)
    { return info != nullptr && DescribeParameter(position, *info); },
    [](const clap_plugin_t* plugin, clap_id id, double* value)
    { return value != nullptr && TClapOrvo::Of(plugin).ParameterValue(id, *value); },
    [](const clap_plugin_t* plugin, clap_id id, double value, char* text, std::uint32_t capacity)
    {
        const std::optional<std::int32_t> index = ParameterOfId(id);
        if (!index || text == nullptr || capacity == 0)
        {
            return false;
        }
        try
        {
            const std::string shown =
                ClapValueText(*index, value, TClapOrvo::Of(plugin).DecimalSeparator());
            const std::size_t count = std::min<std::size_t>(shown.size(), capacity - 1);
            std::memcpy(text, shown.data(), count);
            text[count] = '\0';
            return true;
        }
        catch (...)
        {
            return false;
        }
    },
    [](const clap_plugin_t*, clap_id id, const char* text, double* value)
    {
        const std::optional<std::int32_t> index = ParameterOfId(id);
        if (!index || text == nullptr || value == nullptr)
        {
            return false;
        }
        try
        {
            const std::optional<double> read = ClapValueOfText(*index, text);
            *value = read.value_or(*value);
            return read.has_value();
        }
        catch (...)
        {
            return false;
        }
    },
    [](const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out)
    { TClapOrvo::Of(plugin).Flush(in, out); }};

const clap_plugin_state_t State = {
    [](const clap_plugin_t* plugin, const clap_ostream_t* stream)
    { return stream != nullptr && TClapOrvo::Of(plugin).SaveState(*stream); },
    [](const clap_plugin_t* plugin, const clap_istream_t* stream)
    { return stream != nullptr && TClapOrvo::Of(plugin).LoadState(*stream); }};

/// The effect adds no delay.
const clap_plugin_latency_t Latency = {[](const clap_plugin_t*) -> std::uint32_t { return 0; }};

/// The editor's window, which does not resize.
constexpr auto EditorWidth = static_cast<std::uint32_t>(form::ClientWidth);
constexpr auto EditorHeight = static_cast<std::uint32_t>(form::ClientHeight);

/// The editor's refresh: the form's own timers and the values' display run from here.
constexpr std::uint32_t EditorTimerPeriodMs = 30;

const clap_plugin_gui_t Gui = {
    [](const clap_plugin_t* plugin, const char* api, bool floating)
    { return TClapOrvo::Of(plugin).EditorSupported(api, floating); },
    [](const clap_plugin_t* plugin, const char** api, bool* floating)
    {
        if (api == nullptr || floating == nullptr)
        {
            return false;
        }
        *api = TClapOrvo::Of(plugin).EditorApi();
        *floating = false;
        return true;
    },
    [](const clap_plugin_t* plugin, const char* api, bool floating)
    { return TClapOrvo::Of(plugin).CreateEditor(api, floating); },
    [](const clap_plugin_t* plugin) { TClapOrvo::Of(plugin).DestroyEditor(); },
    [](const clap_plugin_t*, double) { return false; }, // the editor keeps its own scale
    [](const clap_plugin_t*, std::uint32_t* width, std::uint32_t* height)
    {
        if (width == nullptr || height == nullptr)
        {
            return false;
        }
        *width = EditorWidth;
        *height = EditorHeight;
        return true;
    },
    [](const clap_plugin_t*) { return false; },
    [](const clap_plugin_t*, clap_gui_resize_hints_t* hints)
    {
        if (hints == nullptr)
        {
            return false;
        }
        *hints = {}; // neither way, no ratio
        return true;
    },
    [](const clap_plugin_t*, std::uint32_t*, std::uint32_t*) { return false; },
    [](const clap_plugin_t*, std::uint32_t width, std::uint32_t height)
    { return width == EditorWidth && height == EditorHeight; },
    [](const clap_plugin_t* plugin, const clap_window_t* window)
    { return window != nullptr && TClapOrvo::Of(plugin).SetEditorParent(*window); },
    [](const clap_plugin_t*, const clap_window_t*) { return false; },
    [](const clap_plugin_t*, const char*) {},
    [](const clap_plugin_t* plugin) { return TClapOrvo::Of(plugin).ShowEditor(true); },
    [](const clap_plugin_t* plugin) { return TClapOrvo::Of(plugin).ShowEditor(false); }};

const clap_plugin_timer_support_t TimerSupport = {[](const clap_plugin_t* plugin, clap_id timer)
                                                  { TClapOrvo::Of(plugin).OnTimer(timer); }};

const clap_plugin_preset_load_t PresetLoad = {
    [](const clap_plugin_t* plugin, std::uint32_t kind, const char*, const char* loadKey)
    {
        return kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && loadKey != nullptr &&
               TClapOrvo::Of(plugin).LoadPreset(loadKey);
    }};
} // namespace

TClapOrvo::TClapOrvo(const clap_plugin_descriptor_t& descriptor, const clap_host_t& host,
                     const TClapPlatform& platform)
    : FHost(host), FEffect(platform.Services, this), FPlatform(platform)
{
    FRecord = {
        &descriptor,
        this,
        [](const clap_plugin_t* plugin) { return Of(plugin).Init(); },
        [](const clap_plugin_t* plugin) { delete &Of(plugin); },
        [](const clap_plugin_t* plugin, double rate, std::uint32_t, std::uint32_t maxFrames)
        { return Of(plugin).Activate(rate, maxFrames); },
        [](const clap_plugin_t* plugin) { Of(plugin).Deactivate(); },
        [](const clap_plugin_t* plugin) { return Of(plugin).StartProcessing(); },
        [](const clap_plugin_t* plugin) { Of(plugin).StopProcessing(); },
        [](const clap_plugin_t* plugin) { Of(plugin).Reset(); },
        [](const clap_plugin_t* plugin, const clap_process_t* process)
        { return process != nullptr ? Of(plugin).Process(*process) : CLAP_PROCESS_ERROR; },
        [](const clap_plugin_t* plugin, const char* id) { return Of(plugin).Extension(id); },
        [](const clap_plugin_t*) {},
    };
}

TClapOrvo::~TClapOrvo()
{
    DestroyEditor();
}

bool TClapOrvo::Init() noexcept
{
    // The host's extensions may only be asked for from init on.
    FThreadCheck = HostExtension<clap_host_thread_check_t>(FHost, CLAP_EXT_THREAD_CHECK);
    FHostParams = HostExtension<clap_host_params_t>(FHost, CLAP_EXT_PARAMS);
    FHostTimers = HostExtension<clap_host_timer_support_t>(FHost, CLAP_EXT_TIMER_SUPPORT);
    return true;
}

bool TClapOrvo::OnMainThread() const noexcept
{
    return FThreadCheck == nullptr || FThreadCheck->is_main_thread(&FHost);
}

bool TClapOrvo::OnAudioThread() const noexcept
{
    return FThreadCheck == nullptr || FThreadCheck->is_audio_thread(&FHost);
}

bool TClapOrvo::Activate(double sampleRate, std::uint32_t /*maxFrames*/) noexcept
{
    if (!OnMainThread() || FActive || !(sampleRate > 0.0))
    {
        return false;
    }
    FEffect.SetSampleRate(static_cast<float>(sampleRate));
    FEffect.Resume();
    FActive = true;
    return true;
}

void TClapOrvo::Deactivate() noexcept
{
    if (OnMainThread() && FActive)
    {
        FEffect.Suspend();
        FActive = false;
    }
}

bool TClapOrvo::StartProcessing() noexcept
{
    return FActive && OnAudioThread();
}

void TClapOrvo::StopProcessing() noexcept
{
}

void TClapOrvo::Reset() noexcept
{
    // The filters' and envelopes' memories start from silence again, as after a resume.
    if (FActive && OnAudioThread())
    {
        FEffect.Suspend();
        FEffect.Resume();
    }
}

const void* TClapOrvo::Extension(const char* id) const noexcept
{
    if (id == nullptr)
    {
        return nullptr;
    }
    // The editor is offered to every host (a host may ask with a stand-in host record that
    // has no extensions while it scans plug-ins); it opens where the host has timers.
    if (FPlatform.MakeEditorPlatform != nullptr &&
        (std::strcmp(id, CLAP_EXT_GUI) == 0 || std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0))
    {
        return std::strcmp(id, CLAP_EXT_GUI) == 0 ? static_cast<const void*>(&Gui) : &TimerSupport;
    }
    const std::array<std::pair<const char*, const void*>, 6> extensions = {{
        {CLAP_EXT_AUDIO_PORTS, &AudioPorts},
        {CLAP_EXT_NOTE_PORTS, &NotePorts},
        {CLAP_EXT_PARAMS, &Params},
        {CLAP_EXT_STATE, &State},
        {CLAP_EXT_LATENCY, &Latency},
        {CLAP_EXT_PRESET_LOAD, &PresetLoad},
    }};
    for (const auto& [name, extension] : extensions)
    {
        if (std::strcmp(id, name) == 0)
        {
            return extension;
        }
    }
    return nullptr;
}

bool TClapOrvo::QueueMidiEvent(const clap_event_header_t& event, std::int32_t frame) noexcept
{
    if (event.space_id != CLAP_CORE_EVENT_SPACE_ID)
    {
        return true;
    }
    if (event.type == CLAP_EVENT_MIDI && event.size >= sizeof(clap_event_midi_t))
    {
        const auto& midi = reinterpret_cast<const clap_event_midi_t&>(event);
        return midi.port_index != 0 ||
               FEffect.QueueMidi(frame, {midi.data[0], midi.data[1], midi.data[2]});
    }
    return true;
}

clap_process_status TClapOrvo::Process(const clap_process_t& process) noexcept
{
    if (!FActive || !OnAudioThread())
    {
        return CLAP_PROCESS_ERROR;
    }
    // The main ports' channels; a mono port feeds (or takes) both channels, a missing one
    // gives the core no channel (silence in, nothing out).
    std::array<const float*, 2> inputs{};
    std::array<float*, 2> outputs{};
    if (process.audio_inputs_count > 0 && process.audio_inputs[0].data32 != nullptr &&
        process.audio_inputs[0].channel_count > 0)
    {
        const clap_audio_buffer_t& port = process.audio_inputs[0];
        inputs = {port.data32[0], port.data32[port.channel_count > 1 ? 1 : 0]};
    }
    if (process.audio_outputs_count > 0 && process.audio_outputs[0].data32 != nullptr &&
        process.audio_outputs[0].channel_count > 1)
    {
        outputs = {process.audio_outputs[0].data32[0], process.audio_outputs[0].data32[1]};
    }

    FOut = process.out_events;
    if (FOut != nullptr)
    {
        FEdits.DrainTo(*FOut);
    }
    FOutFrame = 0;
    FPartStart = 0;
    const std::uint32_t frames = process.frames_count;
    // Runs the core over frames [FPartStart, end), with the events queued so far.
    const auto processPart = [&](std::uint32_t end)
    {
        if (end <= FPartStart)
        {
            return;
        }
        const std::array<const float*, 2> in = {
            inputs[0] != nullptr ? inputs[0] + FPartStart : nullptr,
            inputs[1] != nullptr ? inputs[1] + FPartStart : nullptr};
        const std::array<float*, 2> out = {
            outputs[0] != nullptr ? outputs[0] + FPartStart : nullptr,
            outputs[1] != nullptr ? outputs[1] + FPartStart : nullptr};
        FEffect.Process(in.data(), out.data(), static_cast<std::int32_t>(end - FPartStart));
        FPartStart = end;
        FOutFrame = std::max(FOutFrame, end);
    };

    const clap_input_events_t* in = process.in_events;
    const std::uint32_t count = in != nullptr ? in->size(in) : 0;
    // An event beyond the block counts at its last frame; a frame before the part being
    // processed, at its start.
    const auto frameOf = [&](const clap_event_header_t& event)
    { return std::max(std::min(event.time, frames > 0 ? frames - 1 : 0U), FPartStart); };
    // MIDI waits (held) until the events' time moves on: a parameter change at the same frame
    // splits the block first, and the MIDI then goes to the part after it, as it would in the
    // next process call of a VST 2 host. A full queue is emptied by processing up to the
    // event that did not fit.
    std::uint32_t held = count; // the first MIDI event not queued yet; count: none
    std::uint32_t heldTime = 0;
    const auto queueHeld = [&](std::uint32_t end)
    {
        for (std::uint32_t j = held; j < end; ++j)
        {
            const clap_event_header_t* event = in->get(in, j);
            if (event == nullptr || event->size < sizeof(clap_event_header_t))
            {
                continue;
            }
            const std::uint32_t at = frameOf(*event);
            if (!QueueMidiEvent(*event, static_cast<std::int32_t>(at - FPartStart)))
            {
                processPart(at);
                QueueMidiEvent(*event, 0);
            }
        }
        held = count;
    };
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const clap_event_header_t* event = in->get(in, i);
        if (event == nullptr || event->size < sizeof(clap_event_header_t) ||
            event->space_id != CLAP_CORE_EVENT_SPACE_ID)
        {
            continue;
        }
        if (held != count && event->time > heldTime)
        {
            queueHeld(i);
        }
        // A parameter change splits the block at its frame, as a VST 2 host that sets a
        // parameter between two process calls does: the engine takes new values at the
        // start of a run, so the change lands exactly at its frame.
        if (event->type == CLAP_EVENT_PARAM_VALUE &&
            event->size >= sizeof(clap_event_param_value_t))
        {
            const auto& change = reinterpret_cast<const clap_event_param_value_t&>(*event);
            if (const std::optional<std::int32_t> index = ParameterOfId(change.param_id))
            {
                processPart(frameOf(*event));
                FEffect.SetParameter(*index, NormalisedValueOf(*index, change.value));
            }
        }
        else if (event->type == CLAP_EVENT_MIDI && held == count)
        {
            held = i;
            heldTime = event->time;
        }
    }
    queueHeld(count);
    processPart(frames);
    FOut = nullptr;
    return CLAP_PROCESS_CONTINUE;
}

void TClapOrvo::ParameterMovedByController(std::int32_t index, float value) noexcept
{
    // The host's view follows the controller; the event leaves with the latest frame any
    // output event had, which keeps the output list in time order.
    if (FOut == nullptr)
    {
        return;
    }
    clap_event_param_value_t event{};
    event.header = {sizeof(event), FOutFrame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = static_cast<clap_id>(index);
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = ClapValue(index, value);
    FOut->try_push(FOut, &event.header);
}

void TClapOrvo::MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept
{
    if (FOut == nullptr)
    {
        return;
    }
    FOutFrame = std::max(FOutFrame, FPartStart + static_cast<std::uint32_t>(std::max(frame, 0)));
    clap_event_midi_t event{};
    event.header = {sizeof(event), FOutFrame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
    event.port_index = 0;
    std::copy(message.begin(), message.end(), event.data);
    FOut->try_push(FOut, &event.header);
}

bool TClapOrvo::ParameterValue(clap_id id, double& value) const noexcept
{
    const std::optional<std::int32_t> index = ParameterOfId(id);
    if (!index)
    {
        return false;
    }
    value = ClapValue(*index, FEffect.Parameter(*index));
    return true;
}

void TClapOrvo::Flush(const clap_input_events_t* in, const clap_output_events_t* out) noexcept
{
    if (out != nullptr)
    {
        FEdits.DrainTo(*out);
    }
    // Outside processing: the values come into force before the engine's next run.
    const std::uint32_t count = in != nullptr ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const clap_event_header_t* event = in->get(in, i);
        if (event != nullptr && event->space_id == CLAP_CORE_EVENT_SPACE_ID &&
            event->type == CLAP_EVENT_PARAM_VALUE &&
            event->size >= sizeof(clap_event_param_value_t))
        {
            const auto& change = reinterpret_cast<const clap_event_param_value_t&>(*event);
            if (const std::optional<std::int32_t> index = ParameterOfId(change.param_id))
            {
                FEffect.SetParameter(*index, NormalisedValueOf(*index, change.value));
            }
        }
    }
}

bool TClapOrvo::SaveState(const clap_ostream_t& stream) const noexcept
{
    if (!OnMainThread())
    {
        return false;
    }
    try
    {
        const std::vector<std::uint8_t> bytes = FEffect.SaveState();
        // A stream may take fewer bytes than given: the rest is offered again.
        std::size_t written = 0;
        while (written < bytes.size())
        {
            const std::int64_t count =
                stream.write(&stream, bytes.data() + written, bytes.size() - written);
            if (count <= 0)
            {
                return false;
            }
            written += static_cast<std::size_t>(count);
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}

bool TClapOrvo::LoadState(const clap_istream_t& stream) noexcept
{
    if (!OnMainThread())
    {
        return false;
    }
    try
    {
        // A stream may give fewer bytes than asked: it is read to its end (a read of 0),
        // then the whole is decoded; an error, an empty stream or bytes that are no state
        // change nothing.
        std::vector<std::uint8_t> bytes;
        std::array<std::uint8_t, 512> chunk{};
        for (;;)
        {
            const std::int64_t count = stream.read(&stream, chunk.data(), chunk.size());
            if (count < 0 || static_cast<std::uint64_t>(count) > chunk.size())
            {
                return false;
            }
            if (count == 0)
            {
                break;
            }
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + count);
            if (bytes.size() > StateLimit)
            {
                return false;
            }
        }
        if (bytes.empty() || !FEffect.LoadState(bytes))
        {
            return false;
        }
        ValuesReplaced();
        return true;
    }
    catch (...)
    {
        return false;
    }
}

bool TClapOrvo::LoadPreset(const char* loadKey) noexcept
{
    const std::optional<std::int32_t> program = ProgramOfLoadKey(loadKey);
    if (!OnMainThread() || !program)
    {
        return false;
    }
    FEffect.SetProgram(*program);
    ValuesReplaced();
    return true;
}

void TClapOrvo::ValuesReplaced() noexcept
{
    if (FHostParams != nullptr)
    {
        FHostParams->rescan(&FHost, CLAP_PARAM_RESCAN_VALUES);
    }
}
bool TClapOrvo::EditorSupported(const char* api, bool floating) const noexcept
{
    return api != nullptr && std::strcmp(api, FPlatform.EditorApi) == 0 && !floating &&
           FPlatform.MakeEditorPlatform != nullptr;
}

bool TClapOrvo::CreateEditor(const char* api, bool floating) noexcept
{
    if (!OnMainThread() || !EditorSupported(api, floating) || FEditorCreated ||
        FHostTimers == nullptr)
    {
        return false;
    }
    try
    {
        // Made once and kept with the effect: it listens to the effect from then on.
        if (!FEditor)
        {
            FEditor = std::make_unique<TClapEditor>(FEffect, FEdits, [this] { RequestFlush(); });
        }
    }
    catch (...)
    {
        return false;
    }
    if (!FHostTimers->register_timer(&FHost, EditorTimerPeriodMs, &FEditorTimer))
    {
        FEditorTimer = CLAP_INVALID_ID;
    }
    FEditorCreated = true;
    return true;
}

void TClapOrvo::DestroyEditor() noexcept
{
    if (!OnMainThread() || !FEditorCreated)
    {
        return;
    }
    if (FEditorTimer != CLAP_INVALID_ID)
    {
        FHostTimers->unregister_timer(&FHost, FEditorTimer);
        FEditorTimer = CLAP_INVALID_ID;
    }
    try
    {
        FEditor->Close();
    }
    catch (...)
    {
    }
    FEditorCreated = false;
}

void TClapOrvo::RequestFlush() noexcept
{
    if (FHostParams != nullptr)
    {
        FHostParams->request_flush(&FHost);
    }
}

bool TClapOrvo::SetEditorParent(const clap_window_t& window) noexcept
{
    if (!OnMainThread() || !FEditorCreated || window.api == nullptr ||
        std::strcmp(window.api, FPlatform.EditorApi) != 0)
    {
        return false;
    }
    // An X11 window is a number, an HWND a pointer.
    const std::uintptr_t parent = std::strcmp(window.api, CLAP_WINDOW_API_X11) == 0
                                      ? static_cast<std::uintptr_t>(window.x11)
                                      : reinterpret_cast<std::uintptr_t>(window.win32);
    try
    {
        return FEditor->Open(FPlatform.MakeEditorPlatform(), parent);
    }
    catch (...)
    {
        return false;
    }
}

bool TClapOrvo::ShowEditor(bool visible) noexcept
{
    if (!OnMainThread() || !FEditorCreated || !FEditor->IsOpen())
    {
        return false;
    }
    FEditor->Show(visible);
    return true;
}

void TClapOrvo::OnTimer(clap_id timer) noexcept
{
    if (OnMainThread() && FEditorCreated && timer == FEditorTimer)
    {
        try
        {
            FEditor->Idle();
        }
        catch (...)
        {
        }
    }
}
} // namespace orvo::clap
