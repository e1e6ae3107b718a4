// Following the end of right-button mode: the driver ends the mode by itself
// (after a right click, for instance), so while the tool shows it, the
// driver is asked every 300 ms whether it is still in effect.
//
// The timer has a timer routine of its own, so its ticks never reach the
// window procedure. Each tick stops the timer and the poll restarts it once
// the (synchronous) request is done: polls never pile up behind a slow
// driver, and each one follows the end of the previous by the full period.
#include "kaplet.h"
#include "touchdevice.h"

void StartStatusPolling(void)
{
    SetTimer(mainWindow, STATUS_TIMER_ID, STATUS_POLL_MS, MouseStatusTimerProc);
}

void StopStatusPolling(void)
{
    KillTimer(mainWindow, STATUS_TIMER_ID);
}

void CALLBACK MouseStatusTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    StopStatusPolling();
    // A tick generated before the user switched the mode off may still be
    // dispatched after KillTimer; the driver has been told "off" already.
    if (!rightModeOn)
        return;
    DWORD status = 0;
    BOOL opened = GetMouseStatus(&status);
    switch (JudgeStatusPoll(opened, status)) {
    case POLL_STOP:
        break;
    case POLL_AGAIN:
        StartStatusPolling();
        break;
    case POLL_MODE_ENDED:
        // Nothing is sent: the mode has already ended in the driver.
        rightModeOn = 0;
        InvalidateRect(mainWindow, NULL, FALSE);
        break;
    }
}
