// The right-button tool's rules: what makes a click, which mode a click
// sends, and what a status poll's answer means. No window is involved, so
// the rules can be exercised on their own.
#include "kaplet.h"
#include "touchdevice.h"
#include "zerofilled.h"

ZERO_FILLED int rightModeOn = 0;
ZERO_FILLED int clickPending = 0;

void NoteLeftPress(void)
{
    clickPending = 1;
}

BOOL TakePendingClick(void)
{
    // There is no mouse capture: a press in the window released elsewhere
    // never reaches us, so the click waits for the next release in the window.
    if (!clickPending)
        return FALSE;
    clickPending = 0;
    return TRUE;
}

int FlipRightMode(void)
{
    rightModeOn = rightModeOn ? 0 : 1;
    return rightModeOn;
}

PollOutcome JudgeStatusPoll(BOOL deviceOpened, DWORD status)
{
    if (!deviceOpened)
        return POLL_STOP;
    // A failed request leaves the word at 0, which reads as "ended": the
    // picture then no longer claims a mode the driver may not be in.
    if (status & TOUCH_STATUS_RIGHT_MODE_MASK)
        return POLL_AGAIN;
    return POLL_MODE_ENDED;
}
