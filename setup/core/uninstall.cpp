// The removal behind "Install.exe /u", with its two questions. The driver
// installer removes the driver package first; only when it reports success
// do the registry values, the second copies, the shortcuts, the logon entry,
// the registration and, last, the installation folder go (removefiles.cpp),
// so that a removal that stops leaves the product listed and removable, and
// a listed product's removal can start. Whatever cannot be removed stops
// the removal there, with a box that says so; after the registration went,
// the registration is put back. On the NT class the replacements that an
// earlier setup left for the restart are taken back.
#include <windows.h>
#include "install.h"
#include "texts.h"
#include "setupmessage.h"
#include "exitcode.h"
#include "driverinstaller.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "legacydevice.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"
#include "runentry.h"

// The removal's first question, then the removal, then the restart
// question; what a silent run answers is given with each.
DWORD RunUninstallPrompt(BOOL *restart)
{
    *restart = FALSE;
    if (ShowSetupMessage(NULL, UNINSTALL_QUESTION_TEXT, UNINSTALL_CAPTION, MB_YESNO | MB_ICONWARNING, IDYES)
        != IDYES)
        return ERROR_INSTALL_USEREXIT;
    // A removal that stopped early has said what it has to say.
    int result = UninstallProduct();
    if (result != 0)
        return StepFailureExitCode(result, GetLastError());
    *restart = ShowSetupMessage(NULL, UNINSTALL_RESTART_QUESTION_TEXT, UNINSTALL_CAPTION,
                                MB_YESNO | MB_ICONINFORMATION, IDNO) == IDYES;
    return SETUP_EXIT_RESTART_NEEDED;
}

static int RemoveNtDriverPackage(void)
{
    DriverInstallerRun run;
    if (!RunDriverRemoval(&run)) {
        DWORD error = GetLastError();
        SetupTrace("Start driver installer fail(%d)\n", (int)error);
        char text[SETUP_TEXT_MAX];
        FormatBounded(text, sizeof(text), DRIVER_STEP_FAILED_TEXT, (int)error, osClass);
        // The box keeps the last error for a silent run's exit code.
        ShowSetupMessage(NULL, text, UNINSTALL_CAPTION, MB_OK | MB_ICONERROR, IDOK);
        return -1;
    }
    // A crash or a failed wait has not removed the driver package either.
    if (DriverInstallerRunFailed(&run)) {
        ShowSetupMessage(NULL, REMOVE_FAILED_TEXT, SETUP_CAPTION, MB_OK | MB_ICONERROR, IDOK);
        return DRIVER_PACKAGE_FAILED;
    }
    return 0;
}

int UninstallProduct(void)
{
    return UninstallProductWith(GetModuleFileNameA, GetWindowsDirectoryA);
}

// A removal that stops after the driver package went: the product stays
// listed, and the box says so and that the removal can be run again.
static int StopRemoval(DWORD error)
{
    char text[SETUP_TEXT_MAX];
    SetLastError(error);
    FormatBounded(text, sizeof(text), REMOVAL_INCOMPLETE_TEXT, (int)error, osClass);
    ShowSetupMessage(NULL, text, UNINSTALL_CAPTION, MB_OK | MB_ICONERROR, IDOK);
    return -1;
}

static int RemoveDriverKeys(void)
{
    LONG error = IsWin9xClass(osClass) ? UpdateLegacyDeviceKeys(0) : ERROR_SUCCESS;
    LONG registry = RemoveDriverRegistry();
    if (error == ERROR_SUCCESS)
        error = registry;
    SetLastError((DWORD)error);
    return error == ERROR_SUCCESS ? 0 : -1;
}

// Between the files outside the installation folder and those in it: while
// the product is listed, its registered removal starts Install.exe and
// Velqar.exe from the installation folder, so the registration goes first.
// The logon entry goes before it: once unlisted, nothing would take it away.
static DWORD RemoveRegistration(void)
{
    LONG error = RemoveRunEntry(CALIBRATION_RUN_VALUE);
    if (error != ERROR_SUCCESS) {
        LogFailure("delete the logon entry ", CALIBRATION_RUN_VALUE, (DWORD)error);
        return (DWORD)error;
    }
    SetupLog("The logon entry of the calibration program is gone");
    return (DWORD)RemoveUninstallRegistration();
}

// After the registration went, something of the installation folder can be
// neither deleted nor left for the restart: the registration comes back
// (it is ours, and its values are known), and so does what was to go at the
// restart in the folder, so that the product stays listed and its removal,
// with Install.exe and Velqar.exe, can run again.
static void PutRegistrationBack(void)
{
    CancelPendingDeletes(TRUE);
    LONG result = WriteUninstallRegistration();
    if (result == ERROR_SUCCESS)
        SetupLog("The registration is written back");
    else
        LogFailure("write the registration back", "", (DWORD)result);
}

// What waits for the restart and what lies outside the installation folder
// go while the product is listed; what cannot stops the removal there.
static int RemoveProductFiles(void)
{
    // A repair's replacements waiting for the restart would bring the
    // driver back after it.
    DWORD error = TakeBackStagedCopies(TRUE);
    if (error == ERROR_SUCCESS)
        error = RemoveFilesOutsideInstallFolder(NULL);
    if (error == ERROR_SUCCESS)
        error = RemoveRegistration();
    if (error == ERROR_SUCCESS) {
        error = TakeBackStagedCopies(FALSE);
        if (error == ERROR_SUCCESS)
            error = RemoveInstallFolder(NULL);
        if (error != ERROR_SUCCESS)
            PutRegistrationBack();
    }
    SetLastError(error);
    return error == ERROR_SUCCESS ? 0 : -1;
}

int UninstallProductWith(ModuleFileNameProc getModuleFileName, WindowsDirectoryProc getWindowsDirectory)
{
    // Without both folders nothing may be started or deleted: every path of
    // the removal is built on them, and on an empty one it would name the
    // root of the current drive.
    if (!ResolveSetupFoldersWith(getModuleFileName, getWindowsDirectory)) {
        SetupTrace("Resolve setup folders fail(%d)\n", (int)GetLastError());
        return -1;
    }
    // Windows 9x has no driver installer to run: its device keys say which
    // driver the controller uses.
    if (!IsWin9xClass(osClass)) {
        int result = RunLoggedStage("removing the driver package (driver installer)", RemoveNtDriverPackage);
        if (result != 0)
            return result;
    }
    // The registration goes late, when everything but the installation
    // folder is gone or waits for the restart: a removal cut short (a power
    // cut) or stopped by a failure leaves the product listed, and so
    // removable, rather than files no list knows of.
    int result = RunLoggedStage("registry clean-up", RemoveDriverKeys);
    if (result == 0)
        result = RunLoggedStage("file removal", RemoveProductFiles);
    return result == 0 ? 0 : StopRemoval(GetLastError());
}
