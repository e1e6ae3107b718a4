// StartSetupProcess starts the driver installer at installation and the
// calibration program after Finish: with the system's default error mode
// rather than the setup program's, no inherited handles, and the window shown
// as asked. (The removal starts the driver installer through the shell,
// ShellExecuteExA, in uninstall.cpp.) WaitForDriverInstaller is how the
// setup program waits for the driver installer, at installation and at
// removal, and DriverInstallerFailed how it judges the exit code.
#include <windows.h>
#include "install.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "zerofilled.h"

// How the last wait for the driver installer ended, for the line that ends
// its stage in the log.
ZERO_FILLED static BOOL lastEnded;
ZERO_FILLED static DWORD lastExitCode;
ZERO_FILLED static DWORD lastWaitError;

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

// Mouse and keyboard messages of the thread's windows, the non-client ones
// included; the pairs are ranges of message numbers.
static const UINT inputMessages[][2] = {
    { WM_KEYFIRST, WM_KEYLAST },
    { WM_MOUSEFIRST, WM_MOUSELAST },
    { WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK },
};

// A driver installer may take minutes, and one that broadcasts a message to
// every window would wait on this thread in turn. So the thread answers
// messages sent to its windows and repaints them while it waits. Input is
// taken out of the queue and dropped as it comes: nothing could act on it
// before the step ends (a disabled window would drop it the same way), and
// input left waiting 5 seconds makes Windows mark the wizard "Not
// Responding", whose closing would kill the setup in the middle of the
// driver installation. Everything else posted (a timer, a command) stays
// queued and is handled after the step. QS_MOUSE | QS_KEY, not QS_INPUT,
// which holds bits that Windows 2000 refuses.
static DWORD WaitForSetupProcess(HANDLE process)
{
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE,
                                               QS_SENDMESSAGE | QS_PAINT | QS_MOUSE | QS_KEY);
        if (woke != WAIT_OBJECT_0 + 1)
            return woke;
        // Peeking delivers the sent messages.
        MSG message;
        for (size_t i = 0; i < sizeof(inputMessages) / sizeof(inputMessages[0]); i++)
            while (PeekMessageA(&message, NULL, inputMessages[i][0], inputMessages[i][1], PM_REMOVE))
                ;
        while (PeekMessageA(&message, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

BOOL WaitForDriverInstaller(HANDLE process, DWORD *exitCode)
{
    DWORD started = GetTickCount();
    *exitCode = 0;
    lastEnded = FALSE;
    if (WaitForSetupProcess(process) != WAIT_OBJECT_0) {
        DWORD error = GetLastError();
        lastWaitError = error;
        SetupLog("Waiting for the driver installer failed: error %lu", error);
        SetLastError(error);
        return FALSE;
    }
    GetExitCodeProcess(process, exitCode);
    lastEnded = TRUE;
    lastExitCode = *exitCode;
    DWORD error = GetLastError();
    SetupLog("The driver installer ended with exit code %ld (0x%08lX) after %lu ms", (long)*exitCode, *exitCode,
             GetTickCount() - started);
    SetLastError(error);
    return TRUE;
}

BOOL DriverInstallerFailed(DWORD exitCode)
{
    // Windows ends a process that an unhandled exception stops with the
    // exception's status: 0xC0000005 (access violation), 0xC0000409 (stack
    // buffer overrun), 0xC000013A (Ctrl+C) and the rest of the error
    // statuses, and 0x80000003 (a breakpoint). Task Manager's End task gives
    // 1, and exit(-1) 0xFFFFFFFF: success, as every other code.
    return exitCode == DRIVER_INSTALLER_FAILED || (exitCode & 0xF0000000) == 0xC0000000
        || exitCode == 0x80000003;
}

void DescribeDriverInstallerFailure(char *text, int size)
{
    // Neither an exit code nor a status is a Windows error number: exit code
    // 2 is not "The system cannot find the file specified".
    if (!lastEnded)
        FormatBounded(text, size, "waiting for the driver installer failed: error %lu", lastWaitError);
    else if (lastExitCode == DRIVER_INSTALLER_FAILED)
        FormatBounded(text, size, "the driver installer ended with exit code %lu", lastExitCode);
    else
        FormatBounded(text, size, "the driver installer ended by a crash, status 0x%08lX", lastExitCode);
}
