// Shared pieces of the calibration program's tests; see calibtest.h.
#include "calibtest.h"
#include "calibtexts.h"

#include <cstring>

namespace caltest {

const char *const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char *const kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

const char *const kValueNames[11] = {
    "TopLeftOffsetX", "TopLeftOffsetY", "TopRightOffsetX", "TopRightOffsetY",
    "BottomLeftOffsetX", "BottomLeftOffsetY", "BottomRightOffsetX", "BottomRightOffsetY",
    "ScreenWidth", "ScreenHigh", "Calibration4Pt",
};

const DWORD kStartValues[11] = {310, 290, 3790, 305, 320, 3810, 3800, 3795, 800, 600, 1};

// Chosen to show the trace's padding (one blank before 3000, two before 150,
// none for five digits) and both ends of the 16-bit range.
const DWORD kWords[4] = {
    bench::TouchWord(3000, 150), bench::TouchWord(61234, 567),
    bench::TouchWord(1234, 60001), bench::TouchWord(65535, 0),
};

const POINT kTargets[4] = {{51, 38}, {972, 38}, {51, 729}, {972, 729}};

void SetUpInstalledSystem(const std::vector<DWORD> &words)
{
    bench::InstallTouchSim();
    bench::InstallDefaultParameters();
    for (int i = 0; i < 11; i++)
        bench::WriteDword(HKEY_LOCAL_MACHINE, bench::kParametersKey, kValueNames[i], kStartValues[i]);
    bench::WriteString(HKEY_CURRENT_USER, kRunKey, "ZentaroxUsb", "C:\\windows\\ZentaroxUsb\\ZentaroxUsb.exe");
    bench::SetTouchWords(words);
}

HWND StartCalibration(bench::Program **program)
{
    *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    HWND window = bench::WaitForWindow(bench::ProgramId(*program), kCalibrationClass, bench::kHangGuardMs);
    if (!window) {
        // Say what the program did instead, so that a rare failure explains itself.
        DWORD exitCode = 0;
        bool ended = bench::WaitProgram(*program, 0, &exitCode);
        bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(*program), 0);
        std::string trace;
        for (const std::string &line : bench::DebugOutput(*program))
            trace += line;
        ADD_FAILURE() << "no calibration window; the program " << (ended ? "ended with " : "still runs")
                      << (ended ? std::to_string((int)exitCode) : "") << "; box \"" << box.text << "\"; trace \""
                      << trace << "\"";
    }
    // The first paint follows the window's creation at once; give it a moment
    // so that screen captures see it.
    bench::Pause(300);
    return window;
}

void CalibrationCase::SetUp()
{
    SetUpInstalledSystem();
    startTick = GetTickCount();
    window = StartCalibration(&program);
    ASSERT_NE(window, nullptr);
}

void CalibrationCase::TearDown() { bench::EndProgram(program); }

std::vector<bench::SimRequest> Requests(DWORD code)
{
    std::vector<bench::SimRequest> out;
    for (const bench::SimRequest &r : bench::ReadSimLog())
        if (r.code == code)
            out.push_back(r);
    return out;
}

void TouchTarget(int step, size_t readingsSoFar)
{
    bench::ClickAt(kTargets[step - 1].x, kTargets[step - 1].y);
    EXPECT_TRUE(WaitUntil([&] { return Requests(bench::kGetXYRequest).size() >= readingsSoFar; }))
        << "no reading requested for target " << step;
    bench::Pause(150);   // the repaint that follows the reading
}

void TouchAllTargets()
{
    size_t before = Requests(bench::kGetXYRequest).size();
    size_t updates = Requests(bench::kUpdateParametersRequest).size();
    for (int step = 1; step <= 4; step++)
        TouchTarget(step, before + step);
    EXPECT_TRUE(WaitUntil([&] { return Requests(bench::kUpdateParametersRequest).size() > updates; }))
        << "the driver was not told to reload";
    bench::Pause(300);   // the check screen's paint
}

void ExpectStoredValues(const std::vector<DWORD> &expected)
{
    for (int i = 0; i < 11; i++) {
        bench::RegValue v = bench::ReadValue(HKEY_LOCAL_MACHINE, bench::kParametersKey, kValueNames[i]);
        EXPECT_TRUE(v.exists) << kValueNames[i];
        EXPECT_EQ(v.type, (DWORD)REG_DWORD) << kValueNames[i];
        EXPECT_EQ(v.data.size(), 4u) << kValueNames[i];
        EXPECT_EQ(v.AsDword(), expected[i]) << kValueNames[i];
    }
}

std::vector<DWORD> StartValuesWithFlag(DWORD flag)
{
    std::vector<DWORD> v(kStartValues, kStartValues + 11);
    v[10] = flag;
    return v;
}

std::vector<DWORD> NewCalibrationValues()
{
    std::vector<DWORD> v;
    for (DWORD w : kWords) {
        v.push_back(w >> 16);
        v.push_back(w & 0xFFFF);
    }
    v.push_back(1024);
    v.push_back(768);
    v.push_back(1);
    return v;
}

bool PointerShowing()
{
    CURSORINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetCursorInfo(&info))
        ADD_FAILURE() << "GetCursorInfo failed (" << GetLastError() << ")";
    return (info.flags & CURSOR_SHOWING) != 0;
}

struct ButtonSearch {
    const char *text;
    HWND found;
};

static BOOL CALLBACK MatchButton(HWND child, LPARAM param)
{
    ButtonSearch *search = (ButtonSearch *)param;
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof(cls));
    if (_stricmp(cls, "Button") == 0 && bench::WindowText(child) == search->text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindButton(HWND window, const char *text)
{
    ButtonSearch search = {text, nullptr};
    EnumChildWindows(window, MatchButton, (LPARAM)&search);
    return search.found;
}

}  // namespace caltest
