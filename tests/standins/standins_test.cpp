// The stand-ins themselves: the driver installer registers, starts, stops and
// deletes the simulated controller and records how it was started; the
// controller hands out its touch words in turn and fails on request.
#include <gtest/gtest.h>
#include "benchlib.h"

static const char *const kService = "System\\CurrentControlSet\\Services\\Drovik";

static bool DeviceOpens()
{
    HANDLE device = CreateFileA("\\\\.\\TessivarUsb", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(device);
    return true;
}

TEST(BenchStandIns, DriverInstallerSetsUpAndRemovesTheController)
{
    bench::CopyFileOrFail(bench::BinPath("Velqar.sys"), bench::WindowsDir() + "\\System32\\drivers\\Velqar.sys");
    ASSERT_FALSE(DeviceOpens());
    std::string dir = bench::BinDir();
    std::string setup = "\"" + dir + "\\Velqar.inf\" 9 setup";
    EXPECT_EQ(bench::RunProgram(dir + "\\Velqar.exe", setup), 0u);
    EXPECT_TRUE(DeviceOpens());
    EXPECT_EQ(bench::ReadValue(HKEY_LOCAL_MACHINE, kService, "Type").AsDword(), (DWORD)SERVICE_KERNEL_DRIVER);

    bench::WriteDword(HKEY_LOCAL_MACHINE, "Software\\VelqarStandIn", "UninstallExitCode", 3);
    EXPECT_EQ(bench::RunProgram(dir + "\\Velqar.exe", "uninstall 9 delete"), 3u);
    EXPECT_FALSE(DeviceOpens());
    EXPECT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, kService));

    std::string log = bench::ReadFileText("C:\\velqar.log");
    EXPECT_NE(log.find("\"" + dir + "\\Velqar.exe\" " + setup + "\t"), std::string::npos) << log;
    EXPECT_NE(log.find("uninstall 9 delete\t"), std::string::npos) << log;
}

TEST(BenchStandIns, DriverInstallerExitsWithTheChosenCodeAndCanDoNothing)
{
    bench::WriteDword(HKEY_LOCAL_MACHINE, "Software\\VelqarStandIn", "ExitCode", 2);
    bench::WriteDword(HKEY_LOCAL_MACHINE, "Software\\VelqarStandIn", "DoNothing", 1);
    EXPECT_EQ(bench::RunProgram(bench::BinPath("Velqar.exe"), "\"x.inf\" 9 setup"), 2u);
    EXPECT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, kService));
}

TEST(BenchStandIns, ControllerHandsOutWordsInTurnAndFailsAsOftenAsTold)
{
    bench::InstallTouchSim();
    bench::SetTouchWords({1, 2, 3});
    bench::SetTouchSim("FailCode", bench::kGetXYRequest);
    bench::SetTouchSim("FailCount", 1);
    HANDLE device = CreateFileA("\\\\.\\TessivarUsb", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    std::vector<DWORD> got;
    for (int i = 0; i < 5; i++) {
        DWORD word = 0, returned = 0;
        BOOL ok = DeviceIoControl(device, bench::kGetXYRequest, nullptr, 0, &word, 4, &returned, nullptr);
        got.push_back(ok ? word : 0xFFFFFFFF);
    }
    CloseHandle(device);
    EXPECT_EQ(got, (std::vector<DWORD>{0xFFFFFFFF, 1, 2, 3, 1}));
    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].status, 0xC0000001u);
    EXPECT_FALSE(log[0].hasOut);
    for (size_t i = 1; i < log.size(); i++)
        EXPECT_GT(log[i].timeUs, log[i - 1].timeUs);
}
