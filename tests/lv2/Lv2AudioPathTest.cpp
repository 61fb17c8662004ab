// LV2 run allocates nothing: long runs (cut into the effect's call size) on both chains,
// port changes, the oversampling switch, MIDI in and thru, mapped controllers, the UI's MIDI
// menu commands and the map reply. Counts every
// operator new of the program while a probe lives.
#include "tests/lv2/TLv2HostFixture.h"
#include "tests/support/AllocationProbe.h"

namespace orvo::test
{
namespace
{
using Lv2AudioPath = TLv2HostFixture;

TEST_F(Lv2AudioPath, RunAllocatesNothing)
{
    auto instance = Instantiate();
    const std::vector<TMidiAt> events{{10, {0xB0, 22, 100}},
                                      {900, {0x90, 60, 1}},
                                      {3000, {0xB0, 34, 0}}}; // CC 34: OverSample off
    const std::uint32_t runs[] = {4096, 1, 4096, 333};
    const std::vector<lv2::TMidiMenuMessage> commands[] = {
        {{lv2::mmLearn, prTube}, {lv2::mmReport, NoBinding}},
        {{lv2::mmReset, NoBinding}},
        {{lv2::mmRestoreDefault, NoBinding}, {lv2::mmReport, NoBinding}},
        {}};
    for (std::size_t r = 0; r < std::size(runs); ++r)
    {
        // Both chains, switched by the port and by the controller inside the long runs.
        Controls[prOverSample] = r % 2 == 0 ? 1.0f : 0.0f;
        Controls[prTuning] = static_cast<float>(r);
        PrepareRun(runs[r] == 4096 ? events : std::vector<TMidiAt>{}, commands[r]);
        const TAllocationProbe probe;
        instance->Run(runs[r]);
        EXPECT_EQ(probe.Count(), 0u) << "run " << r;
        EXPECT_EQ(ReceivedMidi().size(), runs[r] == 4096 ? 3u : 0u) << "run " << r;
        EXPECT_EQ(ReceivedReply().has_value(), r != 1 && r != 3) << "run " << r;
    }
}
} // namespace
} // namespace orvo::test
