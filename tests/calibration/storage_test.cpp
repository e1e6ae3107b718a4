// The storage routines linked into the test and run against Wine's registry
// and the simulated controller, with every registry call and pause recorded:
// what is written in which order, how the read-back behaves when a value does
// and does not show up, and what a load does with values that are not four
// bytes.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "regcalls.h"
#include "touchdevice.h"
#include "zentaroxusb.h"

using namespace caltest;

static const int kNew[10] = {3000, 150, 61234, 567, 1234, 60001, 65535, 0, 1024, 768};

class CalibrationStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpInstalledSystem();
        touchDevice = OpenTouchDevice();
        ASSERT_NE(touchDevice, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        FailWritesOf("");
        CloseHandle(touchDevice);
        touchDevice = INVALID_HANDLE_VALUE;
    }
};

static std::vector<DWORD> WithFlag(const int values[10], DWORD flag)
{
    std::vector<DWORD> v(values, values + 10);
    v.push_back(flag);
    return v;
}

// The names of the calls of one function, in order.
static std::vector<std::string> NamesOf(const std::vector<RegistryCall> &calls, const std::string &function)
{
    std::vector<std::string> names;
    for (const RegistryCall &c : calls)
        if (c.function == function)
            names.push_back(c.name);
    return names;
}

static std::vector<std::string> AllNames() { return std::vector<std::string>(kValueNames, kValueNames + 11); }

TEST_F(CalibrationStorage, SaveWritesElevenValuesFlushesReadsEachBackOnceThenTellsTheDriver)
{
    StartRecording();
    SaveCalibrationAndApply(kNew);
    std::vector<RegistryCall> calls = StopRecording();

    ExpectStoredValues(WithFlag(kNew, 1));
    EXPECT_EQ(NamesOf(calls, "RegSetValueExA"), AllNames());
    EXPECT_EQ(NamesOf(calls, "RegQueryValueExA"), AllNames()) << "one read each when all read back at once";
    EXPECT_EQ(CountCalls(calls, "Sleep"), 0);
    EXPECT_EQ(CountCalls(calls, "RegFlushKey"), 1);
    EXPECT_EQ(CountCalls(calls, "RegCreateKeyExA"), 0);
    // The key is opened for writing once, then for reading around each read.
    ASSERT_EQ(CountCalls(calls, "RegOpenKeyExA"), 12);
    EXPECT_EQ(calls[0].access, (REGSAM)KEY_ALL_ACCESS);
    for (size_t i = 1; i < calls.size(); i++) {
        if (calls[i].function == "RegOpenKeyExA") {
            EXPECT_EQ(calls[i].access, (REGSAM)KEY_READ);
        }
    }
    EXPECT_EQ(CountCalls(calls, "RegCloseKey"), 12);
    // The flush comes after the last write and before the first read.
    size_t flush = 0, lastSet = 0, firstQuery = calls.size();
    for (size_t i = 0; i < calls.size(); i++) {
        if (calls[i].function == "RegFlushKey")
            flush = i;
        if (calls[i].function == "RegSetValueExA")
            lastSet = i;
        if (calls[i].function == "RegQueryValueExA" && firstQuery == calls.size())
            firstQuery = i;
    }
    EXPECT_LT(lastSet, flush);
    EXPECT_LT(flush, firstQuery);

    std::vector<bench::SimRequest> log = bench::ReadSimLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, bench::kUpdateParametersRequest);
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(log[0].params[i], (int64_t)WithFlag(kNew, 1)[i]) << kValueNames[i];
}

TEST_F(CalibrationStorage, ValueThatNeverReadsBackCostsTwentyOneReadsAndTwentyPauses)
{
    FailWritesOf("ScreenHigh");
    StartRecording();
    SaveCalibrationAndApply(kNew);
    std::vector<RegistryCall> calls = StopRecording();

    EXPECT_EQ(CountCalls(calls, "RegQueryValueExA", "ScreenHigh"), 21);
    EXPECT_EQ(CountCalls(calls, "RegQueryValueExA"), 31);
    EXPECT_EQ(CountCalls(calls, "Sleep"), 20);
    for (const RegistryCall &c : calls) {
        if (c.function == "Sleep") {
            EXPECT_EQ(c.sleepMs, 5u);
        }
    }
    // Giving up is silent and the rest goes on: the value after it is still
    // written and confirmed, and the driver is told.
    EXPECT_EQ(NamesOf(calls, "RegQueryValueExA").back(), "Calibration4Pt");
    std::vector<DWORD> expected = WithFlag(kNew, 1);
    expected[9] = kStartValues[9];
    ExpectStoredValues(expected);
    EXPECT_EQ(Requests(bench::kUpdateParametersRequest).size(), 1u);
}

TEST_F(CalibrationStorage, ValueThatCannotBeReadIsNotTakenForZero)
{
    // A missing value must not pass for the 0 that was expected.
    bench::DeleteValue(HKEY_LOCAL_MACHINE, bench::kParametersKey, "TopLeftOffsetX");
    StartRecording();
    WaitForRegistryValue("TopLeftOffsetX", 0);
    std::vector<RegistryCall> calls = StopRecording();
    EXPECT_EQ(CountCalls(calls, "RegQueryValueExA"), 21);
    EXPECT_EQ(CountCalls(calls, "Sleep"), 20);
}

TEST_F(CalibrationStorage, SaveWithoutTheKeyDoesNothingAtAll)
{
    bench::DeleteTree(HKEY_LOCAL_MACHINE, bench::kParametersKey);
    StartRecording();
    SaveCalibrationAndApply(kNew);
    std::vector<RegistryCall> calls = StopRecording();
    EXPECT_EQ(CountRegistryCalls(calls), 1);
    EXPECT_FALSE(bench::KeyExists(HKEY_LOCAL_MACHINE, bench::kParametersKey));
    EXPECT_TRUE(bench::ReadSimLog().empty());
}

TEST_F(CalibrationStorage, RestoreCreatesAMissingKeyWritesTheFlagZeroAndNeverTellsTheDriver)
{
    bench::DeleteTree(HKEY_LOCAL_MACHINE, bench::kParametersKey);
    StartRecording();
    RestoreCalibration(kNew);
    std::vector<RegistryCall> calls = StopRecording();
    ExpectStoredValues(WithFlag(kNew, 0));
    EXPECT_EQ(NamesOf(calls, "RegSetValueExA"), AllNames());
    EXPECT_EQ(NamesOf(calls, "RegQueryValueExA"), AllNames());
    EXPECT_EQ(CountCalls(calls, "RegFlushKey"), 1);
    EXPECT_TRUE(bench::ReadSimLog().empty());
}

TEST_F(CalibrationStorage, LoadTakesOnlyWholeFourByteValuesAndLeavesTheRestAlone)
{
    const WORD shortValue = 0x1234;
    const ULONGLONG longValue = 0x1111222233334444ull;
    bench::WriteBinary(HKEY_LOCAL_MACHINE, bench::kParametersKey, "TopLeftOffsetY", &shortValue, 2);
    bench::WriteBinary(HKEY_LOCAL_MACHINE, bench::kParametersKey, "TopRightOffsetX", &longValue, 8);
    bench::DeleteValue(HKEY_LOCAL_MACHINE, bench::kParametersKey, "BottomLeftOffsetX");
    const DWORD fourBytes = 4321;
    bench::WriteBinary(HKEY_LOCAL_MACHINE, bench::kParametersKey, "ScreenHigh", &fourBytes, 4);

    const int kSentinel = 0x5A5A5A5A;
    int values[10];
    for (int &v : values)
        v = kSentinel;
    StartRecording();
    LoadCalibration(values);
    std::vector<RegistryCall> calls = StopRecording();

    EXPECT_EQ(values[0], (int)kStartValues[0]);
    EXPECT_EQ(values[1], kSentinel) << "a 2-byte value overwrote half the destination";
    EXPECT_EQ(values[2], kSentinel) << "an 8-byte value was taken";
    EXPECT_EQ(values[3], (int)kStartValues[3]);
    EXPECT_EQ(values[4], kSentinel) << "a missing value changed the destination";
    for (int i = 5; i < 9; i++)
        EXPECT_EQ(values[i], (int)kStartValues[i]) << kValueNames[i];
    EXPECT_EQ(values[9], 4321) << "four bytes count whatever their type";
    // Ten reads in the stored order, the flag not among them; one open.
    std::vector<std::string> expected(kValueNames, kValueNames + 10);
    EXPECT_EQ(NamesOf(calls, "RegQueryValueExA"), expected);
    EXPECT_EQ(CountCalls(calls, "RegOpenKeyExA"), 1);
    EXPECT_EQ(CountCalls(calls, "RegSetValueExA"), 0);

    // Without the key nothing changes either.
    bench::DeleteTree(HKEY_LOCAL_MACHINE, bench::kParametersKey);
    for (int &v : values)
        v = kSentinel;
    LoadCalibration(values);
    for (int v : values)
        EXPECT_EQ(v, kSentinel);
}
