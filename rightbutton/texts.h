// Every fixed text Kaplet.exe shows or sends, in one place: its window's
// class and title and its trace lines. The user guide's check
// (tests/build/check-guide.py) finds the title and the trace lines in the
// guide's tables, word for word; the tests write the texts they read out
// again themselves (tests/rightbutton/kaplettexts.h), so that a text
// changed here fails them.
//
// The tool shows no message box, so no name here ends in _TEXT or _CAPTION
// (the calibration program's texts.h has such names for its boxes).
#ifndef RIGHTBUTTON_TEXTS_H
#define RIGHTBUTTON_TEXTS_H

// --- the window ------------------------------------------------------------------
#define RIGHT_BUTTON_CLASS "SwapBottun"
#define RIGHT_BUTTON_TITLE "RIGHT"

// --- trace lines (DebugTrace) -----------------------------------------------------
// A start-up that cannot go on; %d is the system error.
#define PICTURE_LOAD_FAIL_TRACE "Load bitmap fail(%d)\n"
#define WINDOW_CREATE_FAIL_TRACE "Create window fail(%d)\n"

#endif
