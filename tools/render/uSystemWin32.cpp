#include "tools/render/uSystem.h"

#include <io.h>
#include <stdlib.h>
#include <windows.h>

namespace orvo
{

std::filesystem::path ExecutablePath()
{
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return std::filesystem::path(buffer);
}

std::string ModuleFileName(const std::string& name)
{
    return name + ".dll";
}

double ThreadCpuSeconds() noexcept
{
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t)
    { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return 1e-7 * static_cast<double>(ticks(kernel) + ticks(user)); // 100 ns units
}

bool IsTerminal(std::FILE* stream) noexcept
{
    return ::_isatty(::_fileno(stream)) != 0;
}

void SetEnvironment(const std::string& name, const std::string& value)
{
    // An empty value removes the variable.
    ::_putenv_s(name.c_str(), value.c_str());
}

} // namespace orvo
