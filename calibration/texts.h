// Every fixed text ZentaroxUsb.exe shows or sends, in one place: its window's
// class and title, what its screens and buttons say, its message boxes and
// its trace lines. The user guide's check (tests/build/check-guide.py) finds
// each text a user sees in the guide's tables, word for word; the tests
// write the ones they read out again themselves
// (tests/calibration/calibtexts.h), so that a text changed here fails them.
//
// A text a message box may show (after formatting, where it holds a %d) ends
// in _TEXT and the box's caption in _CAPTION; no other name ends in _TEXT.
// Trace lines end in _TRACE.
#ifndef CALIBRATION_TEXTS_H
#define CALIBRATION_TEXTS_H

// --- the calibration window --------------------------------------------------------
#define CALIBRATION_CLASS_NAME "Aling"
// None: the window covers the whole screen without a caption.
#define CALIBRATION_WINDOW_TITLE ""

// Beside the tick, under every target.
#define TARGET_INSTRUCTION " TOUCH THE CENTER \n OF THE CROSS"
// Above the two buttons of the check screen.
#define CHECK_QUESTION \
    " CHECK CALIBRATION \n Touch different areas on the screen, \n does the cursor jump to your fingertip?"
#define OK_BUTTON_LABEL "OK"
#define ADJUST_BUTTON_LABEL "Adjust Again"

// --- message boxes -----------------------------------------------------------------
#define ERROR_CAPTION "Error"
// No full access to the driver's key: not an administrator, or no driver.
#define ADMIN_RIGHTS_TEXT "Please run as administrator"
// The restore of a cancel or "Adjust Again" could neither open nor create the key.
#define REGISTRY_OPEN_FAIL_TEXT "Open Registry error!!!"

#define CALIBRATION_CAPTION "Zentarox Calibration"
// The device does not open; %d is the system error.
#define DRIVER_OPEN_FAIL_TEXT "Open driver fail(%d)!"

// The window class cannot be registered; the box is captioned with its name.
#define NT_REQUIRED_CAPTION CALIBRATION_CLASS_NAME
#define NT_REQUIRED_TEXT "Program requires Windows NT!"

// --- trace lines (DebugTrace) ------------------------------------------------------
// The raw reading of a target, x then y, each padded to five columns; the
// top-right target's line is tagged "XY2".
#define READING_TRACE "$$$$$$$$XY(%5d,%5d)\n"
#define TOP_RIGHT_READING_TRACE "$$$$$$$$XY2(%5d,%5d)\n"
// The system error, then the target (1 to 4) that waits for another touch.
#define READING_FAIL_TRACE "Get touch XY fail(%d), target %d kept\n"
#define WINDOW_CREATE_FAIL_TRACE "Create calibration window fail(%d)\n"

#endif
