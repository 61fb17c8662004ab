// The Win32 platform services on their own, run under wine: files (line reading, the
// atomic replacement, deletion), the module path and resources of the program they are
// linked into, and the decimal separator against the expected one.
//
//   orvo-platform-test.exe SCRATCH_FOLDER SEPARATOR
#include "platform/win32/TWin32FileSystem.h"
#include "platform/win32/TWin32Locale.h"
#include "platform/win32/TWin32ModuleFile.h"
#include "platform/win32/TWin32Resources.h"
#include "tests/windows/uChecks.h"

#include <string>
#include <vector>
#include <windows.h>

// windows.h names DeleteFileA or DeleteFileW "DeleteFile"; the interface's method keeps its name.
#undef DeleteFile

namespace
{
using namespace orvo;

std::string Utf8(const std::wstring& wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(n - 1));
    return text;
}

int CountFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? 1 : 0;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return count;
}

void CheckFiles(const std::wstring& scratch)
{
    orvo::wine::TChecks::Instance().Group("files");
    const TWin32FileSystem files;
    // A folder name outside ASCII: paths travel as UTF-8.
    const std::wstring folderWide = scratch + L"\\d\u00e4t\u00e9n";
    CreateDirectoryW(folderWide.c_str(), nullptr);
    const std::string folder = Utf8(folderWide);
    const std::string path = folder + "\\lines.txt";

    std::vector<std::string> lines = {"stale"};
    CHECK(!files.FileExists(path));
    CHECK(!files.ReadLines(path, lines));
    CHECK(lines.empty());
    CHECK(!files.DeleteFile(path));
    CHECK(!files.FileExists(folder)); // a folder is no file

    CHECK(files.WriteFileAtomically(path, "one\r\ntwo\nthree"));
    CHECK(files.FileExists(path));
    CHECK(files.ReadLines(path, lines));
    CHECK_EQ(lines.size(), std::size_t{3});
    if (lines.size() == 3)
    {
        CHECK_EQ(lines[0], std::string("one"));
        CHECK_EQ(lines[1], std::string("two"));
        CHECK_EQ(lines[2], std::string("three"));
    }

    // Replacing keeps no temporary file behind, and an empty text leaves an empty file.
    CHECK(files.WriteFileAtomically(path, ""));
    CHECK(files.ReadLines(path, lines));
    CHECK(lines.empty());
    CHECK_EQ(CountFiles(folderWide), 1);

    // A file held open without sharing cannot be replaced: false, and the old file stays.
    CHECK(files.WriteFileAtomically(path, "kept\r\n"));
    HANDLE held = CreateFileW((folderWide + L"\\lines.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(!files.WriteFileAtomically(path, "lost\r\n"));
    CloseHandle(held);
    CHECK(files.ReadLines(path, lines));
    CHECK(lines.size() == 1 && lines[0] == "kept");
    CHECK_EQ(CountFiles(folderWide), 1);

    // A missing folder: nothing is created.
    CHECK(!files.WriteFileAtomically(folder + "\\missing\\x.txt", "x"));

    CHECK(files.DeleteFile(path));
    CHECK(!files.FileExists(path));
}

void CheckModule()
{
    orvo::wine::TChecks::Instance().Group("module path and resources");
    // Linked into this program, the "module" is the program itself.
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CHECK_EQ(TWin32ModuleFile().ModulePath(), Utf8(exe));
    // The program carries no bank resource.
    CHECK(TWin32Resources().FactoryBank().empty());
}

void CheckLocale(char expected)
{
    orvo::wine::TChecks::Instance().Group("decimal separator");
    CHECK_EQ(TWin32Locale().DecimalSeparator(), expected);
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
    {
        std::fputs("usage: orvo-platform-test SCRATCH_FOLDER SEPARATOR\n", stderr);
        return 2;
    }
    CheckFiles(argv[1]);
    CheckModule();
    CheckLocale(static_cast<char>(argv[2][0]));
    return orvo::wine::TChecks::Instance().Summary();
}
