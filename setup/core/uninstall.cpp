// The removal behind "Install.exe /u", with its two questions. The driver
// installer removes the driver package first; only when it reports success
// do the registry values, the second copies, the shortcuts, the logon entry,
// the registration and, last, the installation folder go (removefiles.cpp),
// so that a removal that stops leaves the product listed and removable, and
// a listed product's removal can start. On the NT class the replacements
// that an earlier setup left for the restart are taken back.
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

static int RemoveDriverKeys(void)
{
    if (IsWin9xClass(osClass))
        UpdateLegacyDeviceKeys(0);
    RemoveDriverRegistry();
    return 0;
}

// Says in the log whether a removal left the value or key behind, as the
// registry holds it now.
static void LogWhetherGone(const char *what, HKEY root, const char *path, const char *value)
{
    HKEY key;
    BOOL there = RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (there) {
        if (value)
            there = RegQueryValueExA(key, value, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    SetupLog(there ? "%s is still there" : "%s is gone", what);
}

// Between the files outside the installation folder and those in it: while
// the product is listed, its registered removal starts Install.exe and
// Velqar.exe from the installation folder, so the registration goes first.
static void RemoveRegistration(void)
{
    RemoveRunEntry(CALIBRATION_RUN_VALUE);
    LogWhetherGone("The logon entry of the calibration program", HKEY_CURRENT_USER, RUN_KEY_PATH,
                   CALIBRATION_RUN_VALUE);
    RemoveUninstallRegistration();
    LogWhetherGone("The registration (" UNINSTALL_KEY_NAME ")", HKEY_LOCAL_MACHINE, UNINSTALL_KEY, NULL);
    TakeBackStagedCopies(FALSE);
}

static int RemoveProductFiles(void)
{
    // A repair's replacements waiting for the restart would bring the
    // driver back after it.
    TakeBackStagedCopies(TRUE);
    RemoveInstalledFiles(NULL, RemoveRegistration);
    return 0;
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
    RunLoggedStage("registry clean-up", RemoveDriverKeys);
    // The registration goes late, when everything but the installation
    // folder is gone or waits for the restart: a removal cut short (a power
    // cut) leaves the product listed, and so removable, rather than files no
    // list knows of.
    RunLoggedStage("file removal", RemoveProductFiles);
    return 0;
}
