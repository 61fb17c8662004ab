#include "tools/render/uSystem.h"

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

namespace orvo
{

std::filesystem::path ExecutablePath()
{
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : path;
}

std::string ModuleFileName(const std::string& name)
{
    return name + ".so";
}

double ThreadCpuSeconds() noexcept
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

bool IsTerminal(std::FILE* stream) noexcept
{
    return ::isatty(::fileno(stream)) != 0;
}

void SetEnvironment(const std::string& name, const std::string& value)
{
    if (value.empty())
    {
        ::unsetenv(name.c_str());
    }
    else
    {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
}

} // namespace orvo
