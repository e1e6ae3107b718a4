// ShowSetupMessage: the one way the setup program shows a message box, so
// that a silent run ("/S", "/u /S") shows none. There the box's text goes to
// the debug trace instead, and the caller says what the box would have been
// answered.
#include <windows.h>
#include "silent.h"
#include "debugtrace.h"
#include "zerofilled.h"

ZERO_FILLED BOOL silentMode;

int ShowSetupMessage(HWND owner, const char *text, const char *caption, UINT type, int silentAnswer)
{
    // MessageBoxA changes the last error; a failure's error must outlive
    // the box that reports the failure.
    DWORD error = GetLastError();
    int answer = silentAnswer;
    if (silentMode)
        DebugTrace(0, "%s\n", text);
    else
        answer = MessageBoxA(owner, text, caption, type);
    SetLastError(error);
    return answer;
}
