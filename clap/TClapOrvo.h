// TClapOrvo: one instance of the CLAP plug-in, the effect core behind CLAP's plug-in record
// and extensions. It translates CLAP's calls to the core and back: a block's parameter events
// to runs split at their frames, its MIDI to the core's queue at its frames, the core's MIDI
// thru and controller moves to output events, the state extension's streams to the core's
// blob, the factory programs to presets. Calls are checked against the threads CLAP assigns
// them (through the host's thread-check, where it has one): a call on the wrong thread does
// nothing and fails.
#pragma once

#include "clap/TClapEditQueue.h"
#include "clap/TClapEditor.h"
#include "clap/abi/DClapExtensions.h"
#include "clap/uClapPlatform.h"
#include "core/uOrvoEffect.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace orvo::clap
{
class TClapOrvo final : private IEffectOutput
{
  public:
    TClapOrvo(const clap_plugin_descriptor_t& descriptor, const clap_host_t& host,
              const TClapPlatform& platform);
    /// The editor goes first, if the host left it open.
    ~TClapOrvo();
    TClapOrvo(const TClapOrvo&) = delete;
    TClapOrvo& operator=(const TClapOrvo&) = delete;

    const clap_plugin_t* Record() const noexcept { return &FRecord; }

    // The record's operations, each on the thread CLAP gives it.
    bool Init() noexcept;
    bool Activate(double sampleRate, std::uint32_t maxFrames) noexcept;
    void Deactivate() noexcept;
    bool StartProcessing() noexcept;
    void StopProcessing() noexcept;
    void Reset() noexcept;
    clap_process_status Process(const clap_process_t& process) noexcept;
    const void* Extension(const char* id) const noexcept;

    // Parameters.
    bool ParameterValue(clap_id id, double& value) const noexcept;
    void Flush(const clap_input_events_t* in, const clap_output_events_t* out) noexcept;
    char DecimalSeparator() const noexcept { return FEffect.DecimalSeparator(); }

    // State: the core's blob, read whole before anything changes.
    bool SaveState(const clap_ostream_t& stream) const noexcept;
    bool LoadState(const clap_istream_t& stream) noexcept;
    /// A factory program by its load key ("0" .. "15").
    bool LoadPreset(const char* loadKey) noexcept;

    // The editor (main thread): embedded in a window of the host's (X11 or Win32), and
    // pumped by the host's timer.
    bool EditorSupported(const char* api, bool floating) const noexcept;
    /// The window API the editor embeds in.
    const char* EditorApi() const noexcept { return FPlatform.EditorApi; }
    bool CreateEditor(const char* api, bool floating) noexcept;
    void DestroyEditor() noexcept;
    bool SetEditorParent(const clap_window_t& window) noexcept;
    bool ShowEditor(bool visible) noexcept;
    void OnTimer(clap_id timer) noexcept;

    static TClapOrvo& Of(const clap_plugin_t* plugin) noexcept
    {
        return *static_cast<TClapOrvo*>(plugin->plugin_data);
    }

  private:
    void ParameterMovedByController(std::int32_t index, float value) noexcept override;
    void MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept override;

    bool OnMainThread() const noexcept;
    bool OnAudioThread() const noexcept;
    /// Hands a MIDI event to the core's queue at frame (of the part being processed); other
    /// events are passed over. False when the core's queue is full.
    bool QueueMidiEvent(const clap_event_header_t& event, std::int32_t frame) noexcept;
    /// After the values changed all at once (state, preset): the host reads them again.
    void ValuesReplaced() noexcept;
    /// Asks the host for a flush soon (the editor's edits wait in FEdits).
    void RequestFlush() noexcept;

    clap_plugin_t FRecord;
    const clap_host_t& FHost;
    const clap_host_thread_check_t* FThreadCheck = nullptr;
    const clap_host_params_t* FHostParams = nullptr;
    const clap_host_timer_support_t* FHostTimers = nullptr;
    TOrvoEffect FEffect;
    bool FActive = false;

    const TClapPlatform& FPlatform;
    TClapEditQueue FEdits;
    std::unique_ptr<TClapEditor> FEditor; // made at the first gui create, kept from then on
    bool FEditorCreated = false;          // between gui create and destroy
    clap_id FEditorTimer = CLAP_INVALID_ID;

    // While Process runs: where the core's notifications go, and the frame they leave at.
    const clap_output_events_t* FOut = nullptr;
    std::uint32_t FOutFrame = 0;
    std::uint32_t FPartStart = 0;
};
} // namespace orvo::clap
