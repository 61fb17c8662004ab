// The POSIX platform services: text files, the atomic replace, the decimal separator, and
// the user's configuration folder.
#include "platform/posix/TPosixFileSystem.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/posix/TPosixModuleFile.h"
#include "platform/posix/TPosixUserFolder.h"
#include "tests/vst2/TPluginFixture.h"

namespace orvo::test
{
namespace
{
TEST(PosixFileSystem, ReadsLinesEndingInLfOrCrLf)
{
    TTempFolder folder;
    const std::string path = (folder.Path() / "f.txt").string();
    WriteFile(path, "a\r\nb\n\nc\rd\r\ne");
    const TPosixFileSystem files;
    std::vector<std::string> lines;
    ASSERT_TRUE(files.ReadLines(path, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "", "c\rd", "e"}));
    EXPECT_FALSE(files.ReadLines((folder.Path() / "none").string(), lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(files.FileExists(folder.Path().string())); // a folder is no file
}

TEST(PosixFileSystem, ReplacesAFileWholeAndLeavesNoTemporaryBehind)
{
    TTempFolder folder;
    const std::string path = (folder.Path() / "map.txt").string();
    const TPosixFileSystem files;
    WriteFile(path, "old");
    ASSERT_TRUE(files.WriteFileAtomically(path, "new text"));
    EXPECT_EQ(ReadFile(path), "new text");
    ASSERT_TRUE(files.WriteFileAtomically(path, ""));
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_TRUE(files.DeleteFile(path));
    EXPECT_FALSE(files.FileExists(path));
}

TEST(PosixFileSystem, AFailedReplaceKeepsTheOldFile)
{
    TTempFolder folder;
    // A folder where the file should be: the rename over it fails.
    const std::filesystem::path blocked = folder.Path() / "map.txt";
    std::filesystem::create_directory(blocked);
    WriteFile(blocked / "inside", "old");
    const TPosixFileSystem files;
    EXPECT_FALSE(files.WriteFileAtomically(blocked.string(), "new"));
    EXPECT_EQ(ReadFile(blocked / "inside"), "old");
    EXPECT_FALSE(files.WriteFileAtomically((folder.Path() / "missing" / "x").string(), "new"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(PosixLocale, JudgesTheSeparatorFromTheLocaleName)
{
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName("C"), '.');
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName("POSIX"), '.');
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName(nullptr), '.');
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName("en_GB.UTF-8"), '.');
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName("de_DE.UTF-8"), ',');
    EXPECT_EQ(TPosixLocale::SeparatorForLocaleName("fr_FR@euro"), ',');
}

TEST(PosixLocale, ReadsTheEnvironmentInPrecedenceOrderWithoutTouchingTheProcessLocale)
{
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_NUMERIC", "", 1);
    unsetenv("LC_ALL");
    EXPECT_EQ(TPosixLocale().DecimalSeparator(), ',');
    setenv("LC_NUMERIC", "en_US.UTF-8", 1);
    EXPECT_EQ(TPosixLocale().DecimalSeparator(), '.');
    setenv("LC_ALL", "it_IT.UTF-8", 1);
    EXPECT_EQ(TPosixLocale().DecimalSeparator(), ',');
    unsetenv("LC_ALL");
    unsetenv("LC_NUMERIC");
    unsetenv("LANG");
    EXPECT_EQ(TPosixLocale().DecimalSeparator(), '.');
    EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
}

TEST(PosixModuleFile, FindsTheFileHoldingTheCode)
{
    // Linked into this test program, the module is the program itself.
    const std::string path = TPosixModuleFile().ModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(std::filesystem::canonical("/proc/self/exe").string(), path);
}
TEST(PosixUserFolder, FollowsTheXdgRulesAndMakesTheMissingFolders)
{
    TTempFolder folder;
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    const std::string home = folder.Path().string();
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(TPosixUserFolder().ConfigFolder(), home + "/.config/Orvo/");
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(TPosixUserFolder().ConfigFolder(), home + "/.config/Orvo/");
    const std::string config = home + "/xdg/config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(TPosixUserFolder().ConfigFolder(), config + "/Orvo/");
    EXPECT_TRUE(TPosixUserFolder().MakeConfigFolder());
    EXPECT_TRUE(std::filesystem::is_directory(config + "/Orvo"));
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", savedHome.c_str(), 1);
}
} // namespace
} // namespace orvo::test
