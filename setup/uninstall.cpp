// The removal behind "Install.exe /u", and the file removal that a failed
// installation step shares with it. The driver installer removes the driver
// package first; only when it reports success do the registry values, the
// second copies, the shortcuts, the logon entry, the registration and, last,
// the installation folder go, so that a removal that stops leaves the
// product listed and removable, and a listed product's removal can start.
// On the NT class, what is in use and cannot be deleted now (the running
// Install.exe itself, a running program, the loaded driver, the folders that
// hold them) is deleted at the next restart, and the replacements that an
// earlier setup left for the restart are taken back.
#include <windows.h>
#include <shellapi.h>
#include <objbase.h>
#include "install.h"
#include "silent.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"
#include "runentry.h"

// Starts the driver installer from sourceDir (the installation folder when
// the removal was started from the registration or the shortcut) and waits
// for it without a time limit. FALSE when it cannot be started; otherwise
// TRUE, and ended says whether the wait saw it end, with its exit code.
static BOOL RunDriverRemoval(BOOL *ended, DWORD *exitCode)
{
    char file[SETUP_PATH_MAX], parameters[32];
    if (!FormatBounded(file, sizeof(file), "%s\\Velqar.exe", sourceDir)
        || !FormatBounded(parameters, sizeof(parameters), "uninstall %d delete", osClass))
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
    if (!ShellExecuteExA(&execute) || !execute.hProcess)
        return FALSE;
    *ended = WaitForDriverInstaller(execute.hProcess, exitCode);
    CloseHandle(execute.hProcess);
    return TRUE;
}

static int RemoveNtDriverPackage(void)
{
    BOOL ended;
    DWORD exitCode;
    if (!RunDriverRemoval(&ended, &exitCode)) {
        DWORD error = GetLastError();
        SetupTrace("Start driver installer fail(%d)\n", (int)error);
        char text[SETUP_TEXT_MAX];
        FormatBounded(text, sizeof(text), "Setup driver fail(%d:%d).", (int)error, osClass);
        // The box keeps the last error for a silent run's exit code.
        ShowSetupMessage(NULL, text, UNINSTALL_CAPTION, MB_OK | MB_ICONERROR, IDOK);
        return -1;
    }
    // A crash or a failed wait has not removed the driver package either.
    if (!ended || DriverInstallerFailed(exitCode)) {
        ShowSetupMessage(NULL, "Remove failure,please insert the usb interface", SETUP_CAPTION,
                         MB_OK | MB_ICONERROR, IDOK);
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

// On the NT class, what cannot be deleted now is deleted when Windows starts
// next, in the order asked: a folder's files before the folder. Windows 9x
// keeps it. error is why the deletion failed.
static void DeleteAtRestart(const char *path, DWORD error)
{
    if (IsNtClass(osClass) && MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        SetupLog("Deleted at the restart: %s", path);
        return;
    }
    if (IsNtClass(osClass))
        SetupLog("Could not delete %s (error %lu), nor have it deleted at the restart: error %lu", path, error,
                 GetLastError());
    else
        SetupLog("Could not delete %s: error %lu", path, error);
}

void DeleteOrScheduleFile(const char *path)
{
    // Nothing there is nothing to fail: a second copy the user deleted.
    if (!PathExists(path))
        return;
    if (!SetFileAttributesA(path, 0))
        SetupLog("Could not clear the attributes of %s: error %lu", path, GetLastError());
    if (DeleteFileA(path))
        SetupLog("Deleted %s", path);
    else
        DeleteAtRestart(path, GetLastError());
}

// A path that does not fit its buffer is skipped: cut short it would name
// some other file.
static void DeleteFileWhole(const char *format, const char *folder, const char *name)
{
    char path[SETUP_PATH_MAX];
    if (!FormatBounded(path, sizeof(path), format, folder, name))
        return;
    DeleteOrScheduleFile(path);
}

BOOL DeleteFolderFiles(const char *path)
{
    char pattern[SETUP_PATH_MAX];
    if (!path[0] || !FormatBounded(pattern, sizeof(pattern), "%s\\*.*", path))
        return FALSE;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    // Only a folder of our own is emptied: not a file that stands at its
    // name, nor a link, whose files would be someone else's.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetupLog("Not a folder of ours, left as it is: %s", path);
        return FALSE;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // A subfolder is not entered: it fails to delete as a file, and
            // keeps the folder, now and at the restart.
            if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..")
                && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileWhole("%s\\%s", path, found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    BOOL removed = RemoveDirectoryA(path);
    if (removed)
        SetupLog("Deleted %s", path);
    else
        DeleteAtRestart(path, GetLastError());
    return removed;
}

void FindInstalledPlaces(InstalledPlaces *found)
{
    char path[SETUP_PATH_MAX];
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            found->copies[i][second] = InstalledCopyPath(i, second, path) && PathExists(path);
    found->installFolder = InstallFolderPath(path) && PathExists(path);
    HRESULT com = CoInitialize(NULL);
    found->startMenuFolder = StartMenuFolderPath(path) && PathExists(path);
    if (SUCCEEDED(com))
        CoUninitialize();
}

// The copies of one kind (second: in the system folders) that keep does not mark.
static void DeleteCopies(const InstalledPlaces *keep, BOOL second)
{
    char path[SETUP_PATH_MAX];
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        if (!(keep && keep->copies[i][second]) && InstalledCopyPath(i, second, path))
            DeleteOrScheduleFile(path);
}

void RemoveInstalledFiles(const InstalledPlaces *keep, void (*beforeInstallFolder)(void))
{
    DeleteCopies(keep, TRUE);
    char path[SETUP_PATH_MAX];
    HRESULT com = CoInitialize(NULL);
    if (!(keep && keep->startMenuFolder) && StartMenuFolderPath(path))
        DeleteFolderFiles(path);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (beforeInstallFolder)
        beforeInstallFolder();
    // A folder that goes takes its files with it; a kept one loses only the
    // copies this run made.
    if (keep && keep->installFolder)
        DeleteCopies(keep, FALSE);
    else if (InstallFolderPath(path))
        DeleteFolderFiles(path);
}
