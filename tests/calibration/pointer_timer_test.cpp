// The pointer's visibility over a whole session, however the check screen is
// used (taps there change nothing else), and the 30-second limit of a pass.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "calibtexts.h"

using namespace caltest;

static const POINT kAdjustButton = {567, 379};

class CalibrationSession : public CalibrationCase {
protected:
    bool Running()
    {
        DWORD code;
        return !bench::WaitProgram(program, 0, &code);
    }

    void AdjustAgain()
    {
        bench::ClickAt(kAdjustButton.x, kAdjustButton.y);
        HWND ok = FindButton(window, kOkLabel);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(ok); }));
        bench::Pause(300);
    }
};

TEST_F(CalibrationSession, PointerHiddenOnTargetsAndShownOnEveryCheckScreen)
{
    EXPECT_FALSE(PointerShowing()) << "at the first target";
    TouchAllTargets();
    EXPECT_TRUE(PointerShowing()) << "on the first check screen";

    // Each tap repaints the check screen and changes nothing else; the
    // repaints must not pile up "shows" that keep the pointer on the next
    // pass's targets.
    for (int i = 0; i < 4; i++)
        bench::ClickAt(100 + 200 * i, 650);
    bench::Pause(300);
    EXPECT_TRUE(PointerShowing()) << "after taps on the check screen";
    EXPECT_TRUE(IsWindowVisible(FindButton(window, kOkLabel)));
    EXPECT_EQ(Requests(bench::kGetXYRequest).size(), 4u);
    EXPECT_EQ(Requests(bench::kUpdateParametersRequest).size(), 1u);
    EXPECT_EQ(bench::DebugOutput(program).size(), 4u);
    ExpectStoredValues(NewCalibrationValues());

    AdjustAgain();
    EXPECT_FALSE(PointerShowing()) << "at the first target of the second pass";
    TouchTarget(1, 5);
    EXPECT_FALSE(PointerShowing()) << "at the second target of the second pass";
    for (int step = 2; step <= 4; step++)
        TouchTarget(step, 4 + step);
    ASSERT_TRUE(WaitUntil([&] { return Requests(bench::kUpdateParametersRequest).size() == 2; }));
    bench::Pause(300);
    EXPECT_TRUE(PointerShowing()) << "on the second check screen";

    // "Adjust Again" straight away, with no tap in between, and once more.
    AdjustAgain();
    EXPECT_FALSE(PointerShowing()) << "at the first target of the third pass";
}

TEST_F(CalibrationSession, TimeLimitEndsThePassAndStoresNothingBeforeTheFourthTouch)
{
    for (int step = 1; step <= 3; step++)
        TouchTarget(step, step);
    DWORD code = 0xDEAD;
    ASSERT_TRUE(bench::WaitProgram(program, 40000, &code)) << "still running 40 s later";
    DWORD ranMs = GetTickCount() - startTick;
    EXPECT_EQ(code, 0u);
    EXPECT_GE(ranMs, 29000u);
    ExpectStoredValues(StartValuesWithFlag(1));
    EXPECT_TRUE(Requests(bench::kUpdateParametersRequest).empty());
    EXPECT_TRUE(bench::ReadValue(HKEY_CURRENT_USER, kRunKey, "ZentaroxUsb").exists);
}

TEST_F(CalibrationSession, AdjustAgainGivesTheNewPassItsOwnThirtySeconds)
{
    TouchAllTargets();
    // Let most of the first pass's time run out on the check screen.
    bench::Pause(20000 - (GetTickCount() - startTick));
    AdjustAgain();
    DWORD restart = GetTickCount();
    bench::Pause(15000);
    EXPECT_TRUE(Running()) << "ended with the first pass's timer";

    DWORD code = 0xDEAD;
    ASSERT_TRUE(bench::WaitProgram(program, 30000, &code));
    EXPECT_GE(GetTickCount() - restart, 29000u);
    EXPECT_EQ(code, 0u);
    // Ended by the timer: the restore of "Adjust Again" is what stays.
    ExpectStoredValues(StartValuesWithFlag(0));
}
