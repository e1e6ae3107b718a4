// What the calibration window puts on the display, read back as pixels: the
// cross exactly centred on each target point of the bench's 1024 x 768, the
// tick and the instruction in its colour, and the check screen with the
// finger picture, its text and the two buttons. Bitmaps copied with BitBlt
// keep their exact colours; text is anti-aliased at its edges, so text is
// judged by how many pixels carry its colour.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "calibtexts.h"

using namespace caltest;

static const COLORREF kWhite = RGB(255, 255, 255);
static const COLORREF kTextColour = RGB(0, 102, 255);

static RECT Rect(int left, int top, int right, int bottom)
{
    RECT r = {left, top, right, bottom};
    return r;
}

static int Area(const RECT &r) { return (r.right - r.left) * (r.bottom - r.top); }

class CalibrationScreen : public CalibrationCase {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CalibrationCase::SetUp());
        cross = ProgramBitmap(102);
        tick = ProgramBitmap(104);
        finger = ProgramBitmap(105);
        ASSERT_EQ(cross.width, 65);
    }

    bench::Picture cross, tick, finger;
};

TEST_F(CalibrationScreen, EachTargetIsCentredOnItsPointWithTheInstruction)
{
    for (int step = 1; step <= 4; step++) {
        SCOPED_TRACE(step);
        if (step > 1)
            TouchTarget(step - 1, step - 1);
        bench::Screen screen = bench::CaptureScreen();
        ASSERT_EQ(screen.width, 1024);
        POINT c = kTargets[step - 1];
        EXPECT_EQ(DifferingPixels(screen, cross, c.x - 32, c.y - 32), 0) << "cross not centred on " << c.x << "," << c.y;
        // The erase leaves no other cross behind.
        for (int other = 0; other < 4; other++)
            if (other != step - 1) {
                RECT around = Rect(kTargets[other].x - 32, kTargets[other].y - 32, kTargets[other].x + 33,
                                   kTargets[other].y + 33);
                EXPECT_EQ(screen.Count(around, kWhite), Area(around)) << "left-over cross " << other + 1;
            }
        EXPECT_EQ(DifferingPixels(screen, tick, 392, 334), 0) << "tick";
        RECT instruction = Rect(412, 334, 612, 484);
        EXPECT_GT(screen.Count(instruction, kTextColour), 100) << "instruction text";
        // Two short lines at the top of the rectangle, centred: nothing below.
        EXPECT_EQ(screen.Count(Rect(412, 384, 612, 484), kWhite), 200 * 100);
        // No check screen yet.
        EXPECT_EQ(screen.Count(Rect(467, 164, 558, 273), kWhite), 91 * 109) << "finger picture";
    }
}

TEST_F(CalibrationScreen, CheckScreenShowsThePictureTheQuestionAndTwoButtons)
{
    TouchAllTargets();
    bench::Screen screen = bench::CaptureScreen();

    EXPECT_EQ(DifferingPixels(screen, finger, 467, 164), 0) << "finger picture";
    RECT question = Rect(312, 284, 712, 484);
    EXPECT_GT(screen.Count(question, kTextColour), 300) << "check text";
    for (POINT t : kTargets) {
        RECT around = Rect(t.x - 32, t.y - 32, t.x + 33, t.y + 33);
        EXPECT_EQ(screen.Count(around, kWhite), Area(around)) << "a cross is left at " << t.x << "," << t.y;
    }
    // The tick went with the targets (its lower rows lie under the "OK" button).
    EXPECT_EQ(screen.Count(Rect(392, 334, 420, 354), kWhite), 28 * 20) << "tick";

    struct { const char *text; RECT place; } buttons[] = {
        {kOkLabel, Rect(407, 354, 507, 404)},
        {kAdjustLabel, Rect(517, 354, 617, 404)},
    };
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.text);
        HWND button = FindButton(window, b.text);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(IsWindowVisible(button));
        RECT r;
        GetWindowRect(button, &r);
        EXPECT_EQ(r.left, b.place.left);
        EXPECT_EQ(r.top, b.place.top);
        EXPECT_EQ(r.right, b.place.right);
        EXPECT_EQ(r.bottom, b.place.bottom);
        // Drawn on the screen: a button face, not the white of the window,
        // with its caption in black on it.
        RECT inside = Rect(b.place.left + 3, b.place.top + 3, b.place.right - 3, b.place.bottom - 3);
        EXPECT_LT(screen.Count(inside, kWhite), Area(inside) / 10);
        EXPECT_GT(screen.Count(inside, RGB(0, 0, 0)), 10);
    }
}
