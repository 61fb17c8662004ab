#include <gtest/gtest.h>

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBTimer.h"
#include "platform/headless/HeadlessPlatform.h"

namespace orvo::test
{
namespace
{

class Timer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        Subject.SetOnTimer(
            [this](TDIBComponent& sender)
            {
                EXPECT_EQ(&sender, &Subject);
                Fired.push_back(Platform.Now());
            });
    }

    THeadlessPlatform Platform;
    TDIBTimer Subject{Platform};
    std::vector<std::uint64_t> Fired;
};

TEST_F(Timer, RepeatsEveryIntervalWhileEnabled)
{
    EXPECT_FALSE(Subject.Enabled());
    EXPECT_EQ(Subject.Interval(), 1000u);
    Subject.SetInterval(100);
    Platform.Advance(500);
    EXPECT_TRUE(Fired.empty());
    Subject.SetEnabled(true);
    Platform.Advance(350);
    EXPECT_EQ(Fired, (std::vector<std::uint64_t>{600, 700, 800}));
    Subject.SetEnabled(false);
    Platform.Advance(1000);
    EXPECT_EQ(Fired.size(), 3u);
}

TEST_F(Timer, SameValueKeepsThePeriodAndNewValueRestartsIt)
{
    Subject.SetEnabled(true);
    Platform.Advance(600);
    Subject.SetInterval(1000);
    Subject.SetEnabled(true);
    Platform.Advance(400);
    EXPECT_EQ(Fired, (std::vector<std::uint64_t>{1000}));

    Subject.SetInterval(2000);
    Platform.Advance(1500);
    Subject.SetInterval(50);
    Platform.Advance(50);
    EXPECT_EQ(Fired, (std::vector<std::uint64_t>{1000, 2550}));
}

TEST_F(Timer, AssigningOnTimerRestartsThePeriod)
{
    Subject.SetEnabled(true);
    Platform.Advance(900);
    int other = 0;
    Subject.SetOnTimer([&](TDIBComponent&) { ++other; });
    Platform.Advance(900);
    EXPECT_EQ(other, 0);
    Platform.Advance(100);
    EXPECT_EQ(other, 1);
    Subject.SetOnTimer({});
    Platform.Advance(5000);
    EXPECT_EQ(other, 1);
}

TEST_F(Timer, HandlerMaySwitchToAnotherHandlerAndInterval)
{
    // A 5 s hold, then 10 ms fade ticks, as the credits picture does.
    int fades = 0;
    Subject.SetInterval(5000);
    Subject.SetOnTimer(
        [&](TDIBComponent&)
        {
            Subject.SetOnTimer(
                [&](TDIBComponent&)
                {
                    if (++fades == 25)
                    {
                        Subject.SetEnabled(false);
                    }
                });
            Subject.SetInterval(10);
        });
    Subject.SetEnabled(true);
    Platform.Advance(5000);
    EXPECT_EQ(fades, 0);
    Platform.Advance(250);
    EXPECT_EQ(fades, 25);
    Platform.Advance(1000);
    EXPECT_EQ(fades, 25);
}

TEST_F(Timer, NoTimerLeftLeavesItDisabled)
{
    Platform.SetTimerLimit(0);
    try
    {
        Subject.SetEnabled(true);
        FAIL() << "no error";
    }
    catch (const EDIBError& error)
    {
        EXPECT_STREQ(error.what(), "Not enough timers available");
    }
    EXPECT_FALSE(Subject.Enabled());
    Platform.SetTimerLimit(1);
    Subject.SetEnabled(true);
    Platform.Advance(1000);
    EXPECT_EQ(Fired.size(), 1u);
}

TEST_F(Timer, DestroyingStopsIt)
{
    int ticks = 0;
    {
        TDIBTimer local(Platform);
        local.SetOnTimer([&](TDIBComponent&) { ++ticks; });
        local.SetInterval(10);
        local.SetEnabled(true);
        Platform.Advance(10);
    }
    Platform.Advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(Platform.RunningTimers(), 0u);
}

TEST(HeadlessClock, SimultaneousTimersFireInTheOrderTheyWereScheduled)
{
    THeadlessPlatform platform;
    std::vector<std::string> order;
    TDIBTimer a(platform);
    TDIBTimer b(platform);
    a.SetInterval(30);
    b.SetInterval(20);
    a.SetOnTimer([&](TDIBComponent&) { order.push_back("a" + std::to_string(platform.Now())); });
    b.SetOnTimer([&](TDIBComponent&) { order.push_back("b" + std::to_string(platform.Now())); });
    b.SetEnabled(true);
    a.SetEnabled(true);
    platform.Advance(60);
    EXPECT_EQ(order, (std::vector<std::string>{"b20", "a30", "b40", "a60", "b60"}));
}

} // namespace
} // namespace orvo::test
