// The setup program's shared state: its copy of the OS class code, the three
// folders it works with, the names of its two folders and the table of
// product files. Process-wide, filled at start-up and by ResolveSetupFolders
// and LookupProgramsFolder, read by every installation and removal step.
#ifndef SETUPCONTEXT_H
#define SETUPCONTEXT_H

#include <windows.h>

enum { SETUP_PATH_MAX = 260 };   // every path buffer of the setup program, zero included

// Set by the program's entry from QueryOsClass before anything else runs.
extern int osClass;
// Folder of the running Install.exe, no trailing backslash ("C:" at a drive's root).
extern char sourceDir[SETUP_PATH_MAX];
// The Windows directory as GetWindowsDirectoryA gives it.
extern char windowsDir[SETUP_PATH_MAX];
// Start-menu programs folder: all users on the NT class, current user on 9x.
extern char programsDir[SETUP_PATH_MAX];

// Installation folder: windowsDir\INSTALL_FOLDER_NAME. Start-menu folder:
// programsDir\START_MENU_FOLDER_NAME.
#define INSTALL_FOLDER_NAME    "ZentaroxUSB"
#define START_MENU_FOLDER_NAME "Zentarox USB Touchscreen"
// The same installation folder as the calibration program's logon entry
// (whose value name it is), its start after Finish and the Setup API have
// always spelt it; file names ignore case. These bytes are what Windows and
// the registry receive, and stay as they are.
#define INSTALL_FOLDER_RUN_SPELLING "ZentaroxUsb"

// One product file: its name on the medium and in the installation folder,
// and where its second copy goes, relative to windowsDir ("" for none).
struct SetupFile {
    char fileName[32];
    char ntCopy[64];
    char win9xCopy[64];
};

enum { SETUP_FILE_COUNT = 10 };

// In the order files are copied and their second copies deleted.
extern const SetupFile setupFiles[SETUP_FILE_COUNT];

// The second-copy path of the running OS class (win9xCopy on the Windows 9x
// class, ntCopy otherwise); "" when the file has none there.
const char *SecondCopyPath(const SetupFile *file);

// Fills sourceDir and windowsDir afresh. A module path or Windows directory
// that does not fit its 260-byte buffer is not cut: that folder is left empty
// and the result is FALSE (last error ERROR_FILENAME_EXCED_RANGE), so callers
// can refuse to build paths on it. TRUE when both folders were filled.
BOOL ResolveSetupFolders(void);

// The same, with the two system queries passed in: the seam through which a
// test hands over paths that Wine cannot produce (longer than 259 characters).
typedef DWORD (WINAPI *ModuleFileNameProc)(HMODULE module, LPSTR path, DWORD size);
typedef UINT (WINAPI *WindowsDirectoryProc)(LPSTR path, UINT size);
BOOL ResolveSetupFoldersWith(ModuleFileNameProc getModuleFileName,
                             WindowsDirectoryProc getWindowsDirectory);

// The programs-folder lookup: fills programsDir with the Start-menu programs
// folder of the running OS class. COM must be initialised by the caller.
// FALSE, with programsDir empty, when the shell cannot name the folder: a
// caller must then not build the Start-menu folder on it; the log says why
// and the last error is the shell's.
BOOL LookupProgramsFolder(void);

// The product's places, built on the resolved folders into a 260-byte
// buffer; FALSE (with the last error saying why) when a folder is not
// resolved or the path does not fit. InstalledCopyPath: where file's first
// copy (second FALSE: in the installation folder) or second copy goes; FALSE
// also for a file without a second copy on this OS class. StartMenuFolderPath
// looks up programsDir first; COM must be initialised by the caller.
BOOL InstalledCopyPath(int file, BOOL second, char *path);
BOOL InstallFolderPath(char *path);
BOOL StartMenuFolderPath(char *path);
// windowsDir\folderName, the installation folder under the spelling
// folderName, and with file given windowsDir\folderName\file.
BOOL InstallFolderFilePath(const char *folderName, const char *file, char *path);
// sourceDir\Velqar.exe: the driver installer beside the running Install.exe.
BOOL DriverInstallerPath(char *path);
// Whether anything, file or folder, is at path: ERROR_SUCCESS with exists,
// or the error when the check failed for any other reason than a missing
// file or folder ("cannot tell" must not pass for "not there").
DWORD CheckPathExists(const char *path, BOOL *exists);

// Whether folder (sourceDir, windowsDir or programsDir) holds a resolved
// path. An empty one is never a base for another path: "\ZentaroxUSB" would
// name a folder at the root of the current drive. FALSE, with the last
// error saying why the folder was not resolved, when it is empty.
BOOL FolderResolved(const char *folder);

#endif
