#include "tests/support/ClapTestHost.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <poll.h>
#include <stdexcept>
#include <utility>

namespace orvo::test
{
TClapModule::TClapModule(const std::string& path)
{
    FHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (FHandle == nullptr)
    {
        throw std::runtime_error("cannot load " + path + ": " + dlerror());
    }
    FEntry = static_cast<const clap_plugin_entry_t*>(dlsym(FHandle, "clap_entry"));
    if (FEntry == nullptr || !clap_version_is_compatible(FEntry->clap_version) ||
        !FEntry->init(path.c_str()))
    {
        dlclose(FHandle);
        throw std::runtime_error(path + " has no clap_entry that initialises");
    }
}

TClapModule::~TClapModule()
{
    FEntry->deinit();
    dlclose(FHandle);
}

const clap_plugin_factory_t* TClapModule::PluginFactory() const
{
    return static_cast<const clap_plugin_factory_t*>(FEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
}

const clap_preset_discovery_factory_t* TClapModule::PresetFactory() const
{
    return static_cast<const clap_preset_discovery_factory_t*>(
        FEntry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID));
}

namespace
{
// The host's extension records: each function finds its host through host_data and records
// the call, with the role CLAP allows it in.
TClapTestHost& HostOf(const clap_host_t* host)
{
    return *static_cast<TClapTestHost*>(host->host_data);
}
} // namespace

TClapTestHost& TClapTestHost::From(const clap_host_t* host)
{
    return HostOf(host);
}

void TClapTestHost::Record(std::string request, bool mainOnly, bool notAudio)
{
    if ((mainOnly && FRole != trMain) || (notAudio && FRole == trAudio))
    {
        FViolations.push_back(request);
    }
    FRequests.push_back(std::move(request));
}

TClapTestHost::TClapTestHost(const TClapModule& module, const std::string& pluginId)
{
    static const clap_host_thread_check_t threadCheck = {
        [](const clap_host_t* host) { return From(host).FRole == trMain; },
        [](const clap_host_t* host) { return From(host).FRole == trAudio; }};
    static const clap_host_params_t params = {
        [](const clap_host_t* host, clap_param_rescan_flags flags)
        { From(host).Record("rescan " + std::to_string(flags), true); },
        [](const clap_host_t* host, clap_id id, clap_param_clear_flags flags)
        { From(host).Record("clear " + std::to_string(id) + " " + std::to_string(flags), true); },
        [](const clap_host_t* host) { From(host).Record("request_flush", false, true); }};
    static const clap_host_state_t state = {[](const clap_host_t* host)
                                            { From(host).Record("mark_dirty", true); }};
    static const clap_host_latency_t latency = {[](const clap_host_t* host)
                                                { From(host).Record("latency_changed", true); }};
    static const clap_host_gui_t gui = {
        [](const clap_host_t* host) { From(host).Record("resize_hints_changed", false, true); },
        [](const clap_host_t* host, std::uint32_t width, std::uint32_t height)
        {
            From(host).Record("request_resize " + std::to_string(width) + "x" +
                                  std::to_string(height),
                              false, true);
            return true;
        },
        [](const clap_host_t* host)
        {
            From(host).Record("request_show", false, true);
            return true;
        },
        [](const clap_host_t* host)
        {
            From(host).Record("request_hide", false, true);
            return true;
        },
        [](const clap_host_t* host, bool destroyed)
        { From(host).Record(destroyed ? "closed destroyed" : "closed", false, true); }};
    static const clap_host_timer_support_t timers = {
        [](const clap_host_t* host, std::uint32_t period, clap_id* id)
        {
            TClapTestHost& self = From(host);
            self.Record("register_timer " + std::to_string(period), true);
            *id = self.FNextTimer++;
            self.FTimers[*id] = period;
            return true;
        },
        [](const clap_host_t* host, clap_id id)
        {
            TClapTestHost& self = From(host);
            self.Record("unregister_timer", true);
            return self.FTimers.erase(id) == 1;
        }};
    static const clap_host_posix_fd_support_t fds = {
        [](const clap_host_t* host, int fd, clap_posix_fd_flags_t flags)
        {
            TClapTestHost& self = From(host);
            self.Record("register_fd", true);
            return self.FFds.emplace(fd, flags).second;
        },
        [](const clap_host_t* host, int fd, clap_posix_fd_flags_t flags)
        {
            TClapTestHost& self = From(host);
            self.Record("modify_fd", true);
            const auto found = self.FFds.find(fd);
            return found != self.FFds.end() && (found->second = flags, true);
        },
        [](const clap_host_t* host, int fd)
        {
            TClapTestHost& self = From(host);
            self.Record("unregister_fd", true);
            return self.FFds.erase(fd) == 1;
        }};

    FHost = {CLAP_VERSION,
             this,
             "Orvo Test Host",
             "Orvo",
             "",
             "1.0",
             [](const clap_host_t*, const char* id) -> const void*
             {
                 const std::pair<const char*, const void*> extensions[] = {
                     {CLAP_EXT_THREAD_CHECK, &threadCheck},
                     {CLAP_EXT_PARAMS, &params},
                     {CLAP_EXT_STATE, &state},
                     {CLAP_EXT_LATENCY, &latency},
                     {CLAP_EXT_GUI, &gui},
                     {CLAP_EXT_TIMER_SUPPORT, &timers},
                     {CLAP_EXT_POSIX_FD_SUPPORT, &fds}};
                 for (const auto& [name, extension] : extensions)
                 {
                     if (id != nullptr && std::strcmp(id, name) == 0)
                     {
                         return extension;
                     }
                 }
                 return nullptr;
             },
             [](const clap_host_t* host) { From(host).Record("request_restart", false); },
             [](const clap_host_t* host) { From(host).Record("request_process", false); },
             [](const clap_host_t* host)
             {
                 TClapTestHost& self = From(host);
                 self.Record("request_callback", false);
                 self.FCallbackRequested = true;
             }};

    const clap_plugin_factory_t* factory = module.PluginFactory();
    if (factory == nullptr || factory->get_plugin_count(factory) == 0)
    {
        throw std::runtime_error("the module has no plug-in factory with a plug-in");
    }
    const std::string id =
        pluginId.empty() ? std::string(factory->get_plugin_descriptor(factory, 0)->id) : pluginId;
    FPlugin = factory->create_plugin(factory, &FHost, id.c_str());
    if (FPlugin == nullptr)
    {
        throw std::runtime_error("the factory did not create " + id);
    }
    if (!FPlugin->init(FPlugin))
    {
        FPlugin->destroy(FPlugin);
        throw std::runtime_error(id + " did not initialise");
    }
}

TClapTestHost::~TClapTestHost()
{
    Deactivate();
    FPlugin->destroy(FPlugin);
}

bool TClapTestHost::Activate(double sampleRate, std::uint32_t maxFrames)
{
    if (!FPlugin->activate(FPlugin, sampleRate, 1, maxFrames))
    {
        return false;
    }
    FActive = true;
    bool started = false;
    InRole(trAudio, [&] { started = FPlugin->start_processing(FPlugin); });
    return started;
}

void TClapTestHost::Deactivate()
{
    if (FActive)
    {
        InRole(trAudio, [&] { FPlugin->stop_processing(FPlugin); });
        FPlugin->deactivate(FPlugin);
        FActive = false;
    }
}

void TClapTestHost::InRole(TClapThreadRole role, const std::function<void()>& call)
{
    const TClapThreadRole before = FRole;
    FRole = role;
    call();
    FRole = before;
}

clap_process_status TClapTestHost::Process(const std::array<const float*, 2>& inputs,
                                           const std::array<float*, 2>& outputs,
                                           std::uint32_t frames, const TClapEventList& events)
{
    // The plug-in reads its inputs through non-const pointers, as CLAP declares them.
    std::array<float*, 2> in = {const_cast<float*>(inputs[0]), const_cast<float*>(inputs[1])};
    std::array<float*, 2> out = outputs;
    const clap_audio_buffer_t input = {in.data(), nullptr, 2, 0, 0};
    clap_audio_buffer_t output = {out.data(), nullptr, 2, 0, 0};
    const clap_process_t process = {-1, frames, nullptr,        &input,       &output,
                                    1,  1,      events.Input(), FOut.Output()};
    clap_process_status status = CLAP_PROCESS_ERROR;
    InRole(trAudio, [&] { status = FPlugin->process(FPlugin, &process); });
    return status;
}

std::array<std::vector<float>, 2>
TClapTestHost::Render(const std::array<std::vector<float>, 2>& input, std::uint32_t block,
                      const TClapEventList& events)
{
    const auto frames = static_cast<std::uint32_t>(input[0].size());
    std::array<std::vector<float>, 2> output = {std::vector<float>(frames),
                                                std::vector<float>(frames)};
    std::size_t next = 0;
    TClapEventList blockEvents;
    for (std::uint32_t start = 0; start < frames; start += block)
    {
        const std::uint32_t count = std::min(block, frames - start);
        blockEvents.Clear();
        for (; next < events.Size() && events.At(next).time < start + count; ++next)
        {
            blockEvents.Add(events.At(next));
        }
        blockEvents.ShiftTimes(0, 0U - start);
        const std::size_t outBefore = FOut.Size();
        Process({input[0].data() + start, input[1].data() + start},
                {output[0].data() + start, output[1].data() + start}, count, blockEvents);
        FOut.ShiftTimes(outBefore, start);
    }
    return output;
}

void TClapTestHost::PumpMainThread()
{
    if (FCallbackRequested)
    {
        FCallbackRequested = false;
        FPlugin->on_main_thread(FPlugin);
    }
    const auto* timer = Extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const auto timers = FTimers;
    for (const auto& [id, period] : timers)
    {
        if (timer != nullptr)
        {
            timer->on_timer(FPlugin, id);
        }
    }
    const auto* fd = Extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    const auto fds = FFds;
    for (const auto& [descriptor, flags] : fds)
    {
        pollfd watched = {descriptor,
                          static_cast<short>((flags & CLAP_POSIX_FD_READ ? POLLIN : 0) |
                                             (flags & CLAP_POSIX_FD_WRITE ? POLLOUT : 0)),
                          0};
        if (fd != nullptr && poll(&watched, 1, 0) > 0)
        {
            const clap_posix_fd_flags_t ready =
                ((watched.revents & POLLIN) != 0 ? CLAP_POSIX_FD_READ : 0U) |
                ((watched.revents & POLLOUT) != 0 ? CLAP_POSIX_FD_WRITE : 0U) |
                ((watched.revents & (POLLERR | POLLHUP)) != 0 ? CLAP_POSIX_FD_ERROR : 0U);
            fd->on_fd(FPlugin, descriptor, ready);
        }
    }
}
} // namespace orvo::test
