// The four driver requests round-tripping through the simulated controller:
// what the controller received (code, input, output) and what the caller got.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "touchdevice.h"
#include "touchparams.h"

class TouchDevice : public ::testing::Test {
protected:
    void SetUp() override { bench::InstallTouchSim(); }
};

TEST(TouchDeviceAbsent, OpenFailsWithTheSystemError)
{
    SetLastError(0);
    EXPECT_EQ(OpenTouchDevice(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    DWORD status = 0x1234;
    EXPECT_FALSE(GetMouseStatus(&status));
    SetMouseMode(1);   // nothing to send to, nothing to report
}

TEST_F(TouchDevice, ReadTouchXYReturnsTheControllersWordSplitIntoXAndY)
{
    bench::SetTouchWords({bench::TouchWord(3000, 150), bench::TouchWord(65535, 0)});
    HANDLE device = OpenTouchDevice();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    DWORD word = 0xFFFFFFFF;
    ASSERT_TRUE(ReadTouchXY(device, &word));
    EXPECT_EQ(TouchWordX(word), 3000u);
    EXPECT_EQ(TouchWordY(word), 150u);
    ASSERT_TRUE(ReadTouchXY(device, &word));
    EXPECT_EQ(TouchWordX(word), 65535u);
    EXPECT_EQ(TouchWordY(word), 0u);
    CloseHandle(device);

    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, bench::kGetXYRequest);
    EXPECT_FALSE(log[0].hasIn);
    EXPECT_EQ(log[0].out, bench::TouchWord(3000, 150));
    EXPECT_EQ(log[1].out, 0xFFFF0000u);
}

TEST_F(TouchDevice, FailedTouchReadLeavesAZeroWordAndTheSystemError)
{
    bench::SetTouchWords({bench::TouchWord(3000, 150)});
    bench::SetTouchSim("FailCode", bench::kGetXYRequest);
    HANDLE device = OpenTouchDevice();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    DWORD word = 0xFFFFFFFF;
    EXPECT_FALSE(ReadTouchXY(device, &word));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_GEN_FAILURE);
    EXPECT_EQ(word, 0u);
    CloseHandle(device);
}

TEST_F(TouchDevice, UpdateRequestReachesTheControllerWhichSeesTheStoredValues)
{
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++)
        bench::WriteDword(HKEY_LOCAL_MACHINE, bench::kParametersKey, CalibrationValueNames[i], 100 + i);
    HANDLE device = OpenTouchDevice();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    UpdateDriverParameters(device);
    CloseHandle(device);
    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, bench::kUpdateParametersRequest);
    EXPECT_FALSE(log[0].hasIn);
    EXPECT_FALSE(log[0].hasOut);
    ASSERT_TRUE(log[0].hasParams);
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++)
        EXPECT_EQ(log[0].params[i], 100 + i) << CalibrationValueNames[i];
}

TEST_F(TouchDevice, MouseModeAndStatusUseOneRequestEachAndReleaseTheDevice)
{
    bench::SetTouchSim("StatusOn", 4);
    SetMouseMode(1);
    DWORD status = 0;
    ASSERT_TRUE(GetMouseStatus(&status));
    EXPECT_EQ(status, 4u);
    SetMouseMode(0);
    ASSERT_TRUE(GetMouseStatus(&status));
    EXPECT_EQ(status, 0u);

    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 4u);
    for (const bench::SimRequest &r : log)
        EXPECT_EQ(r.code, bench::kMouseStatusRequest);
    EXPECT_TRUE(log[0].hasIn);
    EXPECT_EQ(log[0].in, 1u);
    EXPECT_FALSE(log[0].hasOut);
    EXPECT_FALSE(log[1].hasIn);
    EXPECT_EQ(log[1].out, 4u);
    EXPECT_EQ(log[2].in, 0u);
    EXPECT_EQ(log[3].out, 0u);

    // Nothing is held open between requests: an exclusive open still succeeds.
    HANDLE device = OpenTouchDevice();
    EXPECT_NE(device, INVALID_HANDLE_VALUE);
    CloseHandle(device);
}

TEST_F(TouchDevice, RightModeEndsWhenTheControllerSaysSo)
{
    bench::SetTouchSim("EndAfterPolls", 2);
    SetMouseMode(1);
    DWORD status = 0;
    ASSERT_TRUE(GetMouseStatus(&status));
    EXPECT_EQ(status & TOUCH_STATUS_RIGHT_MODE_MASK, 1u);
    ASSERT_TRUE(GetMouseStatus(&status));
    EXPECT_EQ(status & TOUCH_STATUS_RIGHT_MODE_MASK, 0u);
}

TEST_F(TouchDevice, FailedMouseRequestsAreTracedWithWordCountAndError)
{
    bench::SetTouchSim("FailCode", bench::kMouseStatusRequest);
    std::vector<std::string> out;
    EXPECT_EQ(bench::RunProgram(bench::BinPath("commonprobe.exe"), "setmode 1", bench::kHangGuardMs, &out), 0u);
    EXPECT_EQ(out, std::vector<std::string>{"Get current mouse status fail(1:0:31)\n"});
    EXPECT_EQ(bench::RunProgram(bench::BinPath("commonprobe.exe"), "status", bench::kHangGuardMs, &out), 0u);
    EXPECT_EQ(out, std::vector<std::string>{"Get current mouse status fail(0:0:31)\n"});
    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].status, 0xC0000001u);
    EXPECT_EQ(log[1].status, 0xC0000001u);
}
