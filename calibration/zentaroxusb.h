// ZentaroxUsb, the four-target calibration program: its process-wide state
// and its routines, grouped under the file that holds them.
#ifndef ZENTAROXUSB_H
#define ZENTAROXUSB_H

#include <windows.h>
#include "touchparams.h"

// --- calibstate.cpp: process-wide state -------------------------------------

extern int osClass;                 // QueryOsClass(), taken once at start-up
extern HANDLE touchDevice;          // held open until the process ends
extern int screenWidth;             // primary display in pixels, measured once
extern int screenHeight;
extern HBITMAP crossBitmap;         // resource 102
extern HBITMAP tickBitmap;          // resource 104
extern HBITMAP fingerBitmap;        // resource 105

// 1 to 4: the target shown (top-left, top-right, bottom-left, bottom-right);
// 0: the check screen.
extern int calibStep;
// Raw controller coordinates taken at targets 1 to 4, each 0 to 65535.
extern POINT rawReadings[4];
// The ten calibration values as loaded when the window opened (0 where a
// value could not be read); written back on a cancel or "Adjust Again".
extern int savedCalibration[CALIBRATION_LOADED_COUNT];

// --- layout.cpp: where things go and what a touch does, without a window ----

// A target centre in 2048ths of the screen width or height.
extern const int targetFractions[2];

inline bool IsTargetStep(int step) { return step >= 1 && step <= 4; }

// Centre of the target of step 1 to 4, in pixels.
POINT TargetCentre(int step, int width, int height);

// The step after a reading: 1 to 2, 2 to 3, 3 to 4, 4 to the check screen (0).
int NextCalibStep(int step);

// DebugTrace format of the reading taken at a step (x, then y).
const char *ReadingTraceFormat(int step);

// Everything but the target, for a screen of width x height pixels.
struct CalibrationLayout {
    POINT tick;             // bitmap 104, top-left corner
    RECT instruction;       // TARGET_INSTRUCTION
    POINT finger;           // bitmap 105, top-left corner
    RECT check;             // CHECK_QUESTION
    RECT okButton;
    RECT adjustButton;
};
void ComputeLayout(int width, int height, CalibrationLayout *layout);

// The ten values a finished pass stores: the four readings as they came, then
// the screen size.
void ComposeCalibration(const POINT readings[4], int width, int height,
                        int values[CALIBRATION_LOADED_COUNT]);

// --- storage.cpp: the driver's Parameters key --------------------------------

void LoadCalibration(int values[CALIBRATION_LOADED_COUNT]);
void SaveCalibrationAndApply(const int values[CALIBRATION_LOADED_COUNT]);
void RestoreCalibration(const int values[CALIBRATION_LOADED_COUNT]);
void WaitForRegistryValue(const char *name, DWORD expected);

// --- calibwnd.cpp: the full-screen calibration window ------------------------

LRESULT CALLBACK CalibrationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
