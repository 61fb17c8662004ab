#include "platform/posix/TPosixUserFolder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvo
{
namespace
{
std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
    {
        return home;
    }
    // getpwuid_r with a buffer of our own: the host may call getpwuid on another thread.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
    {
        return found->pw_dir;
    }
    return {};
}
} // namespace

std::string TPosixUserFolder::ConfigFolder() const
{
    // A relative XDG_CONFIG_HOME is invalid by the rules and is ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
    {
        return std::string(config) + "/Orvo/";
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config/Orvo/";
}

bool TPosixUserFolder::MakeConfigFolder() const
{
    const std::string folder = ConfigFolder();
    if (folder.empty())
    {
        return false;
    }
    // Each prefix up to a '/' in turn, so that a missing ~/.config is made too.
    for (std::size_t end = folder.find('/', 1); end != std::string::npos;
         end = folder.find('/', end + 1))
    {
        const std::string prefix = folder.substr(0, end);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
        {
            return false;
        }
    }
    struct stat status
    {
    };
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
} // namespace orvo
