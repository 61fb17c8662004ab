#include "lv2/uLv2Messages.h"

#include "lv2/uLv2Atoms.h"

#include <cstring>
#include <string>

namespace orvo::lv2
{
namespace
{
LV2_URID MapUri(const LV2_URID_Map& map, std::string_view uri)
{
    return map.map(map.handle, std::string(uri).c_str());
}

/// Copies an atom:Vector of count atom:Int into values; false when it is not one.
template <std::size_t N>
bool ReadInts(const TMessageUrids& urids, const LV2_Atom* atom,
              std::array<std::int32_t, N>& values) noexcept
{
    if (atom == nullptr || atom->type != urids.Vector || atom->size < sizeof(LV2_Atom_Vector_Body))
    {
        return false;
    }
    const auto* vector = reinterpret_cast<const LV2_Atom_Vector*>(atom);
    if (vector->body.child_type != urids.Int || vector->body.child_size != sizeof(std::int32_t) ||
        atom->size != sizeof(LV2_Atom_Vector_Body) + N * sizeof(std::int32_t))
    {
        return false;
    }
    std::memcpy(values.data(), vector + 1, N * sizeof(std::int32_t));
    return true;
}

} // namespace

TMessageUrids::TMessageUrids(const LV2_URID_Map& map)
    : EventTransfer(MapUri(map, LV2_ATOM__eventTransfer)), Object(MapUri(map, LV2_ATOM__Object)),
      Int(MapUri(map, LV2_ATOM__Int)), Vector(MapUri(map, LV2_ATOM__Vector)),
      Learn(MapUri(map, MidiLearnUri)), Reset(MapUri(map, ResetMidiMapUri)),
      RestoreDefault(MapUri(map, RestoreDefaultMidiMapUri)), Report(MapUri(map, ReportMidiMapUri)),
      Reply(MapUri(map, MidiMapReplyUri)), Parameter(MapUri(map, ParameterUri)),
      CcToParam(MapUri(map, CcToParamUri)), ParamToCc(MapUri(map, ParamToCcUri)),
      Float(MapUri(map, LV2_ATOM__Float)), ControlValues(MapUri(map, ControlValuesUri)),
      Values(MapUri(map, ValuesUri)), SendControlValues(MapUri(map, SendControlValuesUri))
{
}

bool ForgeCommand(LV2_Atom_Forge& forge, const TMessageUrids& urids, TMidiMenuMessage message)
{
    LV2_URID type = 0;
    switch (message.Command)
    {
    case mmLearn:
        type = urids.Learn;
        break;
    case mmReset:
        type = urids.Reset;
        break;
    case mmRestoreDefault:
        type = urids.RestoreDefault;
        break;
    case mmReport:
        type = urids.Report;
        break;
    case mmSendControlValues:
        type = urids.SendControlValues;
        break;
    case mmNone:
        return false;
    }
    LV2_Atom_Forge_Frame frame;
    if (lv2_atom_forge_object(&forge, &frame, 0, type) == 0)
    {
        return false;
    }
    const bool written =
        message.Command != mmLearn || (lv2_atom_forge_key(&forge, urids.Parameter) != 0 &&
                                       lv2_atom_forge_int(&forge, message.Parameter) != 0);
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

TMidiMenuMessage ReadCommand(const TMessageUrids& urids, const LV2_Atom& atom) noexcept
{
    if (atom.type != urids.Object || atom.size < sizeof(LV2_Atom_Object_Body))
    {
        return {};
    }
    const auto& object = reinterpret_cast<const LV2_Atom_Object&>(atom);
    const LV2_URID type = object.body.otype;
    if (type == urids.Reset)
    {
        return {mmReset, NoBinding};
    }
    if (type == urids.RestoreDefault)
    {
        return {mmRestoreDefault, NoBinding};
    }
    if (type == urids.Report)
    {
        return {mmReport, NoBinding};
    }
    if (type == urids.SendControlValues)
    {
        return {mmSendControlValues, NoBinding};
    }
    if (type != urids.Learn)
    {
        return {};
    }
    const LV2_Atom* parameter = ObjectProperty(object, urids.Parameter);
    if (parameter == nullptr || parameter->type != urids.Int ||
        parameter->size != sizeof(std::int32_t))
    {
        return {};
    }
    return {mmLearn, reinterpret_cast<const LV2_Atom_Int*>(parameter)->body};
}

bool ForgeMidiMapReply(LV2_Atom_Forge& forge, const TMessageUrids& urids, const TMidiMap& map,
                       std::int32_t learnParameter) noexcept
{
    LV2_Atom_Forge_Frame frame;
    if (lv2_atom_forge_object(&forge, &frame, 0, urids.Reply) == 0)
    {
        return false;
    }
    // The frame is popped whatever fits, so the forge's stack stays whole.
    const bool written = lv2_atom_forge_key(&forge, urids.Parameter) != 0 &&
                         lv2_atom_forge_int(&forge, learnParameter) != 0 &&
                         lv2_atom_forge_key(&forge, urids.CcToParam) != 0 &&
                         lv2_atom_forge_vector(&forge, sizeof(std::int32_t), urids.Int, MidiCcCount,
                                               map.CcToParam.data()) != 0 &&
                         lv2_atom_forge_key(&forge, urids.ParamToCc) != 0 &&
                         lv2_atom_forge_vector(&forge, sizeof(std::int32_t), urids.Int,
                                               ParameterCount, map.ParamToCc.data()) != 0;
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

bool ReadMidiMapReply(const TMessageUrids& urids, const LV2_Atom& atom, TMidiMap& map,
                      std::int32_t& learnParameter) noexcept
{
    if (atom.type != urids.Object || atom.size < sizeof(LV2_Atom_Object_Body))
    {
        return false;
    }
    const auto& object = reinterpret_cast<const LV2_Atom_Object&>(atom);
    if (object.body.otype != urids.Reply)
    {
        return false;
    }
    const LV2_Atom* parameter = ObjectProperty(object, urids.Parameter);
    const LV2_Atom* ccToParam = ObjectProperty(object, urids.CcToParam);
    const LV2_Atom* paramToCc = ObjectProperty(object, urids.ParamToCc);
    TMidiMap read{};
    if (parameter == nullptr || parameter->type != urids.Int ||
        parameter->size != sizeof(std::int32_t) || !ReadInts(urids, ccToParam, read.CcToParam) ||
        !ReadInts(urids, paramToCc, read.ParamToCc))
    {
        return false;
    }
    map = read;
    learnParameter = reinterpret_cast<const LV2_Atom_Int*>(parameter)->body;
    return true;
}

bool ForgeControlValues(LV2_Atom_Forge& forge, const TMessageUrids& urids,
                        const TControlValues& values) noexcept
{
    LV2_Atom_Forge_Frame frame;
    if (lv2_atom_forge_object(&forge, &frame, 0, urids.ControlValues) == 0)
    {
        return false;
    }
    const bool written = lv2_atom_forge_key(&forge, urids.Values) != 0 &&
                         lv2_atom_forge_vector(&forge, sizeof(float), urids.Float, ParameterCount,
                                               values.data()) != 0;
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

bool ReadControlValues(const TMessageUrids& urids, const LV2_Atom& atom,
                       TControlValues& values) noexcept
{
    if (atom.type != urids.Object || atom.size < sizeof(LV2_Atom_Object_Body) ||
        reinterpret_cast<const LV2_Atom_Object&>(atom).body.otype != urids.ControlValues)
    {
        return false;
    }
    const LV2_Atom* vector =
        ObjectProperty(reinterpret_cast<const LV2_Atom_Object&>(atom), urids.Values);
    if (vector == nullptr || vector->type != urids.Vector ||
        vector->size != sizeof(LV2_Atom_Vector_Body) + ParameterCount * sizeof(float))
    {
        return false;
    }
    const auto& body = reinterpret_cast<const LV2_Atom_Vector*>(vector)->body;
    if (body.child_type != urids.Float || body.child_size != sizeof(float))
    {
        return false;
    }
    std::memcpy(values.data(), &body + 1, ParameterCount * sizeof(float));
    return true;
}
} // namespace orvo::lv2
