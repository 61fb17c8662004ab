// The session state: what one effect saves another restores whole, and bytes that are no
// state (garbage, empty, cut short, out of range) are refused without a change.
#include <gtest/gtest.h>

#include "core/uEffectState.h"
#include "core/uOrvoEffect.h"
#include "platform/headless/HeadlessServices.h"

namespace orvo::test
{
namespace
{
struct EffectState : ::testing::Test
{
    THeadlessServices Headless;
    TPluginServices Services{Headless.ModuleFile, Headless.Resources, Headless.FileSystem,
                             Headless.Locale, Headless.MessageBox};
};

TEST_F(EffectState, CarriesProgramValuesAndBindingsIntoAnotherEffect)
{
    TOrvoEffect saved(Services, nullptr);
    saved.SetProgram(7);
    saved.SetParameter(prTube, 0.125f);
    saved.StartMidiLearn(prHi);
    saved.QueueMidi(0, {0xB0, 90, 64});
    float* none[2] = {nullptr, nullptr};
    saved.Process(none, none, 1);

    TOrvoEffect restored(Services, nullptr);
    ASSERT_TRUE(restored.LoadState(saved.SaveState()));
    EXPECT_EQ(restored.Program(), 7);
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        EXPECT_EQ(restored.Parameter(i), saved.Parameter(i)) << i;
    }
    EXPECT_EQ(restored.MidiMap(), saved.MidiMap());
    EXPECT_EQ(restored.MidiMap().CcToParam[90], prHi);
}

TEST_F(EffectState, RefusesBytesThatAreNoStateAndChangesNothing)
{
    TOrvoEffect source(Services, nullptr);
    const std::vector<std::uint8_t> good = source.SaveState();
    std::vector<std::vector<std::uint8_t>> bad{
        {}, {'O'}, std::vector<std::uint8_t>(good.size(), 0xA5)};
    for (std::size_t cut = 1; cut < good.size(); cut += 7)
    {
        bad.emplace_back(good.begin(), good.end() - static_cast<std::ptrdiff_t>(cut));
    }
    auto withByte = [&](std::size_t at, std::uint8_t value)
    {
        auto bytes = good;
        bytes[at] = value;
        return bytes;
    };
    bad.push_back(withByte(4, 2));          // a later version
    bad.push_back(withByte(6, 200));        // more parameters than this build has
    bad.push_back(withByte(8, 16));         // no such program
    bad.push_back(withByte(12 + 3, 0x7F));  // a value far above 1
    bad.push_back(withByte(12 + 64, 0x40)); // CC 0 bound to parameter 64
    bad.push_back(good);
    bad.back().push_back(0); // one byte too many

    TOrvoEffect target(Services, nullptr);
    target.SetParameter(prLo, 0.25f);
    const std::vector<std::uint8_t> before = target.SaveState();
    for (std::size_t i = 0; i < bad.size(); ++i)
    {
        EXPECT_FALSE(target.LoadState(bad[i])) << "case " << i;
    }
    EXPECT_EQ(target.SaveState(), before);
}

TEST_F(EffectState, LoadsAStateWithFewerParametersWithTheTableDefaultsForTheRest)
{
    TEffectState state;
    state.Program = 3;
    state.Values.fill(1.0f);
    std::vector<std::uint8_t> bytes = EncodeEffectState(state);
    // The same state as a build with 15 parameters writes it.
    bytes[6] = 15;
    bytes.erase(bytes.begin() + 12 + 4 * 15, bytes.begin() + 12 + 4 * 16);
    bytes.pop_back();
    const auto decoded = DecodeEffectState(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Values[prTube], 1.0f);
    EXPECT_EQ(decoded->Values[prReserved], InfoOf(prReserved).Default);
}
} // namespace
} // namespace orvo::test
