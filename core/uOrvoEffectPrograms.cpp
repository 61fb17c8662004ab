// TOrvoEffect: the 16 programs, the factory bank they are filled from, program selection and
// names, and the state a host keeps in its session.
#include "core/uBankReader.h"
#include "core/uEffectState.h"
#include "core/uOrvoEffect.h"
#include "parameters/uNumberText.h"

#include <vector>

namespace orvo
{
namespace
{
/// The module's path with its extension replaced by ".ini" ("/x/Orvo.so" -> "/x/Orvo.ini").
std::string IniPathFor(const std::string& modulePath)
{
    const std::size_t folderEnd = modulePath.find_last_of("/\\");
    const std::size_t dot = modulePath.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (folderEnd == std::string::npos || dot > folderEnd);
    return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".ini";
}
} // namespace

void TOrvoEffect::loadFactoryBank()
{
    // A file named like the module with ".ini" is opened and read when present, and its
    // contents are discarded: only the embedded bank decides what the programs hold. It is
    // never written.
    const std::string modulePath = FServices.ModuleFile.ModulePath();
    if (!modulePath.empty())
    {
        const std::string iniPath = IniPathFor(modulePath);
        if (FServices.FileSystem.FileExists(iniPath))
        {
            std::vector<std::string> discarded;
            FServices.FileSystem.ReadLines(iniPath, discarded);
        }
    }

    std::int32_t program = 0;
    std::int32_t parameter = 0;
    try
    {
        const TBankReader bank(FServices.Resources.FactoryBank());
        for (program = 0; program < ProgramCount; ++program)
        {
            parameter = 0;
            APluginProgram& target = *FPrograms[static_cast<std::size_t>(program)];
            const std::string section = "Prog" + std::to_string(program);
            if (const auto name = bank.Value(section, "Name"))
            {
                target.SetName(*name);
            }
            for (parameter = 0; parameter < ParameterCount; ++parameter)
            {
                // A key the bank lacks gives the parameter the table's default, as a program
                // the bank never filled holds; a value that is no number reads as 0.
                const auto text = bank.Value(section, "Param" + std::to_string(parameter));
                target.SetValue(parameter, text ? ParseDecimal(*text).value_or(0.0f)
                                                : InfoOf(parameter).Default);
            }
        }
    }
    catch (...)
    {
        // Loading stops at the read that failed; the programs not yet read keep their
        // default names and values.
        FServices.MessageBox.ShowMessage(std::to_string(program) + ":" + std::to_string(parameter));
    }
}

void TOrvoEffect::loadProgram(std::int32_t program) noexcept
{
    FCurrentProgram.store(program, std::memory_order_relaxed);
    const APluginProgram& selected = *FPrograms[static_cast<std::size_t>(program)];
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        SetParameter(i, selected.Value(i));
    }
    tellEditor();
}

void TOrvoEffect::SetProgram(std::int32_t program) noexcept
{
    if (!IsProgramIndex(program))
    {
        return;
    }
    const std::int32_t previous = Program();
    if (program == previous)
    {
        // The values in force are this program's: they are applied again as they stand.
        for (std::int32_t i = 0; i < ParameterCount; ++i)
        {
            FEngine.ReapplyParameter(i);
            parameterStored();
        }
        tellEditor();
        return;
    }
    // Hand-over, without a lock: one exchange per parameter puts the selected program's
    // value in force and gives the value it replaces to the program left. A change that
    // another thread (a controller on the processing thread) stores before the exchange
    // is kept by the program left; one stored after it stays in force, as an edit of the
    // selected program. Neither thread ever waits for the other.
    FCurrentProgram.store(program, std::memory_order_relaxed);
    APluginProgram& left = *FPrograms[static_cast<std::size_t>(previous)];
    const APluginProgram& selected = *FPrograms[static_cast<std::size_t>(program)];
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        const float value = ClampedParameterValue(selected.Value(i));
        left.SetValue(i, FEngine.ExchangeParameter(i, value));
        parameterStored();
    }
    tellEditor();
}

std::string TOrvoEffect::ProgramName(std::int32_t program) const
{
    if (!IsProgramIndex(program))
    {
        return {};
    }
    return FPrograms[static_cast<std::size_t>(program)]->Name().data();
}

void TOrvoEffect::SetProgramName(std::string_view name) noexcept
{
    FPrograms[static_cast<std::size_t>(Program())]->SetName(name);
    tellEditor();
}

std::vector<std::uint8_t> TOrvoEffect::SaveState() const
{
    TEffectState state;
    state.Program = Program();
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        state.Values[static_cast<std::size_t>(i)] = Parameter(i);
    }
    state.Map = MidiMap();
    return EncodeEffectState(state);
}

bool TOrvoEffect::LoadState(std::span<const std::uint8_t> bytes) noexcept
{
    const std::optional<TEffectState> state = DecodeEffectState(bytes);
    if (!state)
    {
        return false;
    }
    // The saved values are the current program's edits: they come into force as they are,
    // and the program's record keeps what the bank gave it until another program is chosen.
    FCurrentProgram.store(state->Program, std::memory_order_relaxed);
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        SetParameter(i, state->Values[static_cast<std::size_t>(i)]);
    }
    ReplaceMidiMap(state->Map);
    tellEditor();
    return true;
}
} // namespace orvo
