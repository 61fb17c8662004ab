// The messages between Orvo's LV2 UI and its DSP instance, beside the MIDI on the atom
// ports: the UI writes MIDI menu commands (atom objects of Orvo's own types) to the MIDI
// input with atom:eventTransfer; the instance answers a report request with its MIDI map,
// an object on the MIDI output that the UI receives as a port notification. The instance
// also sends its control values there whenever a control input changed: hosts need not
// tell the UI of values they set themselves (Qtractor restores a preset's port values
// without a word to an open UI). Reading and forging allocate nothing, so the instance
// handles them inside run.
#pragma once

#include "core/uMidiMap.h"
#include "lv2/uLv2Ports.h"

#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace orvo::lv2
{
/// The command types, the reply type and their properties.
constexpr std::string_view MidiLearnUri = "urn:quorvane:orvo:midi-learn";
constexpr std::string_view ResetMidiMapUri = "urn:quorvane:orvo:reset-midi-map";
constexpr std::string_view RestoreDefaultMidiMapUri = "urn:quorvane:orvo:restore-default-midi-map";
constexpr std::string_view ReportMidiMapUri = "urn:quorvane:orvo:report-midi-map";
constexpr std::string_view MidiMapReplyUri = "urn:quorvane:orvo:midi-map-reply";
/// The UI asks for the instance's control values (answered with ControlValuesUri).
constexpr std::string_view SendControlValuesUri = "urn:quorvane:orvo:send-control-values";
/// MidiLearn's parameter; the reply's learning parameter (-1: none).
constexpr std::string_view ParameterUri = "urn:quorvane:orvo:parameter";
/// The reply's tables: 128 and 16 atom:Int (-1: unbound).
constexpr std::string_view CcToParamUri = "urn:quorvane:orvo:cc-to-param";
constexpr std::string_view ParamToCcUri = "urn:quorvane:orvo:param-to-cc";
/// The instance's control values: one property, ParameterCount atom:Float in the ports'
/// units, by parameter index.
constexpr std::string_view ControlValuesUri = "urn:quorvane:orvo:control-values";
constexpr std::string_view ValuesUri = "urn:quorvane:orvo:values";

enum TMidiMenuCommand : std::uint8_t
{
    mmNone,
    mmLearn,
    mmReset,
    mmRestoreDefault,
    mmReport,
    mmSendControlValues,
};

/// The URIDs of the messages, mapped once per instance.
struct TMessageUrids
{
    LV2_URID EventTransfer = 0;
    LV2_URID Object = 0;
    LV2_URID Int = 0;
    LV2_URID Vector = 0;
    LV2_URID Learn = 0;
    LV2_URID Reset = 0;
    LV2_URID RestoreDefault = 0;
    LV2_URID Report = 0;
    LV2_URID Reply = 0;
    LV2_URID Parameter = 0;
    LV2_URID CcToParam = 0;
    LV2_URID ParamToCc = 0;
    LV2_URID Float = 0;
    LV2_URID ControlValues = 0;
    LV2_URID Values = 0;
    LV2_URID SendControlValues = 0;

    explicit TMessageUrids(const LV2_URID_Map& map);
    TMessageUrids() = default;
};

/// A command as read: what to do and, for mmLearn, the parameter.
struct TMidiMenuMessage
{
    TMidiMenuCommand Command = mmNone;
    std::int32_t Parameter = NoBinding;
};

/// Forges command (with parameter for mmLearn) as one atom; false when it does not fit.
bool ForgeCommand(LV2_Atom_Forge& forge, const TMessageUrids& urids, TMidiMenuMessage message);

/// The command an atom carries; mmNone for any other atom (MIDI among them).
TMidiMenuMessage ReadCommand(const TMessageUrids& urids, const LV2_Atom& atom) noexcept;

/// The bytes the reply takes in a buffer: the object and its three properties, each padded
/// to 8 bytes.
constexpr std::uint32_t MidiMapReplySize =
    sizeof(LV2_Atom_Object) + (sizeof(LV2_Atom_Property_Body) + 8) +
    (sizeof(LV2_Atom_Property_Body) + sizeof(LV2_Atom_Vector_Body) + MidiCcCount * 4) +
    (sizeof(LV2_Atom_Property_Body) + sizeof(LV2_Atom_Vector_Body) + ParameterCount * 4);

/// Forges the reply with map and learnParameter; false when it does not fit (check the
/// room first: a reply cut short leaves a partial object behind).
bool ForgeMidiMapReply(LV2_Atom_Forge& forge, const TMessageUrids& urids, const TMidiMap& map,
                       std::int32_t learnParameter) noexcept;

/// Reads a reply into map and learnParameter; false (both untouched) for any other atom or
/// a reply with tables of the wrong size.
bool ReadMidiMapReply(const TMessageUrids& urids, const LV2_Atom& atom, TMidiMap& map,
                      std::int32_t& learnParameter) noexcept;

/// The control values in port units, by parameter index (a parameter without a port
/// carries its value all the same).
using TControlValues = std::array<float, ParameterCount>;

/// The bytes the control values take in a buffer (as MidiMapReplySize).
constexpr std::uint32_t ControlValuesSize =
    sizeof(LV2_Atom_Object) + (sizeof(LV2_Atom_Property_Body) + sizeof(LV2_Atom_Vector_Body) +
                               (ParameterCount * 4 + 7) / 8 * 8);

/// Forges the control values; false when they do not fit (check the room first).
bool ForgeControlValues(LV2_Atom_Forge& forge, const TMessageUrids& urids,
                        const TControlValues& values) noexcept;

/// Reads control values; false (values untouched) for any other atom.
bool ReadControlValues(const TMessageUrids& urids, const LV2_Atom& atom,
                       TControlValues& values) noexcept;
} // namespace orvo::lv2
