#include "platform/win32/TWin32FileSystem.h"

#include "platform/TLineSplitter.h"
#include "platform/win32/uWin32Text.h"

#include <atomic>
#include <string>
#include <windows.h>

// windows.h names DeleteFileA or DeleteFileW "DeleteFile"; the interface's method keeps its name.
#undef DeleteFile

namespace orvo
{
namespace
{
// Closes a handle on every way out of a scope.
class THandle
{
  public:
    explicit THandle(HANDLE handle) : FHandle(handle) {}
    ~THandle()
    {
        if (Valid())
        {
            CloseHandle(FHandle);
        }
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;

    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    HANDLE Get() const { return FHandle; }
    /// Closes now and reports whether the close succeeded.
    bool Close()
    {
        const HANDLE handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

  private:
    HANDLE FHandle;
};

/// Bytes per ReadFile and WriteFile call.
constexpr DWORD ChunkSize = 65536;

bool WriteAll(HANDLE file, std::string_view text)
{
    while (!text.empty())
    {
        const DWORD wanted = text.size() < ChunkSize ? static_cast<DWORD>(text.size()) : ChunkSize;
        DWORD written = 0;
        if (!WriteFile(file, text.data(), wanted, &written, nullptr) || written == 0)
        {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

/// A file name beside path that no other writer uses: the process id and a counter keep
/// instances in several processes and threads apart.
std::wstring TemporaryNameBeside(const std::wstring& path)
{
    static std::atomic<unsigned> counter{0};
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1, std::memory_order_relaxed)) + L".tmp";
}
} // namespace

bool TWin32FileSystem::FileExists(const std::string& path) const
{
    const DWORD attributes = GetFileAttributesW(win32::WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32FileSystem::DeleteFile(const std::string& path) const
{
    return DeleteFileW(win32::WideFromUtf8(path).c_str()) != 0;
}

bool TWin32FileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) const
{
    lines.clear();
    // Others may read, write or delete the file meanwhile (another instance saving its map).
    THandle file(CreateFileW(win32::WideFromUtf8(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() || GetFileType(file.Get()) != FILE_TYPE_DISK)
    {
        return false;
    }
    TLineSplitter splitter(lines);
    std::string buffer(ChunkSize, '\0');
    while (!splitter.Full())
    {
        DWORD count = 0;
        if (!ReadFile(file.Get(), buffer.data(), ChunkSize, &count, nullptr))
        {
            lines.clear();
            return false;
        }
        if (count == 0)
        {
            break;
        }
        splitter.Add(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    }
    splitter.Finish();
    return true;
}

bool TWin32FileSystem::WriteFileAtomically(const std::string& path, std::string_view text) const
{
    // The temporary file lives in the target's folder so that the move replaces the old
    // file in one step (a move across volumes would copy).
    const std::wstring target = win32::WideFromUtf8(path);
    const std::wstring temporary = TemporaryNameBeside(target);
    THandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
    {
        return false;
    }
    const bool written =
        WriteAll(file.Get(), text) && FlushFileBuffers(file.Get()) != 0 && file.Close();
    if (!written || MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
    {
        if (file.Valid())
        {
            file.Close();
        }
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
} // namespace orvo
