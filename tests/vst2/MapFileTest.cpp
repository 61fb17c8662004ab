// The map file OrvoMIDI.txt beside the module or in the user's folder: reading, writing,
// and the failures that must leave a good file and a working effect.
#include "core/uMidiMap.h"
#include "tests/vst2/TPluginFixture.h"

namespace orvo::test
{
namespace
{
using MidiMapFile = TPluginFixture;

std::string DefaultMapText()
{
    std::string text;
    for (int i = 0; i < 16; ++i)
    {
        text += std::to_string(20 + i) + ": " + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST_F(MidiMapFile, MissingFileGivesTheDefaultMapWhichIsWrittenAtClose)
{
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Default());
    EXPECT_FALSE(std::filesystem::exists(MapFile()));
    Close();
    EXPECT_EQ(ReadFile(MapFile()), DefaultMapText());
}

TEST_F(MidiMapFile, ResetThenCloseLeavesAnEmptyFileAndTheNextInstanceHasNoBindings)
{
    Create();
    Plugin().effect().ResetMidiMap();
    Close();
    EXPECT_TRUE(std::filesystem::exists(MapFile()));
    EXPECT_EQ(ReadFile(MapFile()), "");
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Empty());
}

TEST_F(MidiMapFile, LearnedBindingsPersistToTheNextInstance)
{
    Create();
    Plugin().effect().StartMidiLearn(prTube);
    SendEvents({MidiEvent(0, 0xB0, 99, 1)});
    Process(1);
    Close();
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[99], prTube);
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[30], -1);
}

TEST_F(MidiMapFile, AFileThatHoldsTheSameBindingsIsNotRewritten)
{
    std::string lfText = DefaultMapText();
    std::erase(lfText, '\r');
    WriteFile(MapFile(), lfText);
    Create();
    Close();
    EXPECT_EQ(ReadFile(MapFile()), lfText);
}

TEST_F(MidiMapFile, ReadsLinesByTheFileRules)
{
    WriteFile(MapFile(),
              "5:2\r\nx: 3\n200: 1\n9: 40\n10: 1\n10: z\n  11:  4\n12 : 5\nno colon\n-1: 6\n13: 7");
    Create();
    const TMidiMap map = Plugin().effect().MidiMap();
    TMidiMap expected = TMidiMap::Empty();
    expected.CcToParam[5] = 2;
    expected.ParamToCc[2] = 5;
    expected.ParamToCc[3] = 0; // a CC part that is no number reads as CC 0 ("x: 3")...
    expected.CcToParam[0] = 5; // ...and so does one with a blank after it ("12 : 5")
    expected.ParamToCc[5] = 0;
    expected.ParamToCc[1] = 10; // 10 was bound, then unbound by a bad parameter part
    expected.CcToParam[11] = 4;
    expected.ParamToCc[4] = 11;
    expected.CcToParam[13] = 7; // a last line without a line end counts
    expected.ParamToCc[7] = 13;
    EXPECT_EQ(map, expected);
}

TEST(MidiMapText, FormatsOneLinePerBoundCcInOrder)
{
    TMidiMap map = TMidiMap::Empty();
    EXPECT_EQ(FormatMidiMap(map), "");
    map.CcToParam[127] = 15;
    map.CcToParam[0] = 3;
    EXPECT_EQ(FormatMidiMap(map), "0: 3\r\n127: 15\r\n");
    EXPECT_EQ(ParseMidiMap({"0: 3", "127: 15"}).CcToParam, map.CcToParam);
}

/// A file system whose writes fail for every path that starts with ReadOnlyPrefix (every path
/// while it is empty), as in a folder that cannot be written.
class TReadOnlyFileSystem final : public IFileSystem
{
  public:
    std::string ReadOnlyPrefix;
    bool FileExists(const std::string& path) const override { return FReal.FileExists(path); }
    bool DeleteFile(const std::string&) const override { return false; }
    bool ReadLines(const std::string& path, std::vector<std::string>& lines) const override
    {
        return FReal.ReadLines(path, lines);
    }
    bool WriteFileAtomically(const std::string& path, std::string_view text) const override
    {
        return !path.starts_with(ReadOnlyPrefix) && FReal.WriteFileAtomically(path, text);
    }

  private:
    TPosixFileSystem FReal;
};

TEST_F(MidiMapFile, AFolderThatCannotBeWrittenKeepsTheOldFile)
{
    WriteFile(MapFile(), "1: 1\r\n");
    TReadOnlyFileSystem readOnly;
    Create(&readOnly);
    Plugin().effect().ResetMidiMap();
    Close();
    EXPECT_EQ(ReadFile(MapFile()), "1: 1\r\n");
}

TEST_F(MidiMapFile, LearnedBindingsSurviveANewInstanceWhenTheModuleFolderIsReadOnly)
{
    WriteFile(MapFile(), "1: 1\r\n");
    UserFolder.Path = (Folder.Path() / "config" / "Orvo").string();
    TReadOnlyFileSystem readOnly;
    readOnly.ReadOnlyPrefix = MapFile().string();
    Create(&readOnly);
    Plugin().effect().StartMidiLearn(prTube);
    SendEvents({MidiEvent(0, 0xB0, 99, 1)});
    Process(1);
    Close();
    EXPECT_EQ(ReadFile(MapFile()), "1: 1\r\n");
    Create(&readOnly);
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[99], prTube);
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[1], 1);
    Close(); // while readOnly lives
}

TEST_F(MidiMapFile, TheUserCopyShadowsTheModuleFileAndTakesTheNextSave)
{
    WriteFile(MapFile(), "1: 1\r\n");
    UserFolder.Path = Folder.Path() / "config";
    std::filesystem::create_directories(UserFolder.Path);
    WriteFile(Folder.Path() / "config" / "OrvoMIDI.txt", "5: 2\r\n");
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[5], 2);
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[1], -1);
    Plugin().effect().ResetMidiMap();
    Close();
    EXPECT_EQ(ReadFile(Folder.Path() / "config" / "OrvoMIDI.txt"), "");
    EXPECT_EQ(ReadFile(MapFile()), "1: 1\r\n");
}

TEST_F(MidiMapFile, AModuleFolderThatDoesNotExistBreaksNothing)
{
    ModuleFile.Path = (Folder.Path() / "gone" / "Orvo.so").string();
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Default());
    Close();
    EXPECT_FALSE(std::filesystem::exists(Folder.Path() / "gone"));
}

TEST_F(MidiMapFile, AnUnknownModulePathGivesTheDefaultMapAndWritesNothing)
{
    ModuleFile.Path.clear();
    Create();
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Default());
    Close();
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path()));
}
} // namespace
} // namespace orvo::test
