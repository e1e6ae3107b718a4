// Install.exe's entry: the version gate, the refusal of the 32-bit setup on
// 64-bit Windows, one setup at a time, then either the removal ("/u"), the
// wizard on its full-screen backdrop, or one of the silent modes ("/S",
// "/u /S"). The interactive program always ends with 0; a silent run ends
// with a code a script can act on (silent.h).
#include <windows.h>
#include "wizard.h"
#include "install.h"
#include "texts.h"
#include "setupmessage.h"
#include "silent.h"
#include "exitcode.h"
#include "setupcontext.h"
#include "osclass.h"
#include "dllsearch.h"
#include "setuplog.h"
#include "resource.h"
#include "zerofilled.h"

ZERO_FILLED HINSTANCE appInstance;
ZERO_FILLED char windowTitle[SETUP_TEXT_MAX];
ZERO_FILLED char windowClassName[SETUP_TEXT_MAX];
ZERO_FILLED HWND mainWindow;

// The "/u" road (core/uninstall.cpp), then the restart it asked for. Its
// exit code matters to a silent run only: the interactive road ends with 0
// whatever happens.
static int RunRemoval(void)
{
    BOOL restart;
    DWORD exitCode = RunUninstallPrompt(&restart);
    if (restart)
        RestartSystem(NULL);
    return SetupExitCode(exitCode);
}

// Held by the running setup until it ends (the system closes it then). On
// the NT class it is machine-wide (the "Global\" prefix): a deployment
// tool's setup under the system account and a user's in another session are
// one at a time too. Windows 9x knows no namespaces and takes the plain name.
#define SETUP_MUTEX_NAME "ZentaroxUsbSetupRunning"

// The running setup's window to the front: the page or box on top of its
// backdrop, or the removal's question, which has no backdrop.
static void ShowRunningSetup(void)
{
    HWND window = FindWindowA(windowClassName, NULL);
    if (window)
        window = GetLastActivePopup(window);
    else
        window = FindWindowA(NULL, UNINSTALL_CAPTION);
    if (!window)
        return;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// TRUE when another setup already runs: this one must then touch nothing.
// A mutex that exists but may not be opened belongs to a setup of another
// account, whose default access list leaves this one out.
static BOOL AnotherSetupRunning(void)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, IsNtClass(osClass) ? "Global\\" SETUP_MUTEX_NAME : SETUP_MUTEX_NAME);
    return mutex ? GetLastError() == ERROR_ALREADY_EXISTS : GetLastError() == ERROR_ACCESS_DENIED;
}

// The accelerators reach only this loop: while a wizard page is open its own
// modal loop runs instead.
static int RunMessageLoop(HACCEL accelerators)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand)
{
    LoadStringA(instance, IDS_SETUP_TITLE, windowTitle, SETUP_TEXT_MAX);
    LoadStringA(instance, IDS_SETUP_CLASS, windowClassName, SETUP_TEXT_MAX);
    // Before the version gate, whose box a silent run must not show either.
    silentMode = IsSilentArgument(commandTail) || IsSilentUninstallArgument(commandTail);
    // Before the argument test: an unsupported system is not touched at all,
    // not even to remove the product.
    osClass = QueryOsClass();
    // Before anything loads a DLL. The Windows 9x class keeps the usual
    // search: its Setup API is loaded by name.
    if (!IsWin9xClass(osClass))
        RestrictDllSearch();
    if (osClass == OS_CLASS_UNSUPPORTED) {
        ShowSetupMessage(NULL, UNSUPPORTED_WINDOWS_TEXT, SETUP_CAPTION, MB_OK | MB_ICONERROR, IDOK);
        return SetupExitCode(SETUP_EXIT_OLD_WINDOWS);
    }
    // The 32-bit setup on 64-bit Windows would put everything where the
    // system never loads it from and still report success: it refuses
    // before touching anything, the removal included.
    if (RunningUnderWow64()) {
        ShowSetupMessage(NULL, WRONG_MACHINE_TEXT, SETUP_CAPTION, MB_OK | MB_ICONERROR, IDOK);
        return SetupExitCode(SETUP_EXIT_WRONG_MACHINE);
    }
    if (AnotherSetupRunning()) {
        // A silent run changes nothing on the screen, not even which window
        // is in front.
        if (!silentMode)
            ShowRunningSetup();
        return SetupExitCode(SETUP_EXIT_ALREADY_RUNNING);
    }
    // Only a run that may change something gets a log.
    OpenSetupLog(commandTail);
    if (IsUninstallArgument(commandTail) || IsSilentUninstallArgument(commandTail))
        return CloseSetupLog(RunRemoval());
    if (silentMode)
        return CloseSetupLog(SetupExitCode(RunSilentInstallation()));
    RegisterMainWindowClass(instance);
    if (CreateMainWindow(instance, showCommand))
        RunMessageLoop(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_SETUP_ACCEL)));
    return CloseSetupLog(0);
}
