// A CLAP host of the tests' own. TClapModule loads a .clap file and calls its entry's init and
// deinit; TClapTestHost creates one plug-in through the module's factory and stands in as the
// host around it. The host answers thread-check, params, state, latency, gui, timer-support
// and posix-fd-support, and records what the plug-in asks of it, one word per call
// ("request_flush", "rescan 1", "register_timer 30", ...). Threads are roles: the calling
// thread is the main thread, except while Process (or an InRole call) runs, when it is the
// audio thread; a host call made in a role CLAP forbids for it is recorded as a violation.
#pragma once

#include "clap/abi/DClapExtensions.h"
#include "clap/abi/DClapPresetDiscovery.h"
#include "tests/support/ClapEventList.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvo::test
{
class TClapModule
{
  public:
    /// Loads the file and calls init with its path; throws std::runtime_error on a failure.
    explicit TClapModule(const std::string& path);
    ~TClapModule();
    TClapModule(const TClapModule&) = delete;
    TClapModule& operator=(const TClapModule&) = delete;

    const clap_plugin_entry_t& Entry() const { return *FEntry; }
    const clap_plugin_factory_t* PluginFactory() const;
    /// The preset-discovery factory under its final identifier.
    const clap_preset_discovery_factory_t* PresetFactory() const;

  private:
    void* FHandle = nullptr;
    const clap_plugin_entry_t* FEntry = nullptr;
};

enum TClapThreadRole : std::uint8_t
{
    trMain,
    trAudio,
};

class TClapTestHost
{
  public:
    /// Creates and initialises the plug-in with this id (the factory's first when empty);
    /// throws std::runtime_error when the factory refuses.
    explicit TClapTestHost(const TClapModule& module, const std::string& pluginId = "");
    /// Deactivates the plug-in if needed and destroys it.
    ~TClapTestHost();
    TClapTestHost(const TClapTestHost&) = delete;
    TClapTestHost& operator=(const TClapTestHost&) = delete;

    const clap_plugin_t* Plugin() const { return FPlugin; }
    /// The plug-in's extension record, or null.
    template <class T> const T* Extension(const char* id) const
    {
        return static_cast<const T*>(FPlugin->get_extension(FPlugin, id));
    }

    /// activate on the main thread, then start_processing on the audio thread.
    bool Activate(double sampleRate, std::uint32_t maxFrames);
    void Deactivate();

    /// One process() call in the audio role over separate input and output buffers (or the
    /// same ones when in place), frames frames, with these input events; the plug-in's
    /// output events are appended to Out().
    clap_process_status Process(const std::array<const float*, 2>& inputs,
                                const std::array<float*, 2>& outputs, std::uint32_t frames,
                                const TClapEventList& events);
    /// Renders a whole stereo signal in blocks of block frames; events carry frames relative
    /// to the signal's start and go to the block that holds them.
    std::array<std::vector<float>, 2> Render(const std::array<std::vector<float>, 2>& input,
                                             std::uint32_t block, const TClapEventList& events);
    TClapEventList& Out() { return FOut; }

    /// Runs a function in a role (for calling the plug-in as the audio thread would).
    void InRole(TClapThreadRole role, const std::function<void()>& call);

    /// What the plug-in asked, in order, and the calls it made in a forbidden role.
    const std::vector<std::string>& Requests() const { return FRequests; }
    const std::vector<std::string>& Violations() const { return FViolations; }
    void ClearRequests() { FRequests.clear(); }

    /// The main loop's work: on_main_thread if requested, every registered timer once, and
    /// on_fd for every registered descriptor that poll reports ready.
    void PumpMainThread();
    /// Registered timers (id to period in ms) and descriptors (fd to flags).
    const std::map<clap_id, std::uint32_t>& Timers() const { return FTimers; }
    const std::map<int, clap_posix_fd_flags_t>& Fds() const { return FFds; }

  private:
    static TClapTestHost& From(const clap_host_t* host);
    void Record(std::string request, bool mainOnly, bool notAudio = false);

    clap_host_t FHost;
    const clap_plugin_t* FPlugin = nullptr;
    bool FActive = false;
    TClapThreadRole FRole = trMain;
    bool FCallbackRequested = false;
    clap_id FNextTimer = 1;
    std::map<clap_id, std::uint32_t> FTimers;
    std::map<int, clap_posix_fd_flags_t> FFds;
    std::vector<std::string> FRequests;
    std::vector<std::string> FViolations;
    TClapEventList FOut;
};
} // namespace orvo::test
