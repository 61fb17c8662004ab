// Drives one APlugin through its record with the recording test host, with fake platform
// services: a temporary folder stands in for the module's folder.
#pragma once

#include <gtest/gtest.h>

#include "platform/posix/TPosixFileSystem.h"
#include "resources/uFactoryBank.h"
#include "tests/support/TEventList.h"
#include "tests/support/TestHost.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditor.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvo::test
{
/// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder
{
  public:
    TTempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
        {
            throw std::runtime_error("no temporary folder");
        }
        FPath = pattern;
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class TFakeModuleFile final : public IModuleFile
{
  public:
    std::string ModulePath() const override { return Path; }
    std::string Path;
};

/// A user folder at Path (made on demand); none while Path is empty.
class TFakeUserFolder final : public IUserFolder
{
  public:
    std::string ConfigFolder() const override { return Path.empty() ? std::string() : Path + "/"; }
    bool MakeConfigFolder() const override
    {
        std::error_code ignored;
        std::filesystem::create_directories(Path, ignored);
        return std::filesystem::is_directory(Path);
    }
    std::string Path;
};

class TFakeResources final : public IResources
{
  public:
    std::string_view FactoryBank() const override { return Bank; }
    std::string Bank{resources::FactoryBankText()};
};

class TFixedLocale final : public ILocale
{
  public:
    char DecimalSeparator() const override { return Separator; }
    char Separator = '.';
};

class TRecordingMessageBox final : public IMessageBox
{
  public:
    void ShowMessage(std::string_view text) const noexcept override { Messages.emplace_back(text); }
    mutable std::vector<std::string> Messages;
};

/// One MIDI channel message at an offset.
inline VstMidiEvent MidiEvent(std::int32_t offset, std::uint8_t status, std::uint8_t data1,
                              std::uint8_t data2 = 0)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = 24;
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

class TPluginFixture : public ::testing::Test
{
  protected:
    TPluginFixture() { ModuleFile.Path = (Folder.Path() / "Orvo.so").string(); }
    ~TPluginFixture() override
    {
        if (Effect != nullptr)
        {
            Close();
        }
    }

    void Create(IFileSystem* fileSystem = nullptr, TEditorFactory editorFactory = &MakePluginEditor)
    {
        const TPluginServices services{
            ModuleFile, Resources,  fileSystem != nullptr ? *fileSystem : FileSystem,
            Locale,     MessageBox, UserFolder};
        auto* plugin = new APlugin(&TestHost::Callback, services, editorFactory);
        Effect = plugin->getAeffect();
        Host.Attach(Effect);
    }

    void Close()
    {
        Effect->dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f);
        Host.Detach(Effect);
        Effect = nullptr;
    }

    APlugin& Plugin() { return *static_cast<APlugin*>(Effect->object); }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return Effect->dispatcher(Effect, opcode, index, value, ptr, opt);
    }

    std::string Text(VstInt32 opcode, VstInt32 index = 0)
    {
        char text[256] = {};
        Dispatch(opcode, index, 0, text);
        return text;
    }

    std::string Display(VstInt32 index) { return Text(effGetParamDisplay, index); }

    void SetParameter(VstInt32 index, float value) { Effect->setParameter(Effect, index, value); }

    float GetParameter(VstInt32 index) { return Effect->getParameter(Effect, index); }

    void SendEvents(std::vector<VstMidiEvent> events)
    {
        test::TEventList list(events);
        Dispatch(effProcessEvents, 0, 0, list.Get());
    }

    /// One processReplacing call of frames samples on separate input and output buffers.
    void Process(std::int32_t frames)
    {
        In.assign(2, std::vector<float>(static_cast<std::size_t>(frames), 0.25f));
        Out.assign(2, std::vector<float>(static_cast<std::size_t>(frames), 9.0f));
        float* inputs[] = {In[0].data(), In[1].data()};
        float* outputs[] = {Out[0].data(), Out[1].data()};
        Effect->processReplacing(Effect, inputs, outputs, frames);
    }

    /// The (status, data1, data2, deltaFrames) of every thru message so far.
    std::vector<std::array<int, 4>> Thru() const
    {
        std::vector<std::array<int, 4>> sent;
        for (const VstMidiEvent& e : Host.SentMidiEvents())
        {
            sent.push_back({static_cast<unsigned char>(e.midiData[0]),
                            static_cast<unsigned char>(e.midiData[1]),
                            static_cast<unsigned char>(e.midiData[2]), e.deltaFrames});
        }
        return sent;
    }

    std::filesystem::path MapFile() const { return Folder.Path() / "OrvoMIDI.txt"; }

    TTempFolder Folder;
    TestHost Host;
    TFakeModuleFile ModuleFile;
    TFakeResources Resources;
    TPosixFileSystem FileSystem;
    TFixedLocale Locale;
    TRecordingMessageBox MessageBox;
    TFakeUserFolder UserFolder;
    AEffect* Effect = nullptr;
    std::vector<std::vector<float>> In;
    std::vector<std::vector<float>> Out;
};
} // namespace orvo::test
