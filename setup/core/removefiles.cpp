// The removal of the product's files, which the removal ("/u") and the
// clean-up after a failed installation step share: the second copies in the
// system folders, the Start-menu folder and, last, the installation folder.
// On the NT class, what is in use and cannot be deleted now (the running
// Install.exe itself, a running program, the loaded driver, the folders that
// hold them) is deleted at the next restart. Only what is ours goes: a
// file or link standing where one of our folders belongs stays, and every
// deletion that fails is logged.
#include <windows.h>
#include <objbase.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"

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
