// Step 0 of the installation: the product files from the medium into the
// installation folder, and the second copies of four of them into the
// system folders. An existing target is replaced: its attributes are cleared
// first, since CopyFileA will not overwrite a read-only or hidden file. A
// target that is in use (a running program, the loaded driver) cannot be
// overwritten; on the NT class the new file waits beside it under a
// temporary name and replaces it at the next restart, which the installation
// ends by offering. A file that is already in place (setup started again
// from the installation folder) counts as copied.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"
#include "zerofilled.h"

// The new files staged by this run to replace files in use at the restart,
// so that a failed run can take them back.
ZERO_FILLED static char stagedCopies[2 * SETUP_FILE_COUNT][SETUP_PATH_MAX];
ZERO_FILLED static int stagedCount;

// How Windows refuses to overwrite a file that is open or mapped: a running
// program's file, a loaded driver.
static BOOL IsInUseError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

// The new file goes beside the target (the same volume, so the restart's
// rename cannot fail for want of a copy) and is renamed over it when
// Windows starts next. FALSE, with the error, when that cannot be arranged;
// nothing is left behind then.
static BOOL StageReplacement(const char *source, const char *target)
{
    char folder[SETUP_PATH_MAX];
    lstrcpynA(folder, target, sizeof(folder));
    char *cut = folder;
    for (char *p = folder; *p; p++)
        if (*p == '\\')
            cut = p;
    *cut = '\0';
    char staged[SETUP_PATH_MAX];
    if (stagedCount >= 2 * SETUP_FILE_COUNT || !GetTempFileNameA(folder, "zx", 0, staged)) {
        LogFailure("stage a replacement in ", folder, GetLastError());
        return FALSE;
    }
    BOOL copied = CopyFileA(source, staged, FALSE);
    // A failure to clear the attribute is logged and leaves a working copy.
    if (copied)
        ClearReadOnly(staged);
    if (!copied || !MoveFileExA(staged, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = GetLastError();
        LogFailure("stage ", staged, error);
        DeleteStagedCopy(staged);
        SetLastError(error);
        return FALSE;
    }
    lstrcpynA(stagedCopies[stagedCount++], staged, SETUP_PATH_MAX);
    SetupTrace("File in use, replaced at the restart: %s\n", target);
    return TRUE;
}

// Clears target's attributes and copies source over it. FALSE, with the
// copy's error as the last error, when it fails.
static BOOL ReplaceFile(const char *source, const char *target)
{
    SetFileAttributesA(target, 0);
    if (CopyFileA(source, target, FALSE)) {
        SetupLog("Copied %s to %s", source, target);
        ClearReadOnly(target);
        return TRUE;
    }
    DWORD error = GetLastError();
    // Windows 9x has no restart-time rename for a program to ask for.
    if (IsWin9xClass(osClass) || !IsInUseError(error)) {
        LogFailure("copy to ", target, error);
        SetLastError(error);
        return FALSE;
    }
    return StageReplacement(source, target);
}

// The identity of an existing file: its volume and index. FALSE when it
// cannot be opened. No access is asked for, so a running program's file opens.
static BOOL ReadFileIdentity(const char *path, BY_HANDLE_FILE_INFORMATION *identity)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL read = GetFileInformationByHandle(file, identity);
    CloseHandle(file);
    return read;
}

// Whether source and target are one file: the same full path (letter case
// aside), or, on the NT class, where other spellings of a path (short
// names, another drive letter for the same folder) are possible, the same
// volume and file index. Copying a file onto itself fails.
static BOOL IsSameFile(const char *source, const char *target)
{
    char fullSource[SETUP_PATH_MAX], fullTarget[SETUP_PATH_MAX];
    DWORD sourceLength = GetFullPathNameA(source, sizeof(fullSource), fullSource, NULL);
    DWORD targetLength = GetFullPathNameA(target, sizeof(fullTarget), fullTarget, NULL);
    if (sourceLength && sourceLength < sizeof(fullSource) && targetLength && targetLength < sizeof(fullTarget)
        && !lstrcmpiA(fullSource, fullTarget))
        return TRUE;
    // Windows 9x file indexes are not stable enough to compare.
    if (IsWin9xClass(osClass))
        return FALSE;
    BY_HANDLE_FILE_INFORMATION a, b;
    return ReadFileIdentity(source, &a) && ReadFileIdentity(target, &b)
        && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
        && a.nFileIndexLow == b.nFileIndexLow;
}

// A path that does not fit its buffer fails the copy it was meant for
// (FormatBounded leaves ERROR_FILENAME_EXCED_RANGE as the last error):
// cut short it would name some other file.
static BOOL CopySetupFile(int file)
{
    char source[SETUP_PATH_MAX], target[SETUP_PATH_MAX];
    if (!FormatBounded(source, sizeof(source), "%s\\%s", sourceDir, setupFiles[file].fileName)
        || !InstalledCopyPath(file, FALSE, target))
        return FALSE;
    if (IsSameFile(source, target))
        SetupLog("Already in place: %s", target);
    else if (!ReplaceFile(source, target))
        return FALSE;
    if (!SecondCopyPath(&setupFiles[file])[0])
        return TRUE;
    return InstalledCopyPath(file, TRUE, target) && ReplaceFile(source, target);
}

// The installation folder, made when missing. An existing folder is fine:
// installing again replaces the files in it. A file or a link (a junction)
// standing at its name is not written through: the files would land where
// the removal, which empties only a folder of its own, never takes them
// back. FALSE with the error, logged, otherwise.
static BOOL MakeInstallFolder(const char *folder)
{
    DWORD made = CreateDirectoryA(folder, NULL) ? ERROR_SUCCESS : GetLastError();
    DWORD attributes = GetFileAttributesA(folder);
    DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError()
                : !(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    ? (DWORD)ERROR_DIRECTORY : (DWORD)ERROR_SUCCESS;
    // Not there: why it could not be made.
    if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && made != ERROR_SUCCESS)
        error = made;
    if (error != ERROR_SUCCESS)
        LogFailure("make the installation folder ", folder, error);
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

int CopySetupFiles(void)
{
    stagedCount = 0;
    char folder[SETUP_PATH_MAX];
    if (!FolderResolved(sourceDir) || !InstallFolderPath(folder) || !MakeInstallFolder(folder))
        return -1;
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        if (!CopySetupFile(i))
            return -1;
    return 0;
}

BOOL ClearReadOnly(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return TRUE;
    attributes &= ~FILE_ATTRIBUTE_READONLY;
    if (SetFileAttributesA(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
        return TRUE;
    DWORD error = GetLastError();
    LogFailure("clear the read-only attribute of ", path, error);
    SetLastError(error);
    return FALSE;
}

BOOL DeleteStagedCopy(const char *path)
{
    // Windows refuses to delete a read-only file; a copy staged from a CD
    // before the attribute was cleared after every copy would be one.
    ClearReadOnly(path);
    if (DeleteFileA(path)) {
        SetupLog("Deleted the staged copy %s", path);
        return TRUE;
    }
    DWORD error = GetLastError();
    // Gone already: the restart's rename then does nothing either.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return TRUE;
    LogFailure("delete the staged copy ", path, error);
    SetLastError(error);
    return FALSE;
}

void DiscardStagedCopies(void)
{
    // The restart's rename then finds no file and leaves the old one as it
    // is; a copy that stays loses its rename instead.
    int kept = 0;
    for (int i = 0; i < stagedCount; i++)
        if (!DeleteStagedCopy(stagedCopies[i]) && kept++ != i)
            lstrcpynA(stagedCopies[kept - 1], stagedCopies[i], SETUP_PATH_MAX);
    if (kept)
        DropPendingRenamesFrom(stagedCopies, kept);
    stagedCount = 0;
}
