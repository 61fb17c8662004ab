#include "lv2/ui/TLv2OrvoUI.h"

#include "lv2/uLv2Ports.h"
#include "parameters/uParameterMapping.h"

#include <cstring>
#include <string_view>

namespace orvo::lv2
{
namespace
{
/// True when parameter has a control port.
bool HasControlPort(std::int32_t parameter)
{
    return IsParameterIndex(parameter) && InfoOf(parameter).Port != NoPort;
}

/// The control port of a parameter that has one.
std::uint32_t ControlPortOf(std::int32_t parameter)
{
    return static_cast<std::uint32_t>(InfoOf(parameter).Port);
}

/// The map report with its header naming parameters plainly: "VST Parameter" is the VST 2
/// module's word, which an LV2 host's user would not know.
std::string ReportWithoutFormatName(std::string report)
{
    constexpr std::string_view FormatWord = "VST Parameter";
    const std::size_t at = report.find(FormatWord);
    if (at != std::string::npos)
    {
        report.replace(at, FormatWord.size(), "Parameter");
    }
    return report;
}
} // namespace

TLv2OrvoUI::TLv2OrvoUI(std::shared_ptr<IUIPlatform> platform, std::uintptr_t parent,
                       LV2UI_Write_Function write, LV2UI_Controller controller,
                       const LV2_URID_Map* map, const LV2UI_Touch* touch, char decimalSeparator,
                       TEditorScale scale)
    : FWrite(write), FController(controller), FMap(map), FTouch(touch), FSeparator(decimalSeparator)
{
    if (FMap != nullptr)
    {
        FUrids = TMessageUrids(*FMap);
    }
    // The table's defaults until the values arrive: the host sends every port's value as
    // soon as the UI is made, and the instance answers the request below with the values
    // it holds (a host need not send them).
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FValues[static_cast<std::size_t>(i)].store(InfoOf(i).Default, std::memory_order_relaxed);
    }
    FWindow = std::make_unique<TPluginEditorWindow>(*platform, parent, FValues, scale);
    FWindow->KeepPlatformAlive(std::move(platform));
    FWindow->MoveToOrigin();
    FWindow->effect = this;
    FWindow->ShowCurrentValues();
    sendCommand({mmSendControlValues, NoBinding});
}

TLv2OrvoUI::~TLv2OrvoUI()
{
    // A window whose handler still runs (the host cleaned up from a modal loop of it) lives
    // on, inert, until that handler returns; it no longer calls this object.
    if (FWindow)
    {
        TPluginEditorWindow& window = *FWindow;
        window.Close(std::move(FWindow));
    }
}

std::uintptr_t TLv2OrvoUI::Widget() const
{
    return FWindow->NativeHandle();
}

void TLv2OrvoUI::PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                           const void* buffer)
{
    if (buffer == nullptr)
    {
        return;
    }
    if (const std::int32_t parameter = ParameterOfPort(port);
        protocol == 0 && size == sizeof(float) && parameter >= 0)
    {
        FValues[static_cast<std::size_t>(parameter)].store(
            NormalisedValue(parameter, *static_cast<const float*>(buffer)),
            std::memory_order_relaxed);
        return;
    }
    if (FMap != nullptr && protocol == FUrids.EventTransfer && port == MidiOut &&
        size >= sizeof(LV2_Atom))
    {
        const auto& atom = *static_cast<const LV2_Atom*>(buffer);
        if (sizeof(LV2_Atom) + atom.size > size)
        {
            return;
        }
        TMidiMap map{};
        std::int32_t learning = NoBinding;
        TControlValues controls{};
        if (ReadMidiMapReply(FUrids, atom, map, learning))
        {
            FReport = ReportWithoutFormatName(orvo::MidiMapReport(map, learning));
        }
        else if (ReadControlValues(FUrids, atom, controls))
        {
            for (std::int32_t i = 0; i < ParameterCount; ++i)
            {
                const auto slot = static_cast<std::size_t>(i);
                if (HasControlPort(i) && !FEditing[slot])
                {
                    FValues[slot].store(NormalisedValue(i, controls[slot]),
                                        std::memory_order_relaxed);
                }
            }
        }
    }
}

int TLv2OrvoUI::Idle()
{
    if (!FWindow || FWindow->Closed())
    {
        return 1;
    }
    FWindow->Idle();
    if (FReport)
    {
        const std::string report = std::move(*FReport);
        FReport.reset();
        FWindow->ShowMidiMapReport(report);
    }
    return 0;
}

void TLv2OrvoUI::SetParameter(std::int32_t index, float value)
{
    if (!HasControlPort(index))
    {
        return;
    }
    const float portValue = PortValue(index, value);
    FWrite(FController, ControlPortOf(index), sizeof portValue, 0, &portValue);
}

void TLv2OrvoUI::BeginEdit(std::int32_t index)
{
    if (HasControlPort(index))
    {
        FEditing[static_cast<std::size_t>(index)] = true;
    }
    if (FTouch != nullptr && HasControlPort(index))
    {
        FTouch->touch(FTouch->handle, ControlPortOf(index), true);
    }
}

void TLv2OrvoUI::EndEdit(std::int32_t index)
{
    if (HasControlPort(index))
    {
        FEditing[static_cast<std::size_t>(index)] = false;
    }
    if (FTouch != nullptr && HasControlPort(index))
    {
        FTouch->touch(FTouch->handle, ControlPortOf(index), false);
    }
}

std::string TLv2OrvoUI::ParameterDisplay(std::int32_t index)
{
    if (!IsParameterIndex(index))
    {
        return {};
    }
    const float value = FValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
    return DisplayText(index, value, FSeparator).value_or(std::string());
}

std::string TLv2OrvoUI::ParameterLabel(std::int32_t index)
{
    return IsParameterIndex(index) ? std::string(InfoOf(index).Label) : std::string();
}

void TLv2OrvoUI::StartMidiLearn(std::int32_t parameter)
{
    sendCommand({mmLearn, parameter});
}

void TLv2OrvoUI::ResetMidiMap()
{
    sendCommand({mmReset, NoBinding});
}

void TLv2OrvoUI::RestoreDefaultMidiMap()
{
    sendCommand({mmRestoreDefault, NoBinding});
}

std::string TLv2OrvoUI::ProgramName()
{
    return {};
}

std::optional<std::string> TLv2OrvoUI::MidiMapReport()
{
    sendCommand({mmReport, NoBinding});
    return std::nullopt;
}

void TLv2OrvoUI::sendCommand(TMidiMenuMessage message)
{
    if (FMap == nullptr)
    {
        return;
    }
    alignas(LV2_Atom) std::uint8_t buffer[128];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(FMap));
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
    if (ForgeCommand(forge, FUrids, message))
    {
        const auto& atom = *reinterpret_cast<const LV2_Atom*>(buffer);
        FWrite(FController, MidiIn, static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom.size),
               FUrids.EventTransfer, buffer);
    }
}
} // namespace orvo::lv2
