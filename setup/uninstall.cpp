// The removal behind "Install.exe /u", and the file removal that a failed
// installation step shares with it. The driver installer removes the driver
// package first; only when it reports success do the registry values, the
// files, the shortcuts, the logon entry and, last, the registration go, so
// that a removal that stops leaves the product listed and removable. On the
// NT class, what is in use and cannot be deleted now (the running
// Install.exe itself, a running program, the loaded driver, the folders that
// hold them) is deleted at the next restart.
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

// Runs one stage of the removal between its log lines.
static int RunRemovalStage(const char *stage, int (*run)(void))
{
    LogStageStart(stage);
    int result = run();
    LogStageEnd(stage, result, GetLastError());
    return result;
}

static int RemoveDriverKeys(void)
{
    if (IsWin9xClass(osClass))
        UpdateLegacyDeviceKeys(0);
    RemoveDriverRegistry();
    return 0;
}

static int RemoveProductFiles(void)
{
    RemoveInstalledFiles(NULL);
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
        int result = RunRemovalStage("removing the driver package (driver installer)", RemoveNtDriverPackage);
        if (result != 0)
            return result;
    }
    RunRemovalStage("registry clean-up", RemoveDriverKeys);
    RunRemovalStage("file removal", RemoveProductFiles);
    RemoveRunEntry(CALIBRATION_RUN_VALUE);
    // The registration goes last, when everything else is gone or waits for
    // the restart: a removal cut short (a power cut) leaves the product
    // listed, and so removable, rather than files no list knows of.
    RemoveUninstallRegistration();
    SetupLog("Removed the registration and the logon entry");
    return 0;
}

// On the NT class, what cannot be deleted now is deleted when Windows starts
// next, in the order asked: a folder's files before the folder. Windows 9x
// keeps it.
static void DeleteAtRestart(const char *path)
{
    if (IsNtClass(osClass) && PathExists(path) && MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        SetupLog("Deleted at the restart: %s", path);
}

void DeleteOrScheduleFile(const char *path)
{
    SetFileAttributesA(path, 0);
    if (DeleteFileA(path))
        SetupLog("Deleted %s", path);
    else
        DeleteAtRestart(path);
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
        DeleteAtRestart(path);
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

void RemoveInstalledFiles(const InstalledPlaces *keep)
{
    BOOL keepInstallFolder = keep && keep->installFolder;
    char path[SETUP_PATH_MAX];
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            // A folder that goes takes its files with it.
            if ((second || keepInstallFolder) && !(keep && keep->copies[i][second])
                && InstalledCopyPath(i, second, path))
                DeleteOrScheduleFile(path);
    HRESULT com = CoInitialize(NULL);
    if (!(keep && keep->startMenuFolder) && StartMenuFolderPath(path))
        DeleteFolderFiles(path);
    if (!keepInstallFolder && InstallFolderPath(path))
        DeleteFolderFiles(path);
    if (SUCCEEDED(com))
        CoUninitialize();
}
