// Runs of the driver installer: started at installation with CreateProcessA
// (StartSetupProcess) and at removal through the shell, waited for the one
// way, judged the one way. Both paths point into sourceDir: the medium at
// installation, the installation folder when the removal was started from
// the registration or the shortcut.
#include <windows.h>
#include <shellapi.h>
#include "driverinstaller.h"
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "zerofilled.h"

#define DRIVER_SETUP_FORMAT   "\"%s\" \"%s\\Velqar.inf\" %d setup"
#define DRIVER_REMOVAL_FORMAT "uninstall %d delete"

ZERO_FILLED DriverInstallerRun lastDriverInstallerRun;

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

// Waits for the driver installer to end and fills run, which the log gets
// with the run time. The last error after it is run->error.
static void WaitForDriverInstaller(HANDLE process, DriverInstallerRun *run)
{
    DWORD started = GetTickCount();
    ZeroMemory(run, sizeof(*run));
    if (WaitForSetupProcess(process) != WAIT_OBJECT_0) {
        run->error = GetLastError();
        SetupLog("Waiting for the driver installer failed: error %lu", run->error);
    } else {
        run->ended = TRUE;
        GetExitCodeProcess(process, &run->exitCode);
        run->error = GetLastError();
        SetupLog("The driver installer ended with exit code %ld (0x%08lX) after %lu ms", (long)run->exitCode,
                 run->exitCode, GetTickCount() - started);
    }
    lastDriverInstallerRun = *run;
    SetLastError(run->error);
}

BOOL RunDriverSetup(DriverInstallerRun *run)
{
    char application[SETUP_PATH_MAX];
    // Room for the longest sourceDir twice: the command line is never cut.
    char commandLine[2 * SETUP_PATH_MAX + 64];
    if (!DriverInstallerPath(application)
        || !FormatBounded(commandLine, sizeof(commandLine), DRIVER_SETUP_FORMAT, application, sourceDir, osClass))
        return FALSE;
    SetupLog("Driver installer: %s", commandLine);
    PROCESS_INFORMATION process;
    if (!StartSetupProcess(application, commandLine, sourceDir, SW_HIDE, &process)) {
        LogFailure("start ", application, GetLastError());
        return FALSE;
    }
    WaitForDriverInstaller(process.hProcess, run);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

BOOL RunDriverRemoval(DriverInstallerRun *run)
{
    char file[SETUP_PATH_MAX], parameters[32];
    if (!DriverInstallerPath(file)
        || !FormatBounded(parameters, sizeof(parameters), DRIVER_REMOVAL_FORMAT, osClass))
        return FALSE;
    SetupLog("Driver installer: \"%s\" %s", file, parameters);
    SHELLEXECUTEINFOA execute;
    ZeroMemory(&execute, sizeof(execute));
    execute.cbSize = sizeof(execute);
    // No error dialog of the shell's own, and the process handle back.
    // No zone check either: a medium downloaded from the internet must not
    // raise a security prompt halfway through a removal.
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
    execute.lpFile = file;
    execute.lpParameters = parameters;
    execute.nShow = SW_HIDE;
    if (!ShellExecuteExA(&execute) || !execute.hProcess) {
        LogFailure("start ", file, GetLastError());
        return FALSE;
    }
    WaitForDriverInstaller(execute.hProcess, run);
    CloseHandle(execute.hProcess);
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

BOOL DriverInstallerRunFailed(const DriverInstallerRun *run)
{
    return !run->ended || DriverInstallerFailed(run->exitCode);
}

void DescribeDriverInstallerFailure(const DriverInstallerRun *run, char *text, int size)
{
    // Neither an exit code nor a status is a Windows error number: exit code
    // 2 is not "The system cannot find the file specified".
    if (!run->ended)
        FormatBounded(text, size, "waiting for the driver installer failed: error %lu", run->error);
    else if (run->exitCode == DRIVER_INSTALLER_FAILED)
        FormatBounded(text, size, "the driver installer ended with exit code %lu", run->exitCode);
    else
        FormatBounded(text, size, "the driver installer ended by a crash, status 0x%08lX", run->exitCode);
}
