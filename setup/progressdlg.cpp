// The progress page: runs the three installation steps one per tick of a
// 100 ms timer, enables each step's label as it succeeds, and leaves only
// Finish enabled at the end. Each step runs whole inside one timer message
// (the driver step waits for the driver installer there), so Cancel is only
// ever seen between steps; the timer is killed at every tick and restarted
// only after a successful step, so two steps never overlap. While the steps
// run, the page holds off the end of the Windows session (a log-off, a
// restart from the Start menu or an update's), which would kill the
// installation between two steps or before a failed step's clean-up.
#include <windows.h>
#include "wizard.h"
#include "install.h"
#include "texts.h"
#include "setupmessage.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "osclass.h"
#include "setuplog.h"
#include "resource.h"
#include "zerofilled.h"

enum { STEP_TIMER_ID = 100, STEP_DELAY_MS = 100, CANCEL_DECLINED_DELAY_MS = 200 };
enum { STEP_COMPLETION = SETUP_STEP_COUNT };

// The next step to run: 0 at start, raised at every tick, never lowered; a
// value above STEP_COMPLETION means the installation is complete.
ZERO_FILLED static int setupStep;

// Enabled as each step succeeds.
static const int stepLabels[SETUP_STEP_COUNT] = { IDC_STEP_FILES, IDC_STEP_DEVICE, IDC_STEP_SHORTCUTS };

// From the first step until the last has succeeded, or a failed step's
// clean-up has returned.
ZERO_FILLED static BOOL installing;

typedef BOOL (WINAPI *ShutdownBlockReasonCreateProc)(HWND window, LPCWSTR reason);
typedef BOOL (WINAPI *ShutdownBlockReasonDestroyProc)(HWND window);

// Windows Vista and later name the reason on their shutdown screen; the two
// calls are looked up at run time, since earlier releases lack them.
static void SetInstalling(HWND dialog, BOOL on)
{
    installing = on;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (on) {
        ShutdownBlockReasonCreateProc create =
            (ShutdownBlockReasonCreateProc)(void (*)(void))GetProcAddress(user32, "ShutdownBlockReasonCreate");
        if (create)
            create(dialog, SHUTDOWN_BLOCK_REASON);
    } else {
        ShutdownBlockReasonDestroyProc destroy =
            (ShutdownBlockReasonDestroyProc)(void (*)(void))GetProcAddress(user32, "ShutdownBlockReasonDestroy");
        if (destroy)
            destroy(dialog);
    }
}

static void LeaveOnlyFinish(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_FINISH), TRUE);
}

static void RunSetupStep(HWND dialog, int step)
{
    if (RunInstallStep(step) >= 0) {
        EnableWindow(GetDlgItem(dialog, stepLabels[step]), TRUE);
        SetTimer(dialog, STEP_TIMER_ID, STEP_DELAY_MS, NULL);
        if (step == SETUP_STEP_COUNT - 1)
            SetInstalling(dialog, FALSE);
        return;
    }
    ReportStepFailure(dialog, step);
    LeaveOnlyFinish(dialog);
    CleanUpFailedStep(step);
    SetInstalling(dialog, FALSE);
}

static void OnStepTimer(HWND dialog)
{
    // Above the backdrop and every other window while the steps run.
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | WS_EX_TOPMOST);
    KillTimer(dialog, STEP_TIMER_ID);
    if (setupStep < STEP_COMPLETION) {
        RunSetupStep(dialog, setupStep);
    } else if (setupStep == STEP_COMPLETION) {
        LeaveOnlyFinish(dialog);
        BringWindowToTop(dialog);
    }
    // Also after a failure: a value above STEP_COMPLETION means complete.
    setupStep++;
}

// The calibration program, from the installation folder; not waited for,
// and a failure to start it is no error of the installation.
static void StartCalibration(void)
{
    char program[SETUP_PATH_MAX], folder[SETUP_PATH_MAX];
    if (!InstallFolderFilePath(INSTALL_FOLDER_RUN_SPELLING, "ZentaroxUsb.exe", program)
        || !InstallFolderFilePath(INSTALL_FOLDER_RUN_SPELLING, NULL, folder))
        return;
    PROCESS_INFORMATION process;
    if (!StartSetupProcess(program, NULL, folder, SW_SHOW, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

static void OnFinish(HWND dialog)
{
    EndDialog(dialog, IDC_FINISH);
    LogStageStart("finish");
    BOOL restarting = setupStep > STEP_COMPLETION && FinishInstallation(dialog, NULL);
    // The 9x class calibrates after its restart, from the Run entry; a
    // calibration kept from before is not asked for again.
    if (!restarting && !IsWin9xClass(osClass) && !keptCalibration)
        StartCalibration();
    LogStageEnd("finish", 0, 0);
    // Last: the restart may end the program as soon as it is asked for.
    if (restarting)
        RestartSystem(dialog);
    PostQuitMessage(0);
    EndDialog(dialog, IDC_FINISH);
}

static INT_PTR OnCancel(HWND dialog)
{
    KillTimer(dialog, STEP_TIMER_ID);
    if (ShowSetupMessage(dialog, CANCEL_QUESTION_TEXT, SETUP_CAPTION,
                         MB_YESNO | MB_ICONINFORMATION, IDNO) == IDYES) {
        // What is done so far stays.
        SetInstalling(dialog, FALSE);
        PostQuitMessage(0);
        EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
    SetTimer(dialog, STEP_TIMER_ID, CANCEL_DECLINED_DELAY_MS, NULL);
    return TRUE;
}

static INT_PTR OnInitDialog(HWND dialog)
{
    CenterOnScreen(dialog);
    // A folder that cannot be resolved stays empty; the steps then fail
    // with the reason instead of working on the root of the current drive.
    ResolveSetupFolders();
    SetInstalling(dialog, TRUE);
    SetTimer(dialog, STEP_TIMER_ID, STEP_DELAY_MS, NULL);
    return TRUE;
}

// FALSE (refused) while the steps run, answered through DWLP_MSGRESULT as
// a dialog answers; otherwise the default, which agrees. A critical end
// (ENDSESSION_CRITICAL, Vista and later) cannot be refused, and the log
// does not claim it was.
static INT_PTR OnQueryEndSession(HWND dialog, LPARAM how)
{
    if (!installing)
        return FALSE;
    if (how & ENDSESSION_CRITICAL)
        SetupLog("Windows is ending the session, which cannot be refused");
    else
        SetupLog("Asked to end the Windows session: refused, the installation is not finished");
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
    return TRUE;
}

// Windows ends the process right after this returns.
static INT_PTR OnEndSession(BOOL ending)
{
    if (ending && installing)
        SetupLog("Windows ended the session before the installation had finished: the setup was stopped");
    return FALSE;
}

INT_PTR CALLBACK ProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_TIMER:
        OnStepTimer(dialog);
        return FALSE;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(dialog, lParam);
    case WM_ENDSESSION:
        return OnEndSession((BOOL)wParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FINISH:
            OnFinish(dialog);
            return TRUE;
        case IDCANCEL:
            return OnCancel(dialog);
        }
        break;
    }
    return FALSE;
}
