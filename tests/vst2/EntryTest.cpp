// The exported entry, on a module of its own around a test effect: loaded with dlopen and
// driven through its two exported names only. (Its exports are checked on the real module.)

#include <gtest/gtest.h>

#include "tests/support/TestHost.h"

#include <dlfcn.h>
#include <string>

namespace orvo::test
{
namespace
{

using TEntry = AEffect* (*)(audioMasterCallback);

class Entry : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        FHandle = dlopen(ORVO_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FHandle, nullptr) << dlerror();
        FPluginMain = reinterpret_cast<TEntry>(dlsym(FHandle, "VSTPluginMain"));
        FMain = reinterpret_cast<TEntry>(dlsym(FHandle, "main"));
        ASSERT_NE(FPluginMain, nullptr);
        ASSERT_NE(FMain, nullptr);
    }
    void TearDown() override
    {
        if (FHandle)
        {
            dlclose(FHandle);
        }
    }

    void* FHandle = nullptr;
    TEntry FPluginMain = nullptr;
    TEntry FMain = nullptr;
    TestHost FHost;
};

TEST_F(Entry, BothNamesAreOneFunction)
{
    EXPECT_EQ(reinterpret_cast<void*>(FPluginMain), reinterpret_cast<void*>(FMain));
    for (TEntry entry : {FPluginMain, FMain})
    {
        AEffect* record = entry(TestHost::Callback);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->magic, kEffectMagic);
        EXPECT_EQ(record->uniqueID, fourCharCode('T', 'e', 's', 't'));
        EXPECT_EQ(record->numInputs, 2);
        EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    }
    const auto versionCalls = FHost.CallsOf(audioMasterVersion);
    ASSERT_EQ(versionCalls.size(), 2u);
    EXPECT_EQ(versionCalls[0].effect, nullptr);
    EXPECT_EQ(FHost.CallsOf(audioMasterIdle).size(), 2u); // each instance destroyed once
}

TEST_F(Entry, NoInstanceWhenTheHostAnswersVersionZero)
{
    FHost.SetAnswer(audioMasterVersion, 0);
    EXPECT_EQ(FPluginMain(TestHost::Callback), nullptr);
    EXPECT_EQ(FHost.Calls().size(), 1u); // the version question only: nothing was built
    EXPECT_EQ(FPluginMain(nullptr), nullptr);
}

TEST_F(Entry, NoInstanceWhenConstructionFails)
{
    FHost.SetAnswer(audioMasterGetVendorVersion, 666);
    EXPECT_EQ(FMain(TestHost::Callback), nullptr);
    FHost.SetAnswer(audioMasterGetVendorVersion, 667);
    EXPECT_EQ(FMain(TestHost::Callback), nullptr);
}

TEST_F(Entry, InstancesAreIndependent)
{
    AEffect* first = FPluginMain(TestHost::Callback);
    AEffect* second = FPluginMain(TestHost::Callback);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    first->dispatcher(first, effSetProgram, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(second->dispatcher(second, effGetVstVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f), 1);
}

} // namespace
} // namespace orvo::test
