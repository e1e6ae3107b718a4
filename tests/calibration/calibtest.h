// Shared pieces of the calibration program's tests: the bench set up as after
// an installation, the program started (and the fixture base of the cases
// that start it), touched through real pointer input, and checks of what it
// stored, told the driver and drew.
#ifndef CALIBTEST_H
#define CALIBTEST_H

#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "benchlib.h"

namespace caltest {

extern const char *const kRunKey;
extern const char *const kRunOnceKey;

// The eleven values in their stored order.
extern const char *const kValueNames[11];

// What the Parameters key holds when a test starts the program: the values
// of an earlier calibration (not the installed defaults, so that a value
// written back is told apart from one never touched).
extern const DWORD kStartValues[11];

// The four raw readings the simulated controller hands out, in turn.
extern const DWORD kWords[4];

// Where the targets of steps 1 to 4 are centred on the bench's 1024 x 768.
extern const POINT kTargets[4];

// Controller running, Parameters key holding kStartValues (and the other
// installed values), the Run value "ZentaroxUsb" in place, touch words set.
void SetUpInstalledSystem(const std::vector<DWORD> &words = std::vector<DWORD>(kWords, kWords + 4));

// Starts ZentaroxUsb.exe and waits for its calibration window; null (with a
// test failure) when none comes.
HWND StartCalibration(bench::Program **program);

// Base of the fixtures whose cases begin at the calibration window: SetUp
// sets the system up as after an installation and starts the program, a
// fatal failure when no window comes; TearDown ends the program.
class CalibrationCase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    bench::Program *program = nullptr;
    HWND window = nullptr;
    DWORD startTick = 0;   // GetTickCount just before the program was started
};

// The controller's requests of one code.
std::vector<bench::SimRequest> Requests(DWORD code);

// A real click at the target of a step, then waits until the program has
// asked the controller for that many readings in all.
void TouchTarget(int step, size_t readingsSoFar);
// All four targets, then waits until the driver was told to reload.
void TouchAllTargets();

// Expects the eleven values, each a REG_DWORD of exactly four bytes.
void ExpectStoredValues(const std::vector<DWORD> &expected);
// kStartValues with the flag as given.
std::vector<DWORD> StartValuesWithFlag(DWORD flag);
// The values a finished pass over kWords stores on the bench's display.
std::vector<DWORD> NewCalibrationValues();

// Whether the pointer is showing for the window in the foreground.
bool PointerShowing();

// The calibration window's visible push buttons, by text.
HWND FindButton(HWND window, const char *text);

// A bitmap of ZentaroxUsb.exe's resources.
inline bench::Picture ProgramBitmap(int id)
{
    return bench::LoadProgramBitmap(bench::BinPath("ZentaroxUsb.exe"), id);
}

using bench::WaitUntil;
using bench::DifferingPixels;

}  // namespace caltest

#endif
