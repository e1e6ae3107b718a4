// Kaplet.exe, the right-button tool: a small topmost window showing a mouse.
// A click switches the touch driver's right-button mode on or off; while it
// is on, the driver is asked every 300 ms whether the mode is still in
// effect, and the left-button picture comes back once it has ended.
//
// One thread, one window, process-wide state. The prototypes below are
// grouped by the file that defines them.
#ifndef KAPLET_H
#define KAPLET_H

#include <windows.h>

// --- rightmode.cpp: the tool's rules, free of any window --------------------
// 1 while the tool shows right-button mode.
extern int rightModeOn;
// 1 from a left-button press in the client area until the next left-button
// release there, wherever that release's own press was.
extern int clickPending;

void NoteLeftPress(void);
// True when this release completes a click; the click is then used up.
BOOL TakePendingClick(void);
// Flips rightModeOn and returns the new value (the mode to send).
int FlipRightMode(void);

enum PollOutcome {
    POLL_STOP,        // no device: stop polling, leave mode and picture alone
    POLL_AGAIN,       // right-button mode still in effect: poll again later
    POLL_MODE_ENDED   // the mode has ended in the driver: back to the left picture
};
// deviceOpened and status as GetMouseStatus reports them.
PollOutcome JudgeStatusPoll(BOOL deviceOpened, DWORD status);

// --- mousestatus.cpp: following the mode's end ------------------------------
enum {
    STATUS_TIMER_ID = 1,
    STATUS_POLL_MS = 300
};
void StartStatusPolling(void);
void StopStatusPolling(void);
void CALLBACK MouseStatusTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

// --- pictures.cpp: the two mouse pictures and their drawing surfaces -------
// Where the picture sits in the client area.
enum { PICTURE_X = 10, PICTURE_Y = 10 };

// FALSE (with the system error) when either picture is missing.
BOOL LoadPictures(HINSTANCE instance);
// Memory surfaces compatible with the window's, each holding its picture.
BOOL CreatePictureSurfaces(HWND window);
// Copies the picture of the mode shown to (PICTURE_X, PICTURE_Y) of dc.
void PaintPicture(HDC dc, int rightMode);
// Releases both surfaces and both pictures; safe to call more than once.
void ReleasePictures(void);

// --- rightbuttonwnd.cpp: the window ----------------------------------------
extern HWND mainWindow;

LRESULT CALLBACK RightButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
