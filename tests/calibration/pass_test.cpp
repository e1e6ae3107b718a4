// Whole calibrations, driven like a user would: real pointer clicks on the
// targets while the simulated controller supplies the raw readings, then
// "OK", "Adjust Again", Escape or Space (the time limit is
// pointer_timer_test.cpp's). Judged by what the driver's key holds, what the
// controller was asked and saw, the trace lines and the program's exit.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "calibtexts.h"

using namespace caltest;

// Centres of the check screen's buttons on 1024 x 768.
static const POINT kOkButton = {457, 379};
static const POINT kAdjustButton = {567, 379};

class CalibrationPass : public CalibrationCase {
protected:
    DWORD WaitForExit(DWORD timeoutMs = 15000)
    {
        DWORD code = 0xDEAD;
        EXPECT_TRUE(bench::WaitProgram(program, timeoutMs, &code)) << "the program did not end";
        return code;
    }

    bool OnCheckScreen()
    {
        HWND ok = FindButton(window, kOkLabel);
        return ok && IsWindowVisible(ok);
    }
};

static bool RunValueLeft()
{
    return bench::ReadValue(HKEY_CURRENT_USER, kRunKey, "ZentaroxUsb").exists;
}

TEST_F(CalibrationPass, StoresTheFourRawReadingsAndTheScreenSizeThenTellsTheDriverOnce)
{
    TouchAllTargets();

    ExpectStoredValues(NewCalibrationValues());

    // Four readings, then one reload request, sent once all eleven values
    // were in the key: the controller saw every one of them at that moment.
    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 5u);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(log[i].code, bench::kGetXYRequest);
        EXPECT_EQ(log[i].out, kWords[i]);
    }
    EXPECT_EQ(log[4].code, bench::kUpdateParametersRequest);
    ASSERT_TRUE(log[4].hasParams);
    std::vector<DWORD> expected = NewCalibrationValues();
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(log[4].params[i], (int64_t)expected[i]) << kValueNames[i];

    EXPECT_EQ(bench::DebugOutput(program), (std::vector<std::string>{
        "$$$$$$$$XY( 3000,  150)\n",
        "$$$$$$$$XY2(61234,  567)\n",
        "$$$$$$$$XY( 1234,60001)\n",
        "$$$$$$$$XY(65535,    0)\n",
    }));
    EXPECT_TRUE(OnCheckScreen());
    EXPECT_TRUE(RunValueLeft()) << "the Run value goes only with \"OK\"";
}

TEST_F(CalibrationPass, OkStoresAgainTellsTheDriverAgainAndStopsTheStartAtLogon)
{
    bench::WriteString(HKEY_CURRENT_USER, kRunKey, "Other", "other.exe");
    TouchAllTargets();
    bench::ClickAt(kOkButton.x, kOkButton.y);
    EXPECT_EQ(WaitForExit(), 0u);

    std::vector<bench::SimRequest> updates = Requests(bench::kUpdateParametersRequest);
    ASSERT_EQ(updates.size(), 2u);
    std::vector<DWORD> expected = NewCalibrationValues();
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(updates[1].params[i], (int64_t)expected[i]) << kValueNames[i];
    EXPECT_EQ(Requests(bench::kGetXYRequest).size(), 4u);
    ExpectStoredValues(expected);
    EXPECT_FALSE(RunValueLeft());
    EXPECT_TRUE(bench::ReadValue(HKEY_CURRENT_USER, kRunKey, "Other").exists);
}

TEST_F(CalibrationPass, AdjustAgainPutsTheStartValuesBackAndBeginsAFreshPass)
{
    TouchAllTargets();
    bench::ClickAt(kAdjustButton.x, kAdjustButton.y);
    ASSERT_TRUE(WaitUntil([&] { return !OnCheckScreen(); }));
    bench::Pause(300);

    ExpectStoredValues(StartValuesWithFlag(0));
    EXPECT_EQ(Requests(bench::kUpdateParametersRequest).size(), 1u) << "a restore is not announced to the driver";

    // The second pass overwrites the readings one by one: the controller now
    // hands out other words.
    const DWORD second[4] = {bench::TouchWord(11, 12), bench::TouchWord(21, 22), bench::TouchWord(31, 32),
                             bench::TouchWord(41, 42)};
    bench::SetTouchWords(std::vector<DWORD>(second, second + 4));
    TouchAllTargets();
    ExpectStoredValues({11, 12, 21, 22, 31, 32, 41, 42, 1024, 768, 1});
    EXPECT_EQ(Requests(bench::kUpdateParametersRequest).size(), 2u);
    EXPECT_EQ(bench::DebugOutput(program).size(), 8u);
    EXPECT_EQ(bench::DebugOutput(program).back(), "$$$$$$$$XY(   41,   42)\n");

    // The clicked button had the keyboard focus and is now hidden: Space at
    // the first target must still cancel, not click it again.
    bench::ClickAt(kAdjustButton.x, kAdjustButton.y);
    ASSERT_TRUE(WaitUntil([&] { return !OnCheckScreen(); }));
    bench::PressKey(VK_SPACE);
    EXPECT_EQ(WaitForExit(), 0u);
    ExpectStoredValues(StartValuesWithFlag(0));
}

TEST_F(CalibrationPass, AfterAdjustAgainTheWindowHoldsTheFocusAndEscapeCancels)
{
    TouchAllTargets();
    bench::ClickAt(kAdjustButton.x, kAdjustButton.y);
    ASSERT_TRUE(WaitUntil([&] { return !OnCheckScreen(); }));
    // Not left on the hidden button, where the cancel keys do nothing.
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(WaitUntil([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == window;
    }, 3000)) << "focus on " << info.hwndFocus;

    bench::PressKey(VK_ESCAPE);
    EXPECT_EQ(WaitForExit(), 0u);
    ExpectStoredValues(StartValuesWithFlag(0));
}

TEST_F(CalibrationPass, FailedReadingIsNotTakenAndTheSameTargetWaits)
{
    bench::SetTouchSim("FailCode", bench::kGetXYRequest);
    bench::SetTouchSim("FailCount", 1);

    bench::ClickAt(kTargets[0].x, kTargets[0].y);
    ASSERT_TRUE(WaitUntil([&] { return Requests(bench::kGetXYRequest).size() == 1; }));
    bench::Pause(200);
    EXPECT_EQ(Requests(bench::kGetXYRequest)[0].status, 0xC0000001u);
    ASSERT_TRUE(WaitUntil([&] { return !bench::DebugOutput(program).empty(); }));
    EXPECT_EQ(bench::DebugOutput(program)[0], "Get touch XY fail(31), target 1 kept\n");

    // The next touch is still target 1's; the pass goes on as usual.
    for (int step = 1; step <= 4; step++)
        TouchTarget(step, 1 + step);
    ASSERT_TRUE(WaitUntil([&] { return Requests(bench::kUpdateParametersRequest).size() == 1; }));
    ExpectStoredValues(NewCalibrationValues());
    std::vector<std::string> trace = bench::DebugOutput(program);
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[1], "$$$$$$$$XY( 3000,  150)\n");
    EXPECT_EQ(trace[2], "$$$$$$$$XY2(61234,  567)\n");
}

// Escape and Space, at the first target and on the check screen.
struct CancelCase {
    const char *name;
    WORD key;
    bool afterPass;
};

static void PrintTo(const CancelCase &c, std::ostream *os) { *os << c.name; }

class CalibrationCancel : public CalibrationPass, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CalibrationCancel, WritesTheStartValuesBackWithoutTellingTheDriver)
{
    size_t updatesBefore = 0;
    if (GetParam().afterPass) {
        TouchAllTargets();
        updatesBefore = 1;
    }
    // Other keys do nothing.
    bench::PressKey(VK_RETURN);
    bench::PressKey('A');
    bench::Pause(200);
    DWORD code;
    EXPECT_FALSE(bench::WaitProgram(program, 0, &code)) << "ended by another key";

    bench::PressKey(GetParam().key);
    EXPECT_EQ(WaitForExit(), 0u);

    ExpectStoredValues(StartValuesWithFlag(0));
    EXPECT_EQ(Requests(bench::kUpdateParametersRequest).size(), updatesBefore);
    EXPECT_TRUE(RunValueLeft());
}

INSTANTIATE_TEST_SUITE_P(Keys, CalibrationCancel,
    ::testing::Values(CancelCase{"EscapeAtFirstTarget", VK_ESCAPE, false},
                      CancelCase{"SpaceAtFirstTarget", VK_SPACE, false},
                      CancelCase{"EscapeOnCheckScreen", VK_ESCAPE, true},
                      CancelCase{"SpaceOnCheckScreen", VK_SPACE, true}),
    [](const ::testing::TestParamInfo<CancelCase> &info) { return std::string(info.param.name); });

TEST_F(CalibrationPass, RestoreThatCannotReachTheKeySaysSoInFrontOfTheWindow)
{
    // The key disappears while the window is open and cannot be created
    // again: a volatile parent takes no lasting child.
    const char *service = "System\\CurrentControlSet\\Services\\Drovik";
    bench::DeleteTree(HKEY_LOCAL_MACHINE, service);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, service, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);

    bench::PressKey(VK_ESCAPE);
    bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(program), bench::kHangGuardMs);
    ASSERT_NE(box.window, nullptr);
    EXPECT_OK_BOX(box, kErrorCaption, kRegistryOpenFailText, false);
    // In front of the full-screen topmost window, where the user can see it.
    bench::Pause(300);
    RECT r;
    GetWindowRect(box.window, &r);
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(GetAncestor(WindowFromPoint(centre), GA_ROOT), box.window) << "the box is hidden";
    bench::AnswerMessageBox(box, IDOK);

    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, bench::kParametersKey));
}
