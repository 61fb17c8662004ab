// APlugin: the 16 programs, the factory bank they are filled from, program selection and
// names.
#include "plugin/uPlugin.h"

#include "host/uHostText.h"
#include "plugin/uBankReader.h"
#include "parameters/uNumberText.h"

#include <cstring>
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

void APlugin::createPrograms()
{
    for (std::size_t p = 0; p < FPrograms.size(); ++p)
    {
        FPrograms[p] = std::make_unique<APluginProgram>();
        FPrograms[p]->SetName("Quorvane Orvo " + std::to_string(p));
    }
}

void APlugin::loadFactoryBank()
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
                const auto text = bank.Value(section, "Param" + std::to_string(parameter));
                target.SetValue(parameter, text ? ParseDecimal(*text).value_or(0.0f) : 0.0f);
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

void APlugin::loadProgram(VstInt32 program) noexcept
{
    curProgram = program;
    const APluginProgram& selected = *FPrograms[static_cast<std::size_t>(program)];
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        setParameter(i, selected.Value(i));
    }
    tellEditor();
}

void APlugin::setProgram(VstInt32 program) noexcept
{
    if (!IsProgramIndex(program))
    {
        return;
    }
    const VstInt32 previous = curProgram;
    if (!IsProgramIndex(previous))
    {
        loadProgram(program);
        return;
    }
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
    curProgram = program;
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

void APlugin::setProgramName(char* name) noexcept
{
    const VstInt32 program = curProgram;
    if (name == nullptr || !IsProgramIndex(program))
    {
        return;
    }
    // Read no further than the 50 characters that are kept.
    const std::size_t length = strnlen(name, APluginProgram::MaxNameLength);
    FPrograms[static_cast<std::size_t>(program)]->SetName(std::string_view(name, length));
    tellEditor();
}

void APlugin::getProgramName(char* name) noexcept
{
    const VstInt32 program = curProgram;
    if (IsProgramIndex(program))
    {
        copyHostText(name, FPrograms[static_cast<std::size_t>(program)]->Name().data(),
                     ProgramNameCapacity);
    }
}

bool APlugin::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) noexcept
{
    if (!IsProgramIndex(index))
    {
        return false;
    }
    copyHostText(text, FPrograms[static_cast<std::size_t>(index)]->Name().data(), ProgramNameCapacity);
    return true;
}
} // namespace orvo
