// The installation as a sequence of steps, with no window of its own: the wizard's
// progress page runs one step per timer tick, and any other road through the
// installation runs the same table. Before the first step the run notes what
// an earlier installation already has in place, so that the clean-up after a
// failed step removes only what this run made: a failed reinstall leaves
// the earlier installation working and removable, and a failed first
// installation leaves nothing of itself, registration included.
#include <windows.h>
#include "install.h"
#include "texts.h"
#include "setupmessage.h"
#include "exitcode.h"
#include "driverinstaller.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "runentry.h"
#include "zerofilled.h"

struct SetupStepEntry {
    int (*run)(void);
    const char *failureFormat;   // last error, OS class code
    BOOL cleanUp;                // remove what the run made after a failure
    const char *name;            // in the setup log
};

static int BeginAndCopyFiles(void);

static const SetupStepEntry setupSteps[SETUP_STEP_COUNT] = {
    { BeginAndCopyFiles, FILE_STEP_FAILED_TEXT, TRUE, "copying the product files" },
    { InstallDriverPackage, DRIVER_STEP_FAILED_TEXT, TRUE, "installing the driver package" },
    // Never fails as written; a failure would stop here and keep what is done.
    { CreateStartMenuShortcuts, SHORTCUT_STEP_FAILED_TEXT, FALSE, "creating the Start-menu shortcuts" },
};

// What was in place before this run.
ZERO_FILLED static InstalledPlaces placesFound;
ZERO_FILLED static BOOL registrationFound;

DWORD BeginInstallation(void)
{
    DWORD error = FindInstalledPlaces(&placesFound);
    LONG result = FindUninstallRegistration(&registrationFound);
    return error != ERROR_SUCCESS ? error : (DWORD)result;
}

// Step 0. What an earlier installation has in place is noted first; where
// that cannot be told, the step fails before anything is copied.
static int BeginAndCopyFiles(void)
{
    DWORD error = BeginInstallation();
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return -1;
    }
    return CopySetupFiles();
}

int RunLoggedStage(const char *stage, int (*run)(void))
{
    LogStageStart(stage);
    int result = run();
    DWORD error = GetLastError();
    if (result == DRIVER_PACKAGE_FAILED) {
        // Its last error is only the box's number.
        char reason[128];
        DescribeDriverInstallerFailure(&lastDriverInstallerRun, reason, sizeof(reason));
        LogStageFailure(stage, result, reason);
    } else {
        LogStageEnd(stage, result, error);
    }
    SetLastError(error);
    return result;
}

int RunInstallStep(int step)
{
    int result = RunLoggedStage(setupSteps[step].name, setupSteps[step].run);
    // Only a complete installation takes back what an earlier removal left
    // for the restart to delete: after a failed one the restart still
    // finishes that removal.
    if (result >= 0 && step == SETUP_STEP_COUNT - 1)
        CancelPendingDeletes(FALSE);
    return result;
}

BOOL FinishInstallation(HWND owner, LONG *runEntry)
{
    // Written before the question: a restart must already find it. A
    // calibration kept from before needs no prompt, which could only undo
    // or redo it; the Start menu's Calibration is there for that.
    LONG written = ERROR_SUCCESS;
    if (keptCalibration)
        SetupLog("No logon entry %s written: the touchscreen keeps its calibration", CALIBRATION_RUN_VALUE);
    else
        written = AddRunEntry(CALIBRATION_RUN_VALUE, "ZentaroxUsb.exe");
    if (runEntry)
        *runEntry = written;
    return ShowSetupMessage(owner, INSTALL_RESTART_QUESTION_TEXT, SETUP_CAPTION, MB_YESNO | MB_ICONINFORMATION, IDNO)
        == IDYES;
}

// The registration of a product whose files are gone would list a program
// that cannot be removed; it goes before the installation folder, whose
// Install.exe it starts.
static void DropNewRegistration(void)
{
    RemoveUninstallRegistration();
}

DWORD ReportStepFailure(HWND owner, int step)
{
    DWORD error = GetLastError();
    char text[SETUP_TEXT_MAX];
    FormatBounded(text, sizeof(text), setupSteps[step].failureFormat, (int)error, osClass);
    ShowSetupMessage(owner, text, SETUP_CAPTION, MB_OK | MB_ICONERROR, IDOK);
    return error;
}

void CleanUpFailedStep(int step)
{
    if (!setupSteps[step].cleanUp)
        return;
    DiscardStagedCopies();
    RemoveInstalledFiles(&placesFound, registrationFound ? NULL : DropNewRegistration);
}
