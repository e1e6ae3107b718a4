// CalibrationWndProc: the full-screen window on which the user touches four
// targets and then checks the result.
//
// The touchscreen is the system mouse, so a touch arrives as a left-button
// press and release. The position in the message is in pixels as mapped by
// the old calibration; what is stored is the controller's raw reading, which
// the window asks the driver for at each release.
#include "zentaroxusb.h"
#include "texts.h"
#include "debugtrace.h"
#include "runentry.h"
#include "touchdevice.h"
#include "zerofilled.h"

enum {
    PASS_TIMER_ID = 1,
    PASS_TIME_LIMIT_MS = 30000,     // four targets and the check, from the pass's start
    TOUCH_BEEP_HZ = 2000,
    TOUCH_BEEP_MS = 100,
};

// Blue 255, green 102, red 0: a COLORREF keeps red in its low byte.
static const COLORREF INSTRUCTION_COLOUR = 0xFF6600;

// Memory contexts holding bitmaps 102, 104 and 105 ready for copying.
ZERO_FILLED static HDC crossDc, tickDc, fingerDc;
ZERO_FILLED static HWND okButton, adjustButton;

// --- pointer ------------------------------------------------------------------
// ShowCursor moves a counter (shown while it is 0 or more) rather than setting
// a state, so calls that do not pair up drift it: every paint of the check
// screen would push it higher and a later pass would keep the pointer on its
// targets. The window therefore keeps at most one hide of its own outstanding
// and gives it back exactly once.
ZERO_FILLED static BOOL pointerHidden;

static void HidePointer(void)
{
    if (!pointerHidden) {
        ShowCursor(FALSE);
        pointerHidden = TRUE;
    }
}

static void ShowPointer(void)
{
    if (pointerHidden) {
        ShowCursor(TRUE);
        pointerHidden = FALSE;
    }
}

// --- creation and destruction ---------------------------------------------------

static HDC CreateBitmapContext(HDC windowDc, HBITMAP bitmap)
{
    HDC dc = CreateCompatibleDC(windowDc);
    SelectObject(dc, bitmap);
    return dc;
}

static HWND CreatePushButton(HWND window, const char *text, const RECT &place)
{
    // No control id: WM_COMMAND tells the two apart by their handles.
    return CreateWindowExA(0, "button", text, WS_CHILD | WS_VISIBLE, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, window, NULL,
                           NULL, NULL);
}

static void OnCreate(HWND window)
{
    LoadCalibration(savedCalibration);
    HidePointer();
    calibStep = 1;

    HDC windowDc = GetDC(window);
    crossDc = CreateBitmapContext(windowDc, crossBitmap);
    tickDc = CreateBitmapContext(windowDc, tickBitmap);
    fingerDc = CreateBitmapContext(windowDc, fingerBitmap);
    ReleaseDC(window, windowDc);

    SetTimer(window, PASS_TIMER_ID, PASS_TIME_LIMIT_MS, NULL);

    CalibrationLayout layout;
    ComputeLayout(screenWidth, screenHeight, &layout);
    okButton = CreatePushButton(window, OK_BUTTON_LABEL, layout.okButton);
    adjustButton = CreatePushButton(window, ADJUST_BUTTON_LABEL, layout.adjustButton);
    ShowWindow(okButton, SW_HIDE);
    ShowWindow(adjustButton, SW_HIDE);
}

static void OnDestroy(void)
{
    ShowPointer();
    // The contexts go first: a bitmap still selected into one cannot be freed.
    DeleteDC(crossDc);
    DeleteDC(tickDc);
    DeleteDC(fingerDc);
    DeleteObject(crossBitmap);
    DeleteObject(tickBitmap);
    DeleteObject(fingerBitmap);
    PostQuitMessage(0);
}

// --- painting -------------------------------------------------------------------
// Every repaint the window asks for erases the whole screen to the class's
// white brush first, so only the current target or the check screen shows.

static void PaintTarget(HDC dc, const CalibrationLayout &layout)
{
    BITMAP cross;
    ZeroMemory(&cross, sizeof(cross));
    GetObjectA(crossBitmap, sizeof(cross), &cross);
    // Recomputed at every paint from the size measured at start-up.
    POINT centre = TargetCentre(calibStep, screenWidth, screenHeight);
    BitBlt(dc, centre.x - cross.bmWidth / 2, centre.y - cross.bmHeight / 2,
           cross.bmWidth, cross.bmHeight, crossDc, 0, 0, SRCCOPY);
    BitBlt(dc, layout.tick.x, layout.tick.y, 28, 27, tickDc, 0, 0, SRCCOPY);
    RECT text = layout.instruction;
    DrawTextA(dc, TARGET_INSTRUCTION, -1, &text, DT_CENTER);
}

static void PaintCheckScreen(HDC dc, const CalibrationLayout &layout)
{
    BitBlt(dc, layout.finger.x, layout.finger.y, 91, 109, fingerDc, 0, 0, SRCCOPY);
    RECT text = layout.check;
    DrawTextA(dc, CHECK_QUESTION, -1, &text, DT_CENTER);
    ShowWindow(okButton, SW_SHOWNORMAL);
    ShowWindow(adjustButton, SW_SHOWNORMAL);
    // The user now touches around to see whether the pointer follows.
    ShowPointer();
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    // Background mode and font stay the defaults: opaque white, system font.
    SetTextColor(dc, INSTRUCTION_COLOUR);
    CalibrationLayout layout;
    ComputeLayout(screenWidth, screenHeight, &layout);
    if (IsTargetStep(calibStep))
        PaintTarget(dc, layout);
    else if (calibStep == 0)
        PaintCheckScreen(dc, layout);
    EndPaint(window, &ps);
}

// --- touches --------------------------------------------------------------------

static void SaveNewCalibration(void)
{
    int values[CALIBRATION_LOADED_COUNT];
    ComposeCalibration(rawReadings, screenWidth, screenHeight, values);
    SaveCalibrationAndApply(values);
}

// Takes the driver's raw reading for the current target. The release itself
// is the acceptance: where it landed, how long it lasted and how steady it
// was are not looked at.
static void TakeTouchReading(void)
{
    DWORD word;
    if (!ReadTouchXY(touchDevice, &word)) {
        // The word holds nothing usable (zero, or whatever the driver left):
        // stored as a corner, raw 0,0 would leave the touchscreen unusable.
        // The same target waits for another touch.
        DebugTrace(0, READING_FAIL_TRACE, (int)GetLastError(), calibStep);
        return;
    }
    int x = (int)TouchWordX(word), y = (int)TouchWordY(word);
    rawReadings[calibStep - 1].x = x;
    rawReadings[calibStep - 1].y = y;
    const char *format = ReadingTraceFormat(calibStep);
    calibStep = NextCalibStep(calibStep);
    DebugTrace(0, format, x, y);
    // Stored, confirmed and handed to the driver before the check screen
    // paints, so the user checks the new calibration.
    if (calibStep == 0)
        SaveNewCalibration();
}

static void OnLeftButtonUp(HWND window)
{
    if (IsTargetStep(calibStep))
        TakeTouchReading();
    // Every release, taken or not, repaints and beeps: the user hears that
    // the touch arrived.
    InvalidateRect(window, NULL, TRUE);
    Beep(TOUCH_BEEP_HZ, TOUCH_BEEP_MS);
}

// --- keys, buttons, timer --------------------------------------------------------

static void OnKeyDown(HWND window, WPARAM key)
{
    if (key != VK_ESCAPE && key != VK_SPACE)
        return;
    RestoreCalibration(savedCalibration);
    KillTimer(window, PASS_TIMER_ID);
    DestroyWindow(window);
}

static void AcceptCalibration(HWND window)
{
    // Stored once more, with its own reload request: the key is shared with
    // the driver and anyone else without a lock, and this makes the accepted
    // values the last word.
    SaveNewCalibration();
    DestroyWindow(window);
    // The program no longer starts at logon.
    RemoveRunEntry(CALIBRATION_RUN_VALUE);
}

static void StartAgain(HWND window)
{
    calibStep = 1;
    RestoreCalibration(savedCalibration);
    HidePointer();
    // Replaces the running timer: the new pass gets its own 30 seconds.
    SetTimer(window, PASS_TIMER_ID, PASS_TIME_LIMIT_MS, NULL);
    InvalidateRect(window, NULL, TRUE);
    ShowWindow(okButton, SW_HIDE);
    ShowWindow(adjustButton, SW_HIDE);
    // The clicked button had the keyboard focus, and a hidden window may keep
    // it: Escape would then do nothing and Space would press "Adjust Again"
    // once more. The cancel keys only work on the window itself.
    SetFocus(window);
}

static void OnCommand(HWND window, HWND control)
{
    // The buttons have no ids; the notification code does not matter.
    if (control == okButton)
        AcceptCalibration(window);
    else if (control == adjustButton)
        StartAgain(window);
}

static void OnTimer(HWND window, WPARAM timerId)
{
    if (timerId != PASS_TIMER_ID)
        return;
    // Out of time: whatever is stored by now stays, and so does the Run
    // value, so the program comes back at the next logon.
    KillTimer(window, PASS_TIMER_ID);
    DestroyWindow(window);
}

LRESULT CALLBACK CalibrationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_LBUTTONUP:
        OnLeftButtonUp(window);
        break;
    case WM_KEYDOWN:
        OnKeyDown(window, wParam);
        break;
    case WM_COMMAND:
        OnCommand(window, (HWND)lParam);
        break;
    case WM_TIMER:
        OnTimer(window, wParam);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    // Every message also goes to the default procedure; for the ones handled
    // above it does nothing that undoes the handling.
    return DefWindowProcA(window, message, wParam, lParam);
}
