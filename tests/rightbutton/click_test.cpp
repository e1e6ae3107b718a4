// Which pointer gestures make a click: a left press in the client area
// followed by a left release there. The press may lie any time back; the
// right button does nothing.
#include <gtest/gtest.h>
#include "kapletbench.h"

class RightButtonClick : public kaplet::ToolCase {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ToolCase::SetUp());
        POINT at = kaplet::ClientOrigin(tool.window);
        inside.x = at.x + 35;
        inside.y = at.y + 35;
    }
    // Gives the tool time to act on what it was sent, then checks it did nothing.
    void ExpectNoChange(const char *after)
    {
        bench::Pause(800);
        EXPECT_TRUE(bench::ReadSimLog().empty()) << "the driver was sent something after " << after;
        EXPECT_EQ(kaplet::ShownPicture(tool.window), kaplet::SHOWS_LEFT) << "after " << after;
    }
    void Drag(POINT from, POINT to)
    {
        bench::MoveTo(from.x, from.y);
        bench::PressButton(true);
        bench::MoveTo(to.x, to.y);
        bench::PressButton(false);
    }
    POINT inside;
};

TEST_F(RightButtonClick, RightButtonChangesNothing)
{
    kaplet::ClickPicture(tool.window, true);
    ExpectNoChange("a right click");
    bench::MoveTo(inside.x, inside.y);
    bench::PressButton(true, true);
    bench::PressButton(false);   // a left release whose press was the right button's
    ExpectNoChange("right press, left release");

    kaplet::ClickPicture(tool.window);
    std::vector<bench::SimRequest> log = kaplet::WaitForRequests(1);
    ASSERT_FALSE(log.empty()) << "a left click after them does not switch";
    EXPECT_EQ(log[0].in, 1u);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));
}

TEST_F(RightButtonClick, OnlyAPressInsideCountsAndItWaitsForTheNextReleaseInside)
{
    Drag(kaplet::Outside(), inside);
    ExpectNoChange("a press outside released inside");

    Drag(inside, kaplet::Outside());
    ExpectNoChange("a press inside released outside");

    // The press inside is still pending: this release inside completes it,
    // although its own press was outside.
    Drag(kaplet::Outside(), inside);
    std::vector<bench::SimRequest> log = kaplet::WaitForRequests(1);
    ASSERT_FALSE(log.empty()) << "the pending press was lost";
    EXPECT_EQ(log[0].in, 1u);
    EXPECT_TRUE(kaplet::WaitForShown(tool.window, kaplet::SHOWS_RIGHT));

    // Used up: the next such gesture does nothing again.
    Drag(kaplet::Outside(), inside);
    bench::Pause(500);
    EXPECT_EQ(kaplet::ModeRequests(bench::ReadSimLog()).size(), 1u);
    EXPECT_EQ(kaplet::ShownPicture(tool.window), kaplet::SHOWS_RIGHT);
}
