// Right-button mode on and off, and the polls that follow its end: requests
// as the simulated controller logged them, pictures as the screen shows them.
#include <gtest/gtest.h>
#include "kapletbench.h"

class RightButtonPolling : public kaplet::ToolCase {
protected:
    // Each case sets the controller up (or leaves it out) and then starts the tool.
    void SetUp() override {}

    // The log once it has stopped growing for a few poll periods.
    std::vector<bench::SimRequest> SettledLog()
    {
        std::vector<bench::SimRequest> log = bench::ReadSimLog();
        for (;;) {
            bench::Pause(1000);
            std::vector<bench::SimRequest> again = bench::ReadSimLog();
            if (again.size() == log.size())
                return again;
            log = again;
        }
    }
};

TEST_F(RightButtonPolling, ClickSwitchesOnPollsEvery300MsUntilTheSecondClickSwitchesOff)
{
    bench::InstallTouchSim();
    StartToolOrFail();
    kaplet::ClickPicture(tool.window);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
    std::vector<bench::SimRequest> log = kaplet::WaitForRequests(6);
    ASSERT_GE(log.size(), 6u) << "fewer than five polls within ten seconds";
    EXPECT_EQ(kaplet::ShownPicture(tool.window), kaplet::SHOWS_RIGHT);

    kaplet::ClickPicture(tool.window);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_LEFT));
    log = SettledLog();
    ASSERT_GE(log.size(), 7u);

    // mode 1, then status requests only, then mode 0 as the last request.
    for (const bench::SimRequest &r : log)
        EXPECT_EQ(r.code, bench::kMouseStatusRequest);
    EXPECT_TRUE(log.front().hasIn);
    EXPECT_EQ(log.front().in, 1u);
    EXPECT_TRUE(log.back().hasIn);
    EXPECT_EQ(log.back().in, 0u);
    std::vector<bench::SimRequest> polls(log.begin() + 1, log.end() - 1);
    ASSERT_EQ(kaplet::StatusRequests(log).size(), polls.size());
    // Each poll comes a full period after the request before it has ended:
    // never sooner (generous for timer jitter), and on average not much later
    // (generous for a machine busy with other tests).
    for (size_t i = 1; i < log.size() - 1; i++) {
        uint64_t gapUs = log[i].timeUs - log[i - 1].timeUs;
        EXPECT_GE(gapUs, 280000u) << "poll " << i << " came " << gapUs << " us after the request before it";
    }
    uint64_t spanUs = log[log.size() - 2].timeUs - log[0].timeUs;
    EXPECT_LE(spanUs / polls.size(), 800000u) << "polls are on average " << spanUs / polls.size() << " us apart";
    for (const bench::SimRequest &r : polls)
        EXPECT_EQ(r.out, 1u);
    EXPECT_TRUE(bench::DebugOutput(tool.program).empty());
}

TEST_F(RightButtonPolling, ModeEndedByTheControllerBringsTheLeftPictureBackAndSendsNothing)
{
    bench::InstallTouchSim();
    // Bit 2 alone also means "still on"; the third poll finds the mode ended.
    bench::SetTouchSim("StatusOn", 4);
    bench::SetTouchSim("EndAfterPolls", 3);
    StartToolOrFail();
    kaplet::ClickPicture(tool.window);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
    std::vector<bench::SimRequest> log = kaplet::WaitForRequests(4);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_LEFT)) << "the left picture did not return";
    log = SettledLog();
    ASSERT_EQ(log.size(), 4u) << "expected mode 1 and three polls, nothing after the mode ended";
    EXPECT_EQ(log[0].in, 1u);
    EXPECT_EQ(log[1].out, 4u);
    EXPECT_EQ(log[2].out, 4u);
    EXPECT_EQ(log[3].out, 0u);

    // The tool is back in Left: the next click switches on again.
    kaplet::ClickPicture(tool.window);
    log = kaplet::WaitForRequests(5);
    ASSERT_GE(log.size(), 5u);
    EXPECT_TRUE(log[4].hasIn);
    EXPECT_EQ(log[4].in, 1u);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
}

TEST_F(RightButtonPolling, FailedRequestsAreTracedAndAFailedPollEndsTheMode)
{
    bench::InstallTouchSim();
    bench::SetTouchSim("FailCode", bench::kMouseStatusRequest);
    StartToolOrFail();
    kaplet::ClickPicture(tool.window);
    // The picture flips although the driver refused the mode...
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
    // ...and the first poll, failing too, reads as "ended".
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_LEFT));
    std::vector<bench::SimRequest> log = SettledLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].in, 1u);
    EXPECT_FALSE(log[1].hasIn);
    EXPECT_EQ(log[0].status, 0xC0000001u);
    EXPECT_EQ(log[1].status, 0xC0000001u);
    EXPECT_EQ(bench::DebugOutput(tool.program),
              (std::vector<std::string>{"Get current mouse status fail(1:0:31)\n",
                                        "Get current mouse status fail(0:0:31)\n"}));
}

TEST_F(RightButtonPolling, WithoutTheDeviceClicksStillFlipAndTheFirstPollStopsPolling)
{
    StartToolOrFail();
    kaplet::ClickPicture(tool.window);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
    // Several periods later the right picture still stands: a missing device
    // is not an ended mode.
    bench::Pause(1000);
    EXPECT_EQ(kaplet::ShownPicture(tool.window), kaplet::SHOWS_RIGHT);

    // The device appears now; had polling gone on, the controller would see it.
    bench::InstallTouchSim();
    bench::Pause(1200);
    EXPECT_TRUE(bench::ReadSimLog().empty()) << "the tool kept polling after finding no device";

    kaplet::ClickPicture(tool.window);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_LEFT));
    std::vector<bench::SimRequest> log = SettledLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].in, 0u);

    bench::StopTouchSim();
    for (kaplet::Shown expected : {kaplet::SHOWS_RIGHT, kaplet::SHOWS_LEFT}) {
        kaplet::ClickPicture(tool.window);
        EXPECT_TRUE(kaplet::WaitForShown(tool.window, expected)) << "expected " << kaplet::ShownName(expected);
    }
    EXPECT_TRUE(bench::DebugOutput(tool.program).empty());
}
