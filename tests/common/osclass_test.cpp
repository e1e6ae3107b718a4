// The OS class code: the release table, its edges, the fallback to the basic
// version record, the three class tests, and what Wine reports to a program
// for each Windows version it can pretend to be.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "osclass.h"

TEST(OsClass, ClassifiesEveryReleaseOfTheTable)
{
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3);   // 98
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4);   // Me
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 0), 6);         // 2000
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1), 7);         // XP
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 2), 7);         // Server 2003
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 0), 8);         // Vista
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 1), 9);         // 7
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 2), 10);        // 8
}

TEST(OsClass, EverythingOutsideTheTableIsUnsupported)
{
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 0);    // 95
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 11), 0);
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 5, 10), 0);
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 4, 0), 0);         // NT 4.0
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 3, 51), 0);
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 3), 0);
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 3), 0);         // 8.1 with a manifest
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 10, 0), 0);        // 10 with a manifest
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 7, 0), 0);
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32s, 4, 10), 0);
    EXPECT_EQ(ClassifyWindowsVersion(3, 6, 1), 0);                              // CE
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 6, 1), 0);    // NT numbers, 9x platform
    EXPECT_EQ(ClassifyWindowsVersion(VER_PLATFORM_WIN32_NT, 4, 10), 0);        // 9x numbers, NT platform
}

TEST(OsClass, ClassTestsCoverExactlyTheirCodes)
{
    for (int code = -2; code <= 12; code++) {
        SCOPED_TRACE(code);
        EXPECT_EQ(IsWin9xClass(code), code == 3 || code == 4);
        EXPECT_EQ(IsNtClass(code), code >= 6 && code <= 10);
        EXPECT_EQ(IsVistaOrLaterClass(code), code >= 8 && code <= 10);
    }
    EXPECT_FALSE(IsNtClass(INT_MIN));
    EXPECT_FALSE(IsWin9xClass(INT_MAX));
}

// Stand-ins for GetVersionExA: what a system answers for each record size.
static DWORD basicCalls, extendedCalls;

static BOOL WINAPI OnlyBasicRecord(OSVERSIONINFOA *info)
{
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        extendedCalls++;
        return FALSE;
    }
    basicCalls++;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    return TRUE;
}

static BOOL WINAPI NoRecord(OSVERSIONINFOA *) { return FALSE; }

static BOOL WINAPI ExtendedRecord(OSVERSIONINFOA *info)
{
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))
        return FALSE;
    extendedCalls++;
    info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 90;
    return TRUE;
}

TEST(OsClass, FallsBackToTheBasicRecordWhenTheExtendedOneIsRefused)
{
    basicCalls = extendedCalls = 0;
    EXPECT_EQ(QueryOsClassWith(OnlyBasicRecord), 7);
    EXPECT_EQ(extendedCalls, 1u);
    EXPECT_EQ(basicCalls, 1u);
    EXPECT_EQ(QueryOsClassWith(NoRecord), 0);
    extendedCalls = 0;
    EXPECT_EQ(QueryOsClassWith(ExtendedRecord), 4);
    EXPECT_EQ(extendedCalls, 1u);
}

// What a program sees under each of Wine's per-program Windows versions.
struct WineVersionCase {
    const char *setting;
    DWORD expected;
};

// Named by its setting in test names and messages.
static void PrintTo(const WineVersionCase &c, std::ostream *os) { *os << c.setting; }

class OsClassUnderWine : public ::testing::TestWithParam<WineVersionCase> {};

TEST_P(OsClassUnderWine, ProgramGetsTheClassOfItsWindowsVersion)
{
    bench::SetProgramVersion("commonprobe.exe", GetParam().setting);
    EXPECT_EQ(bench::RunProgram(bench::BinPath("commonprobe.exe"), "osclass"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Versions, OsClassUnderWine,
    ::testing::Values(WineVersionCase{"win95", 0}, WineVersionCase{"win98", 3}, WineVersionCase{"winme", 4},
                      WineVersionCase{"win2k", 6}, WineVersionCase{"winxp", 7}, WineVersionCase{"winxp64", 7},
                      WineVersionCase{"vista", 8}, WineVersionCase{"win7", 9}, WineVersionCase{"win8", 10},
                      WineVersionCase{"win81", 10}, WineVersionCase{"win10", 10}),
    [](const ::testing::TestParamInfo<WineVersionCase> &info) { return std::string(info.param.setting); });
