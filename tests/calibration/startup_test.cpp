// Start-up of ZentaroxUsb.exe as the user and the system see it: which check
// stops it with which message and exit code, what it leaves behind, and the
// window it opens when everything passes.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "calibtexts.h"
#include "touchdevice.h"

using namespace caltest;

static const DWORD kRefused = 0xFFFFFFFF;   // exit code -1

static void PlantRunOnceValues()
{
    bench::WriteString(HKEY_CURRENT_USER, kRunOnceKey, "Tessivar", "C:\\pending.exe");
    bench::WriteString(HKEY_CURRENT_USER, kRunOnceKey, "Other", "other.exe");
}

static bool RunOnceValueLeft()
{
    return bench::ReadValue(HKEY_CURRENT_USER, kRunOnceKey, "Tessivar").exists;
}

// The driver box's text for that system error.
static std::string DriverOpenFailText(int error)
{
    char text[64];
    snprintf(text, sizeof(text), kDriverOpenFailText, error);
    return text;
}

TEST(CalibrationStartup, WithoutTheParametersKeyOnlyAsksForAdministratorRights)
{
    bench::InstallTouchSim();
    PlantRunOnceValues();
    ASSERT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, bench::kParametersKey));

    bench::Program *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(program), bench::kHangGuardMs);
    ASSERT_NE(box.window, nullptr);
    EXPECT_OK_BOX(box, kErrorCaption, kAdminRightsText, false);
    bench::AnswerMessageBox(box, IDOK);

    DWORD code = 0;
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code));
    EXPECT_EQ(code, kRefused);
    EXPECT_TRUE(RunOnceValueLeft());
    EXPECT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, bench::kParametersKey));
    EXPECT_TRUE(bench::ReadSimLog().empty());
    bench::EndProgram(program);
}

TEST(CalibrationStartup, WithoutTheDeviceReportsTheSystemError)
{
    bench::InstallDefaultParameters();
    PlantRunOnceValues();

    bench::Program *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(program), bench::kHangGuardMs);
    ASSERT_NE(box.window, nullptr);
    // ERROR_FILE_NOT_FOUND: no such device.
    EXPECT_OK_BOX(box, kCalibrationCaption, DriverOpenFailText(ERROR_FILE_NOT_FOUND), true);
    bench::AnswerMessageBox(box, IDOK);

    DWORD code = 0;
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code));
    EXPECT_EQ(code, kRefused);
    EXPECT_TRUE(RunOnceValueLeft());
    bench::EndProgram(program);
}

TEST(CalibrationStartup, UnclassifiedWindowsEndsWithoutAWordButOnlyAfterTheRightsTest)
{
    SetUpInstalledSystem();
    PlantRunOnceValues();
    bench::SetProgramVersion("ZentaroxUsb.exe", "win95");

    bench::Program *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    DWORD code = 0;
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code)) << "it waits for something";
    EXPECT_EQ(code, kRefused);
    EXPECT_TRUE(RunOnceValueLeft());
    EXPECT_TRUE(bench::ReadSimLog().empty());
    ExpectStoredValues(StartValuesWithFlag(1));
    bench::EndProgram(program);

    // Without rights the rights message still comes first.
    bench::DeleteTree(HKEY_LOCAL_MACHINE, bench::kParametersKey);
    program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(program), bench::kHangGuardMs);
    EXPECT_EQ(box.text, kAdminRightsText);
    bench::AnswerMessageBox(box, IDOK);
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code));
    EXPECT_EQ(code, kRefused);
    bench::EndProgram(program);
}

TEST(CalibrationStartup, PassingStartClearsTheRunOnceValueAndCoversTheScreen)
{
    SetUpInstalledSystem();
    PlantRunOnceValues();

    bench::Program *program = nullptr;
    HWND window = StartCalibration(&program);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(RunOnceValueLeft());
    EXPECT_TRUE(bench::ReadValue(HKEY_CURRENT_USER, kRunOnceKey, "Other").exists);

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 1024);
    EXPECT_EQ(rect.bottom, 768);
    EXPECT_EQ(bench::WindowText(window), kCalibrationTitle);
    EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_VISIBLE),
              (DWORD)(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_HREDRAW | CS_VREDRAW);

    // Nothing was stored or requested merely by starting.
    ExpectStoredValues(StartValuesWithFlag(1));
    EXPECT_TRUE(bench::ReadSimLog().empty());

    bench::PressKey(VK_ESCAPE);
    DWORD code = 0xDEAD;
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code));
    EXPECT_EQ(code, 0u);
    bench::EndProgram(program);
}

TEST(CalibrationStartup, WindowThatCannotBeCreatedEndsTheProgramAndFreesTheDevice)
{
    SetUpInstalledSystem();
    // Wine without its graphics driver for this program: every top-level
    // window it tries to create fails (Wine says ERROR_INVALID_WINDOW_HANDLE).
    bench::WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\ZentaroxUsb.exe\\DllOverrides",
                       "winex11.drv", "");

    bench::Program *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    DWORD code = 0;
    ASSERT_TRUE(bench::WaitProgram(program, bench::kHangGuardMs, &code)) << "it sits without a window";
    EXPECT_EQ(code, kRefused);
    EXPECT_EQ(bench::DebugOutput(program), std::vector<std::string>{"Create calibration window fail(1400)\n"});
    bench::EndProgram(program);

    HANDLE device = OpenTouchDevice();   // exclusive, as the calibration and the tool open it
    EXPECT_NE(device, INVALID_HANDLE_VALUE) << "the device is still locked (" << GetLastError() << ")";
    CloseHandle(device);
}
