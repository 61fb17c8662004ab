// The editor's edits on their way to the host: drained in order as gesture and value events,
// kept when the host's list is full, dropped only when the queue itself is; and whole and in
// order while the user-interface thread pushes and the processing thread drains.
#include <gtest/gtest.h>

#include "clap/TClapEditQueue.h"
#include "tests/support/ClapEventList.h"

#include <thread>

namespace orvo::test
{
namespace
{
using namespace orvo::clap;

TEST(ClapEditQueue, DrainsInOrderAndKeepsWhatTheHostsListRefuses)
{
    TClapEditQueue queue;
    ASSERT_TRUE(queue.Push({ekBegin, 10, 0.0}));
    ASSERT_TRUE(queue.Push({ekValue, 10, 25.0}));
    ASSERT_TRUE(queue.Push({ekEnd, 10, 0.0}));

    TClapEventList out;
    out.SetCapacity(2);
    queue.DrainTo(*out.Output());
    ASSERT_EQ(out.Size(), 2U);
    EXPECT_EQ(out.At(0).type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    ASSERT_NE(out.ParamValueAt(1), nullptr);
    EXPECT_EQ(out.ParamValueAt(1)->param_id, 10U);
    EXPECT_EQ(out.ParamValueAt(1)->value, 25.0);

    out.SetCapacity(3);
    queue.DrainTo(*out.Output());
    ASSERT_EQ(out.Size(), 3U);
    EXPECT_EQ(out.At(2).type, CLAP_EVENT_PARAM_GESTURE_END);
    queue.DrainTo(*out.Output());
    EXPECT_EQ(out.Size(), 3U);
}

TEST(ClapEditQueue, RefusesEditsBeyondItsCapacityUntilDrained)
{
    TClapEditQueue queue;
    for (std::uint32_t i = 0; i < TClapEditQueue::Capacity; ++i)
    {
        ASSERT_TRUE(queue.Push({ekValue, 1, static_cast<double>(i)}));
    }
    EXPECT_FALSE(queue.Push({ekValue, 1, -1.0}));
    TClapEventList out;
    queue.DrainTo(*out.Output());
    EXPECT_EQ(out.Size(), TClapEditQueue::Capacity);
    EXPECT_EQ(out.ParamValueAt(TClapEditQueue::Capacity - 1)->value,
              static_cast<double>(TClapEditQueue::Capacity - 1));
    EXPECT_TRUE(queue.Push({ekValue, 1, 0.0}));
}
TEST(ClapEditQueue, HandsEveryEditOverInOrderBetweenTwoThreads)
{
    constexpr std::uint32_t Edits = 20000;
    TClapEditQueue queue;
    std::thread editor(
        [&]
        {
            for (std::uint32_t i = 0; i < Edits;)
            {
                i += queue.Push({ekValue, i % 15, static_cast<double>(i)}) ? 1 : 0;
            }
        });
    TClapEventList out;
    out.SetCapacity(Edits);
    while (out.Size() < Edits)
    {
        queue.DrainTo(*out.Output());
    }
    editor.join();
    for (std::uint32_t i = 0; i < Edits; ++i)
    {
        const clap_event_param_value_t* edit = out.ParamValueAt(i);
        ASSERT_NE(edit, nullptr);
        ASSERT_EQ(edit->value, static_cast<double>(i));
        ASSERT_EQ(edit->param_id, i % 15);
    }
}
} // namespace
} // namespace orvo::test
