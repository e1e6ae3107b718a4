// The tool's window as the user and other programs see it: where it stands,
// what it looks like at start, that starting asks the driver nothing, and
// that closing it ends the program without telling the driver anything.
#include <gtest/gtest.h>
#include "kapletbench.h"
#include "kaplettexts.h"

class RightButtonWindow : public kaplet::ToolCase {
protected:
    void SteerController() override { bench::SetTouchSim("StatusOn", 4); }
};

TEST_F(RightButtonWindow, SmallTopmostCaptionWindowInTheCornerShowsTheLeftPicture)
{
    EXPECT_EQ(bench::WindowText(tool.window), kaplet::kToolTitle);
    LONG style = GetWindowLongA(tool.window, GWL_STYLE);
    // Windows adds WS_CLIPSIBLINGS to every top-level window; WS_VISIBLE is from showing it.
    EXPECT_EQ((DWORD)style & ~(DWORD)(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80C80000u);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(tool.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT outer;
    GetWindowRect(tool.window, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right - outer.left, 80);
    EXPECT_EQ(outer.bottom - outer.top, 100);

    EXPECT_EQ(kaplet::ShownPicture(tool.window), kaplet::SHOWS_LEFT);
    // Around the picture the client area is the light-grey class background.
    RECT client;
    GetClientRect(tool.window, &client);
    POINT at = kaplet::ClientOrigin(tool.window);
    bench::Screen screen = bench::CaptureScreen();
    RECT band = {at.x, at.y, at.x + client.right, at.y + 10};
    EXPECT_EQ(screen.Count(band, RGB(192, 192, 192)), client.right * 10);
    RECT below = {at.x, at.y + 60, at.x + client.right, at.y + client.bottom};
    EXPECT_EQ(screen.Count(below, RGB(192, 192, 192)), client.right * (client.bottom - 60));

    bench::Pause(700);
    EXPECT_TRUE(bench::ReadSimLog().empty()) << "start-up asked the driver something";
    EXPECT_TRUE(bench::DebugOutput(tool.program).empty());
}

TEST_F(RightButtonWindow, ClosingInRightModeEndsWithZeroAndSendsNothing)
{
    kaplet::ClickPicture(tool.window);
    ASSERT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
    kaplet::WaitForRequests(2);   // mode 1 and a first poll: the timer runs

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0xFFFFFFFF;
    ASSERT_TRUE(bench::WaitProgram(tool.program, bench::kHangGuardMs, &exitCode)) << "the tool did not end on WM_CLOSE";
    EXPECT_EQ(exitCode, 0u);

    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    std::vector<bench::SimRequest> modes = kaplet::ModeRequests(log);
    ASSERT_EQ(modes.size(), 1u) << "closing sent a mode";
    EXPECT_EQ(modes[0].in, 1u);
    EXPECT_TRUE(bench::DebugOutput(tool.program).empty());
}
