// The LV2 DSP binary's entry: lv2_descriptor, the instance callbacks and the state
// extension, and the composition root that gives each instance the platform's services
// (the map file beside the binary is read, never written).
#include "lv2/TLv2Orvo.h"
#include "lv2/TReadOnlyFileSystem.h"
#include "platform/posix/TEmbeddedResources.h"
#include "platform/posix/TPosixFileSystem.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/posix/TPosixMessageBox.h"
#include "platform/posix/TPosixModuleFile.h"

#include <cstring>
#include <new>
#include <string>

namespace orvo::lv2
{
namespace
{
const TPluginServices& PlatformServices()
{
    static const TPosixModuleFile moduleFile;
    static const TEmbeddedResources resources;
    static const TPosixFileSystem fileSystem;
    static const TReadOnlyFileSystem readOnly(fileSystem);
    static const TPosixLocale locale;
    static const TPosixMessageBox messageBox;
    static const TPluginServices services{moduleFile, resources, readOnly, locale, messageBox};
    return services;
}

TLv2Orvo& Instance(LV2_Handle handle)
{
    return *static_cast<TLv2Orvo*>(handle);
}

LV2_Handle Instantiate(const LV2_Descriptor* /*descriptor*/, double rate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features)
{
    try
    {
        return new TLv2Orvo(rate, features, PlatformServices());
    }
    catch (...)
    {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle instance, std::uint32_t port, void* data)
{
    Instance(instance).Connect(port, data);
}

void Activate(LV2_Handle instance)
{
    Instance(instance).Activate();
}

void Run(LV2_Handle instance, std::uint32_t frames)
{
    Instance(instance).Run(frames);
}

void Deactivate(LV2_Handle instance)
{
    Instance(instance).Deactivate();
}

void Cleanup(LV2_Handle instance)
{
    delete &Instance(instance);
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      std::uint32_t /*flags*/, const LV2_Feature* const* /*features*/)
{
    try
    {
        return Instance(instance).Save(store, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, std::uint32_t /*flags*/,
                         const LV2_Feature* const* /*features*/)
{
    try
    {
        return Instance(instance).Restore(retrieve, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const LV2_State_Interface StateInterface{Save, Restore};

const void* ExtensionData(const char* uri)
{
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &StateInterface : nullptr;
}

const std::string& UriText()
{
    static const std::string uri(PluginUri);
    return uri;
}

const LV2_Descriptor& Descriptor()
{
    static const LV2_Descriptor descriptor{UriText().c_str(), Instantiate,  ConnectPort,
                                           Activate,          Run,          Deactivate,
                                           Cleanup,           ExtensionData};
    return descriptor;
}
} // namespace
} // namespace orvo::lv2

// LV2_SYMBOL_EXPORT gives C linkage and default visibility.
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index)
{
    return index == 0 ? &orvo::lv2::Descriptor() : nullptr;
}
