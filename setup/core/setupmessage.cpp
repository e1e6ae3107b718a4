// ShowSetupMessage: the one way the setup program shows a message box, so
// that a silent run ("/S", "/u /S") shows none. There the box's text goes to
// the debug trace instead, and the caller says what the box would have been
// answered. The setup log gets every text with the answer it got, once.
#include <windows.h>
#include "setupmessage.h"
#include "debugtrace.h"
#include "setuplog.h"
#include "zerofilled.h"

ZERO_FILLED BOOL silentMode;

static const char *AnswerName(int answer)
{
    switch (answer) {
    case IDOK:
        return "OK";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    }
    return "none";
}

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
    SetupLog("%s \"%s\": \"%s\", answered %s", silentMode ? "Message (silent run, not shown)" : "Message box",
             caption, text, AnswerName(answer));
    SetLastError(error);
    return answer;
}
