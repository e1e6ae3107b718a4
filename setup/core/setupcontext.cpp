// The setup context: process-wide folders, the OS class copy and the product
// file table, and the two routines that fill the folders.
#include <windows.h>
#include <shlobj.h>
#include "setupcontext.h"
#include "osclass.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "zerofilled.h"

ZERO_FILLED int osClass = OS_CLASS_UNSUPPORTED;
ZERO_FILLED char sourceDir[SETUP_PATH_MAX];
ZERO_FILLED char windowsDir[SETUP_PATH_MAX];
ZERO_FILLED char programsDir[SETUP_PATH_MAX];

// Why the last resolution left a folder empty, for FolderResolved.
ZERO_FILLED static DWORD folderError;

const SetupFile setupFiles[SETUP_FILE_COUNT] = {
    { "ZentaroxUsb.cpl", "System32\\ZentaroxUsb.cpl", "System\\ZentaroxUsb.cpl" },
    { "ZentaroxUsb.exe", "System32\\ZentaroxUsb.exe", "System\\ZentaroxUsb.exe" },
    { "Velqar.sys", "System32\\Drivers\\Velqar.sys", "System32\\Drivers\\Velqar.sys" },
    { "Velqar.inf", "inf\\Velqar.inf", "inf\\Velqar.inf" },
    { "ZentaroxUsb.chm", "", "" },
    { "Velqar.exe", "", "" },
    { "Install.exe", "", "" },
    { "Write.exe", "", "" },
    { "Kaplet.exe", "", "" },
    { "ReadMe.txt", "", "" },
};

const char *SecondCopyPath(const SetupFile *file)
{
    return IsWin9xClass(osClass) ? file->win9xCopy : file->ntCopy;
}

// sourceDir from the module path: everything before the last backslash.
static BOOL ResolveSourceDir(ModuleFileNameProc getModuleFileName)
{
    // One byte beyond what the query may fill: Windows XP leaves a path that
    // does not fit without a terminating zero.
    char modulePath[SETUP_PATH_MAX + 1];
    ZeroMemory(modulePath, sizeof(modulePath));
    DWORD length = getModuleFileName(NULL, modulePath, SETUP_PATH_MAX);
    if (length == 0)
        return FALSE;
    // A path that fills the buffer was cut (the query returns the buffer size
    // then, on every release); cut at its last backslash it could name a
    // different folder.
    if (length >= SETUP_PATH_MAX) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    int cut = -1;
    for (int i = 0; modulePath[i]; i++)
        if (modulePath[i] == '\\')
            cut = i;
    if (cut < 0) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    CopyMemory(sourceDir, modulePath, cut);
    sourceDir[cut] = '\0';
    return TRUE;
}

static BOOL ResolveWindowsDir(WindowsDirectoryProc getWindowsDirectory)
{
    // Too small a buffer: the query returns the size it needs and may have
    // written nothing, or, on some releases, a cut path.
    UINT length = getWindowsDirectory(windowsDir, SETUP_PATH_MAX);
    if (length != 0 && length < SETUP_PATH_MAX)
        return TRUE;
    ZeroMemory(windowsDir, sizeof(windowsDir));
    if (length != 0)
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
}

BOOL ResolveSetupFoldersWith(ModuleFileNameProc getModuleFileName,
                             WindowsDirectoryProc getWindowsDirectory)
{
    ZeroMemory(sourceDir, sizeof(sourceDir));
    ZeroMemory(windowsDir, sizeof(windowsDir));
    BOOL sourceOk = ResolveSourceDir(getModuleFileName);
    DWORD sourceError = GetLastError();
    BOOL windowsOk = ResolveWindowsDir(getWindowsDirectory);
    if (!sourceOk && windowsOk)
        SetLastError(sourceError);
    folderError = sourceOk && windowsOk ? 0 : GetLastError();
    return sourceOk && windowsOk;
}

BOOL ResolveSetupFolders(void)
{
    return ResolveSetupFoldersWith(GetModuleFileNameA, GetWindowsDirectoryA);
}

BOOL LookupProgramsFolder(void)
{
    ZeroMemory(programsDir, sizeof(programsDir));
    int folder = IsWin9xClass(osClass) ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS;
    LPITEMIDLIST item = NULL;
    HRESULT result = SHGetSpecialFolderLocation(NULL, folder, &item);
    // SHGetPathFromIDListA fills at most MAX_PATH (260) characters, the size
    // of programsDir.
    if (SUCCEEDED(result) && item && !SHGetPathFromIDListA(item, programsDir))
        result = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    if (item)
        CoTaskMemFree(item);
    if (SUCCEEDED(result) && item)
        return TRUE;
    ZeroMemory(programsDir, sizeof(programsDir));
    DWORD error = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_PATH_NOT_FOUND;
    LogFailure("look up the Start-menu programs folder", "", error);
    SetLastError(error);
    return FALSE;
}

BOOL FolderResolved(const char *folder)
{
    if (folder[0])
        return TRUE;
    SetLastError(folderError ? folderError : ERROR_PATH_NOT_FOUND);
    return FALSE;
}

BOOL InstallFolderFilePath(const char *folderName, const char *file, char *path)
{
    if (!FolderResolved(windowsDir))
        return FALSE;
    return file ? FormatBounded(path, SETUP_PATH_MAX, "%s\\%s\\%s", windowsDir, folderName, file)
                : FormatBounded(path, SETUP_PATH_MAX, "%s\\%s", windowsDir, folderName);
}

BOOL InstalledCopyPath(int file, BOOL second, char *path)
{
    if (!second)
        return InstallFolderFilePath(INSTALL_FOLDER_NAME, setupFiles[file].fileName, path);
    const char *secondCopy = SecondCopyPath(&setupFiles[file]);
    return FolderResolved(windowsDir) && secondCopy[0]
        && FormatBounded(path, SETUP_PATH_MAX, "%s\\%s", windowsDir, secondCopy);
}

BOOL InstallFolderPath(char *path)
{
    return InstallFolderFilePath(INSTALL_FOLDER_NAME, NULL, path);
}

BOOL DriverInstallerPath(char *path)
{
    return FolderResolved(sourceDir) && FormatBounded(path, SETUP_PATH_MAX, "%s\\Velqar.exe", sourceDir);
}

BOOL StartMenuFolderPath(char *path)
{
    return LookupProgramsFolder()
        && FormatBounded(path, SETUP_PATH_MAX, "%s\\%s", programsDir, START_MENU_FOLDER_NAME);
}

DWORD CheckPathExists(const char *path, BOOL *exists)
{
    *exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    DWORD error = *exists ? ERROR_SUCCESS : GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
}
