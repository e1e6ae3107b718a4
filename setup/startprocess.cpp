// StartSetupProcess starts the driver installer at installation and the
// calibration program after Finish: with the system's default error mode
// rather than the setup program's, no inherited handles, and the window shown
// as asked. (The removal starts the driver installer through the shell,
// ShellExecuteExA, in uninstall.cpp.) WaitForSetupProcess is how the setup
// program waits for the driver installer, at installation and at removal.
#include <windows.h>
#include "install.h"

BOOL StartSetupProcess(const char *application, char *commandLine, const char *folder, WORD show,
                       PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    return CreateProcessA(application, commandLine, NULL, NULL, FALSE, CREATE_DEFAULT_ERROR_MODE, NULL, folder,
                          &startup, process);
}

// A driver installer may take tens of seconds, and one that broadcasts a
// message to every window would wait on this thread in turn. So the thread
// answers messages sent to its windows and repaints them while it waits,
// and handles nothing else: no timer, click or key reaches a page before
// the process has ended, and what was posted meanwhile is handled after.
DWORD WaitForSetupProcess(HANDLE process)
{
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT);
        if (woke != WAIT_OBJECT_0 + 1)
            return woke;
        // Peeking delivers the sent messages; only painting is taken out
        // of the queue.
        MSG message;
        while (PeekMessageA(&message, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&message);
    }
}
