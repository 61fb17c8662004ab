// The Standard MIDI File reader: tempo map, running status, track merging, SMPTE time,
// and refusal of damaged files.
#include <gtest/gtest.h>

#include "tests/render/uRenderTestSupport.h"
#include "tools/render/uMidiFile.h"

namespace orvo
{
namespace
{

using test::TMidiFileBuilder;

TEST(ParseMidiFile, FollowsTempoChangesAndRunningStatus)
{
    // 480 ticks per beat; 120 bpm, then 240 bpm from tick 960 (1 s).
    const auto bytes = TMidiFileBuilder(0, 480)
                           .Track()
                           .Tempo(0, 500000)
                           .Event(480, {0x91, 60, 100}) // 0.5 s
                           .Event(480, {62, 90})        // running status, 1.0 s
                           .Tempo(0, 250000)
                           .Event(480, {0xB2, 33, 0}) // 1.0 + 480 ticks at 0.25 s/beat
                           .Event(0, {0xC5, 7})       // two-byte message
                           .Bytes();
    const auto events = ParseMidiFile(bytes);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_DOUBLE_EQ(events[0].Seconds, 0.5);
    EXPECT_DOUBLE_EQ(events[1].Seconds, 1.0);
    EXPECT_EQ(events[1].Bytes, (std::array<std::uint8_t, 3>{0x91, 62, 90}));
    EXPECT_DOUBLE_EQ(events[2].Seconds, 1.25);
    EXPECT_EQ(events[3].Bytes, (std::array<std::uint8_t, 3>{0xC5, 7, 0}));
}

TEST(ParseMidiFile, MergesTracksInTimeOrderKeepingTrackOrderForTies)
{
    // Format 1: the tempo track first, then two tracks whose events interleave.
    const auto bytes = TMidiFileBuilder(1, 96)
                           .Track()
                           .Tempo(0, 1000000) // 1 s per beat
                           .Track()
                           .Event(96, {0xB0, 1, 1})
                           .Event(96, {0xB0, 1, 3})
                           .Track()
                           .Event(48, {0xB0, 2, 0})
                           .Event(48, {0xB0, 2, 2})
                           .Bytes();
    const auto events = ParseMidiFile(bytes);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_DOUBLE_EQ(events[0].Seconds, 0.5);
    EXPECT_EQ(events[1].Bytes[2], 1) << "at 1 s the earlier track's event comes first";
    EXPECT_EQ(events[2].Bytes[2], 2);
    EXPECT_DOUBLE_EQ(events[3].Seconds, 2.0);
}

TEST(ParseMidiFile, ReadsSmpteTimeAndIgnoresTempoThere)
{
    // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
    const auto bytes =
        TMidiFileBuilder(0, 0xE728).Track().Tempo(0, 250000).Event(1500, {0x90, 64, 1}).Bytes();
    const auto events = ParseMidiFile(bytes);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_DOUBLE_EQ(events[0].Seconds, 1.5);
}

TEST(ParseMidiFile, SkipsSysExAndMetaEventsWhichEndRunningStatus)
{
    const auto skipped = TMidiFileBuilder(0, 96)
                             .Track()
                             .Event(0, {0xF0, 0x03, 0x7E, 0x01, 0xF7})
                             .Event(0, {0xFF, 0x03, 0x02, 'h', 'i'})
                             .Event(10, {0x90, 60, 1})
                             .Bytes();
    ASSERT_EQ(ParseMidiFile(skipped).size(), 1u);

    const auto orphan = TMidiFileBuilder(0, 96)
                            .Track()
                            .Event(0, {0x90, 60, 1})
                            .Event(0, {0xFF, 0x01, 0x00})
                            .Event(0, {61, 1}) // running status after a meta event
                            .Bytes();
    EXPECT_THROW(static_cast<void>(ParseMidiFile(orphan)), EMidiFile);
}

TEST(ParseMidiFile, RefusesDamagedFiles)
{
    const auto good = TMidiFileBuilder(0, 96).Track().Event(0, {0x90, 60, 1}).Bytes();
    ASSERT_NO_THROW(static_cast<void>(ParseMidiFile(good)));

    auto truncated = good;
    truncated.resize(truncated.size() - 6); // the track claims more bytes than there are
    auto wrongMagic = good;
    wrongMagic[0] = 'X';
    auto formatTwo = good;
    formatTwo[9] = 2;
    auto zeroDivision = good;
    zeroDivision[12] = zeroDivision[13] = 0;
    const auto cutEvent = TMidiFileBuilder(0, 96).Track().Event(0, {0x90}).Bytes();
    const auto longQuantity = TMidiFileBuilder(0, 96)
                                  .Track()
                                  .Event(0, {0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})
                                  .Bytes();

    const std::vector<const std::vector<std::uint8_t>*> damaged{
        &truncated, &wrongMagic, &formatTwo, &zeroDivision, &cutEvent, &longQuantity};
    for (std::size_t i = 0; i < damaged.size(); ++i)
    {
        EXPECT_THROW(static_cast<void>(ParseMidiFile(*damaged[i])), EMidiFile) << "file " << i;
    }
    EXPECT_THROW(static_cast<void>(ParseMidiFile({})), EMidiFile);
}

} // namespace
} // namespace orvo
