// The built Orvo module, loaded the way a Linux host loads it: dlopen, the exported entry,
// and from then on only the record. Each test works on a copy of the module in a fresh
// folder, which then also holds the map file.
#include "tests/vst2/TPluginFixture.h"

#include <dlfcn.h>

namespace orvo::test
{
namespace
{
using TEntry = AEffect* (*)(audioMasterCallback);

class Module : public ::testing::Test
{
  protected:
    Module()
    {
        std::filesystem::copy_file(ORVO_MODULE_PATH, ModulePath());
        Library = dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (Library != nullptr)
        {
            Entry = reinterpret_cast<TEntry>(dlsym(Library, "VSTPluginMain"));
        }
    }
    ~Module() override
    {
        if (Library != nullptr)
        {
            dlclose(Library);
        }
    }

    std::filesystem::path ModulePath() const { return Folder.Path() / "Orvo.so"; }

    AEffect* Open()
    {
        AEffect* effect = Entry(&TestHost::Callback);
        if (effect != nullptr)
        {
            Host.Attach(effect);
        }
        return effect;
    }

    void Close(AEffect* effect)
    {
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
        Host.Detach(effect);
    }

    TTempFolder Folder;
    TestHost Host;
    void* Library = nullptr;
    TEntry Entry = nullptr;
};

TEST_F(Module, ExportsOneEntryUnderBothNames)
{
    ASSERT_NE(Library, nullptr) << dlerror();
    ASSERT_NE(Entry, nullptr);
    EXPECT_EQ(dlsym(Library, "main"), reinterpret_cast<void*>(Entry));
}

TEST_F(Module, MakesNoInstanceForAHostThatAnswersNoVersion)
{
    ASSERT_NE(Entry, nullptr);
    Host.SetAnswer(audioMasterVersion, 0);
    EXPECT_EQ(Entry(&TestHost::Callback), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Folder.Path() / "OrvoMIDI.txt"));
}

TEST_F(Module, AnswersAsTheEffectAndKeepsItsMapBesideTheModule)
{
    ASSERT_NE(Entry, nullptr);
    WriteFile(Folder.Path() / "Orvo.ini", "[Prog0]\nName=Other\n");
    AEffect* effect = Open();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, fourCharCode('O', 'r', 'v', 'o'));
    EXPECT_EQ(effect->flags, 0x19);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.5f);
    char name[64] = {};
    effect->dispatcher(effect, effGetProgramName, 0, 0, name, 0.0f);
    EXPECT_STREQ(name, "Flat");

    // A second instance in the same process is independent.
    AEffect* second = Open();
    ASSERT_NE(second, nullptr);
    effect->setParameter(effect, 3, 0.1f);
    EXPECT_EQ(second->getParameter(second, 3), 0.5f);
    Close(second);
    Close(effect);

    const std::string map = ReadFile(Folder.Path() / "OrvoMIDI.txt");
    EXPECT_EQ(map.substr(0, 7), "20: 0\r\n");
    EXPECT_EQ(ReadFile(Folder.Path() / "Orvo.ini"), "[Prog0]\nName=Other\n");
}

TEST_F(Module, ProcessesWithTheRealChainOnBothPaths)
{
    // "Flat" (every band at 0 dB, Tube at its identity) settles a constant input to its soft
    // clip: 0.5 gives 0.46208, on the host-rate and on the oversampled chain alike.
    ASSERT_NE(Entry, nullptr);
    AEffect* effect = Open();
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    for (const float overSample : {0.0f, 1.0f})
    {
        effect->setParameter(effect, 14, overSample);
        std::vector<float> left(4096, 0.5f);
        std::vector<float> right(4096, -0.5f);
        float* channels[] = {left.data(), right.data()};
        effect->processReplacing(effect, channels, channels, 4096); // in place
        EXPECT_NEAR(left.back(), 0.46208f, 1e-5) << overSample;
        EXPECT_NEAR(right.back(), -0.46208f, 1e-5) << overSample;
    }
    Close(effect);
}

TEST_F(Module, ManyCreateAndCloseCyclesLeaveNothingBehind)
{
    // Under LeakSanitizer (the asan preset) any memory an instance keeps fails the run.
    ASSERT_NE(Entry, nullptr);
    for (int cycle = 0; cycle < 1000; ++cycle)
    {
        AEffect* effect = Open();
        ASSERT_NE(effect, nullptr);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        Close(effect);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()),
                            std::filesystem::directory_iterator()),
              2); // the module and its map file
}
} // namespace
} // namespace orvo::test
