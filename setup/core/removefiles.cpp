// The removal of the product's files, which the removal ("/u") and the
// clean-up after a failed installation step share: the second copies in the
// system folders, the Start-menu folder and, last, the installation folder.
// On the NT class, what is in use and cannot be deleted now (the running
// Install.exe itself, a running program, the loaded driver, the folders that
// hold them) is deleted at the next restart. Only what is ours goes: a
// file or link standing where one of our folders belongs stays, and every
// deletion that fails is logged. A check that cannot tell whether something
// is there is a failure too, never taken for "nothing there".
#include <windows.h>
#include <objbase.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"

// On the NT class, what cannot be deleted now is deleted when Windows starts
// next, in the order asked: a folder's files before the folder. error is
// why the deletion failed; the result is the error that stays, or
// ERROR_SUCCESS when it goes at the restart. Windows 9x has no such
// deletion to ask for: what is in use there (the running Install.exe)
// stays, as it always has, and the log says so.
static DWORD DeleteAtRestart(const char *path, DWORD error)
{
    if (!IsNtClass(osClass)) {
        LogFailure("delete ", path, error);
        return ERROR_SUCCESS;
    }
    if (MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        SetupLog("Deleted at the restart: %s", path);
        return ERROR_SUCCESS;
    }
    DWORD scheduling = GetLastError();
    SetupLog("Could not delete %s (error %lu), nor have it deleted at the restart: error %lu", path, error,
             scheduling);
    return scheduling;
}

DWORD DeleteOrScheduleFile(const char *path, BOOL *scheduled)
{
    *scheduled = FALSE;
    // Nothing there is nothing to fail: a second copy the user deleted.
    BOOL exists;
    DWORD error = CheckPathExists(path, &exists);
    if (error != ERROR_SUCCESS) {
        LogFailure("check ", path, error);
        return error;
    }
    if (!exists)
        return ERROR_SUCCESS;
    if (!SetFileAttributesA(path, 0))
        LogFailure("clear the attributes of ", path, GetLastError());
    if (DeleteFileA(path)) {
        SetupLog("Deleted %s", path);
        return ERROR_SUCCESS;
    }
    error = DeleteAtRestart(path, GetLastError());
    *scheduled = error == ERROR_SUCCESS;
    return error;
}

// One folder's removal as it goes: whether something in it waits for the
// restart, whether the folder itself does, after everything in it that
// does (folderLast), whether something not ours (a subfolder) keeps it,
// and the first error.
struct FolderRemoval {
    const char *path;
    BOOL scheduled, folderLast, kept;
    DWORD error;
};

static void DeleteFolderEntry(FolderRemoval *removal, const char *name)
{
    char file[SETUP_PATH_MAX];
    BOOL scheduled = FALSE;
    // A path that does not fit its buffer names no file of ours, and cut
    // short it would name some other one: it stays, and with it the folder.
    if (!FormatBounded(file, sizeof(file), "%s\\%s", removal->path, name)) {
        SetupLog("%s stays: it holds %s, whose path is too long", removal->path, name);
        removal->kept = TRUE;
        return;
    }
    DWORD error = DeleteOrScheduleFile(file, &scheduled);
    removal->scheduled |= scheduled;
    removal->folderLast &= !scheduled;
    if (removal->error == ERROR_SUCCESS)
        removal->error = error;
}

// The folder itself, once its files are gone or go at the restart: now, or
// (after a file that goes at the restart) at the restart too, after them;
// asked again when a file was left for the restart after it.
static void DeleteFolderItself(FolderRemoval *removal)
{
    if (removal->error != ERROR_SUCCESS || removal->folderLast)
        return;
    if (removal->kept) {
        SetupLog("%s stays: it holds what is not ours", removal->path);
        return;
    }
    if (!removal->scheduled && RemoveDirectoryA(removal->path)) {
        SetupLog("Deleted %s", removal->path);
        return;
    }
    removal->error = DeleteAtRestart(removal->path, removal->scheduled ? ERROR_DIR_NOT_EMPTY : GetLastError());
    removal->folderLast = removal->error == ERROR_SUCCESS;
}

DWORD DeleteFolderFiles(const char *path, const char *const *lastFiles, int lastCount)
{
    FolderRemoval removal = { path, FALSE, FALSE, FALSE, ERROR_SUCCESS };
    char pattern[SETUP_PATH_MAX];
    if (!path[0] || !FormatBounded(pattern, sizeof(pattern), "%s\\*.*", path))
        return ERROR_BAD_PATHNAME;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        removal.error = GetLastError();
        if (removal.error == ERROR_FILE_NOT_FOUND || removal.error == ERROR_PATH_NOT_FOUND)
            return ERROR_SUCCESS;
        LogFailure("check ", path, removal.error);
        return removal.error;
    }
    // Only a folder of our own is emptied: not a file that stands at its
    // name, nor a link, whose files would be someone else's.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetupLog("Not a folder of ours, left as it is: %s", path);
        return ERROR_SUCCESS;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty folder answers "no more files"; anything else means that
        // what is in it cannot be told.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
            LogFailure("list ", pattern, error);
            return error;
        }
    } else {
        do {
            BOOL last = FALSE;
            for (int i = 0; i < lastCount; i++)
                last |= !lstrcmpiA(found.cFileName, lastFiles[i]);
            // A subfolder is not entered: it is not ours, and it keeps the
            // folder, now and at the restart.
            if (!lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, "..") || last)
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removal.kept = TRUE;
            else
                DeleteFolderEntry(&removal, found.cFileName);
        } while (FindNextFileA(search, &found) && removal.error == ERROR_SUCCESS);
        FindClose(search);
    }
    // The last files go in their order, and before the very last the folder
    // is asked to go at the restart when something before it does: should
    // that fail, the last file is still there.
    for (int i = 0; i < lastCount && removal.error == ERROR_SUCCESS; i++) {
        if (i == lastCount - 1 && removal.scheduled && !removal.kept)
            DeleteFolderItself(&removal);
        if (removal.error == ERROR_SUCCESS)
            DeleteFolderEntry(&removal, lastFiles[i]);
    }
    DeleteFolderItself(&removal);
    return removal.error;
}

// Whether path is there; "cannot tell" counts as there, and comes back as
// the error.
static BOOL FindPlace(BOOL pathBuilt, const char *path, DWORD *error)
{
    if (!pathBuilt)
        return FALSE;
    BOOL exists;
    DWORD result = CheckPathExists(path, &exists);
    if (result != ERROR_SUCCESS) {
        LogFailure("check ", path, result);
        if (*error == ERROR_SUCCESS)
            *error = result;
        return TRUE;
    }
    return exists;
}

// The Start-menu folder's path: TRUE with it; FALSE with error set when the
// shell could not name the programs folder (so where our folder is cannot be
// told), or ERROR_SUCCESS when the path is too long for a folder of ours to
// stand there. COM must be initialised.
static BOOL FindStartMenuFolder(char *path, DWORD *error)
{
    *error = ERROR_SUCCESS;
    if (StartMenuFolderPath(path))
        return TRUE;
    if (!programsDir[0])
        *error = GetLastError();
    return FALSE;
}

DWORD FindInstalledPlaces(InstalledPlaces *found)
{
    char path[SETUP_PATH_MAX];
    DWORD error = ERROR_SUCCESS, lookup;
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            found->copies[i][second] = FindPlace(InstalledCopyPath(i, second, path), path, &error);
    found->installFolder = FindPlace(InstallFolderPath(path), path, &error);
    HRESULT com = CoInitialize(NULL);
    found->startMenuFolder = FindPlace(FindStartMenuFolder(path, &lookup), path, &error) || lookup != ERROR_SUCCESS;
    if (error == ERROR_SUCCESS)
        error = lookup;
    if (SUCCEEDED(com))
        CoUninitialize();
    return error;
}

// The copies of one kind (second: in the system folders) that keep does not
// mark; the first error.
static DWORD DeleteCopies(const InstalledPlaces *keep, BOOL second)
{
    char path[SETUP_PATH_MAX];
    DWORD first = ERROR_SUCCESS;
    for (int i = 0; i < SETUP_FILE_COUNT; i++) {
        BOOL scheduled;
        DWORD error = ERROR_SUCCESS;
        if (!(keep && keep->copies[i][second]) && InstalledCopyPath(i, second, path))
            error = DeleteOrScheduleFile(path, &scheduled);
        if (first == ERROR_SUCCESS)
            first = error;
    }
    return first;
}

DWORD RemoveFilesOutsideInstallFolder(const InstalledPlaces *keep)
{
    DWORD error = DeleteCopies(keep, TRUE);
    char path[SETUP_PATH_MAX];
    HRESULT com = CoInitialize(NULL);
    DWORD startMenu = ERROR_SUCCESS;
    if (!(keep && keep->startMenuFolder) && FindStartMenuFolder(path, &startMenu))
        startMenu = DeleteFolderFiles(path, NULL, 0);
    if (SUCCEEDED(com))
        CoUninitialize();
    return error != ERROR_SUCCESS ? error : startMenu;
}

DWORD RemoveInstallFolder(const InstalledPlaces *keep)
{
    // A folder that goes takes its files with it; a kept one loses only the
    // copies this run made. The removal's own program and the driver
    // installer go last: while either fails, the other is still there for
    // the registered removal to run again.
    static const char *const lastFiles[] = { "Install.exe", "Velqar.exe" };
    char path[SETUP_PATH_MAX];
    if (keep && keep->installFolder)
        return DeleteCopies(keep, FALSE);
    return InstallFolderPath(path) ? DeleteFolderFiles(path, lastFiles, 2) : GetLastError();
}

void RemoveInstalledFiles(const InstalledPlaces *keep, void (*beforeInstallFolder)(void))
{
    RemoveFilesOutsideInstallFolder(keep);
    if (beforeInstallFolder)
        beforeInstallFolder();
    RemoveInstallFolder(keep);
}
