// APlugin: the 16 programs, the factory bank they are filled from, program selection and
// names.
#include "plugin/uPlugin.h"

#include "host/uHostText.h"
#include "plugin/uBankReader.h"
#include "plugin/uNumberText.h"

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

void APlugin::setProgram(VstInt32 program) noexcept
{
    if (!IsProgramIndex(program))
    {
        return;
    }
    curProgram = program;
    const APluginProgram& selected = *FPrograms[static_cast<std::size_t>(program)];
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        setParameter(i, selected.Value(i));
    }
    tellEditor();
}

void APlugin::setProgramName(char* name) noexcept
{
    if (name == nullptr || !IsProgramIndex(curProgram))
    {
        return;
    }
    try
    {
        // Read no further than the 50 characters that are kept.
        const std::size_t length = strnlen(name, APluginProgram::MaxNameLength);
        FPrograms[static_cast<std::size_t>(curProgram)]->SetName(std::string_view(name, length));
    }
    catch (...)
    {
        return;
    }
    tellEditor();
}

void APlugin::getProgramName(char* name) noexcept
{
    if (IsProgramIndex(curProgram))
    {
        copyHostText(name, FPrograms[static_cast<std::size_t>(curProgram)]->Name(), ProgramNameCapacity);
    }
}

bool APlugin::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) noexcept
{
    if (!IsProgramIndex(index))
    {
        return false;
    }
    copyHostText(text, FPrograms[static_cast<std::size_t>(index)]->Name(), ProgramNameCapacity);
    return true;
}
} // namespace orvo
