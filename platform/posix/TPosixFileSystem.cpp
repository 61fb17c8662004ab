#include "platform/posix/TPosixFileSystem.h"

#include "platform/TLineSplitter.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvo
{
namespace
{
// Closes a descriptor on every way out of a scope.
class TDescriptor
{
  public:
    explicit TDescriptor(int fd) : FFd(fd) {}
    ~TDescriptor()
    {
        if (FFd >= 0)
        {
            close(FFd);
        }
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    int Get() const { return FFd; }
    /// Closes now and reports whether the close succeeded (a deferred write error shows here).
    bool Close()
    {
        const int fd = FFd;
        FFd = -1;
        return close(fd) == 0;
    }

  private:
    int FFd;
};

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty())
    {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}
} // namespace

bool TPosixFileSystem::FileExists(const std::string& path) const
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool TPosixFileSystem::DeleteFile(const std::string& path) const
{
    return unlink(path.c_str()) == 0;
}

bool TPosixFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) const
{
    lines.clear();
    TDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
    {
        return false;
    }
    struct stat status
    {
    };
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
    {
        return false;
    }
    TLineSplitter splitter(lines);
    char buffer[4096];
    while (!splitter.Full())
    {
        const ssize_t count = read(file.Get(), buffer, sizeof buffer);
        if (count < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            lines.clear();
            return false;
        }
        if (count == 0)
        {
            break;
        }
        splitter.Add(std::string_view(buffer, static_cast<std::size_t>(count)));
    }
    splitter.Finish();
    return true;
}

bool TPosixFileSystem::WriteFileAtomically(const std::string& path, std::string_view text) const
{
    // The temporary file lives in the target's folder so that rename() replaces the old
    // file in one step (a rename across file systems would fail).
    std::string temporary = path + ".XXXXXX";
    TDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0)
    {
        return false;
    }
    // mkstemp creates the file readable by the owner only; the map file is shared by
    // everyone who uses the plug-in folder, like the file it replaces. (The umask is
    // process-wide state of the host and is not consulted.)
    fchmod(file.Get(), 0644);

    const bool written = WriteAll(file.Get(), text) && fsync(file.Get()) == 0 && file.Close();
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
} // namespace orvo
