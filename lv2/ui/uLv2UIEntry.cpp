// The LV2 UI binary's entry: lv2ui_descriptor, the UI callbacks and the idle interface, and
// the composition root that opens the X11 window system for each UI. The host's window
// comes through ui:parent, its scale (when it tells one) through the ui:scaleFactor option;
// the UI reports its size at that scale through ui:resize when offered.
#include "editor/uEditorSettings.h"
#include "lv2/uLv2Features.h"
#include "lv2/uLv2Ports.h"
#include "lv2/ui/TLv2OrvoUI.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/x11/uX11UIFactory.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <optional>

namespace orvo::lv2
{
namespace
{
TLv2OrvoUI& Instance(LV2UI_Handle handle)
{
    return *static_cast<TLv2OrvoUI*>(handle);
}

/// The host's ui:scaleFactor option (a float), where it gives one and can map its name.
std::optional<double> HostScaleFactor(const LV2_Feature* const* features)
{
    const auto* options = FeatureData<LV2_Options_Option>(features, LV2_OPTIONS__options);
    const auto* map = FeatureData<LV2_URID_Map>(features, LV2_URID__map);
    if (options == nullptr || map == nullptr)
    {
        return std::nullopt;
    }
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key != 0; ++options)
    {
        if (options->context == LV2_OPTIONS_INSTANCE && options->key == scaleFactor &&
            options->type == floatType && options->size == sizeof(float) &&
            options->value != nullptr)
        {
            float value = 0.0f;
            std::memcpy(&value, options->value, sizeof value);
            return value;
        }
    }
    return std::nullopt;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features)
{
    // The parent is a window id, which may be 0 only in theory: its presence is the test.
    const LV2_Feature* parentFeature = FindFeature(features, LV2_UI__parent);
    if (pluginUri == nullptr || PluginUri != pluginUri || write == nullptr ||
        parentFeature == nullptr)
    {
        return nullptr;
    }
    try
    {
        std::shared_ptr<IUIPlatform> platform = MakeX11UIPlatform();
        if (!platform)
        {
            return nullptr; // no display
        }
        static const TPosixLocale locale;
        const auto parent = reinterpret_cast<std::uintptr_t>(parentFeature->data);
        const TEditorScale scale =
            ChooseScale(LoadUserScale(platform->UserSettingsFile()), HostScaleFactor(features),
                        platform->DisplayScale(parent));
        auto* ui = new TLv2OrvoUI(std::move(platform), parent, write, controller,
                                  FeatureData<LV2_URID_Map>(features, LV2_URID__map),
                                  FeatureData<LV2UI_Touch>(features, LV2_UI__touch),
                                  locale.DecimalSeparator(), scale);
        if (widget != nullptr)
        {
            *widget = reinterpret_cast<LV2UI_Widget>(ui->Widget());
        }
        if (const auto* resize = FeatureData<LV2UI_Resize>(features, LV2_UI__resize))
        {
            resize->ui_resize(resize->handle, ui->Width(), ui->Height());
        }
        return ui;
    }
    catch (...)
    {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle)
{
    delete &Instance(handle);
}

void PortEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
               const void* buffer)
{
    try
    {
        Instance(handle).PortEvent(port, size, protocol, buffer);
    }
    catch (...)
    {
        // A report that cannot be composed is not shown.
    }
}

int Idle(LV2UI_Handle handle)
{
    try
    {
        return Instance(handle).Idle();
    }
    catch (...)
    {
        return 0;
    }
}

const LV2UI_Idle_Interface IdleInterface{Idle};

const void* ExtensionData(const char* uri)
{
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &IdleInterface : nullptr;
}

const std::string& UriText()
{
    static const std::string uri(UiUri);
    return uri;
}

const LV2UI_Descriptor& Descriptor()
{
    static const LV2UI_Descriptor descriptor{UriText().c_str(), Instantiate, Cleanup, PortEvent,
                                             ExtensionData};
    return descriptor;
}
} // namespace
} // namespace orvo::lv2

// LV2_SYMBOL_EXPORT gives C linkage and default visibility.
LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index)
{
    return index == 0 ? &orvo::lv2::Descriptor() : nullptr;
}
