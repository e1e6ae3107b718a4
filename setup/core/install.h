// The core of Install.exe: the installation's steps, the removal and what
// they share, with no window code, so that a test can call them directly
// and the wizard's pages only run them. Grouped under the file that holds
// them; the setup context, the registry work, the log, the messages, the
// exit codes and the driver installer have headers of their own.
#ifndef INSTALL_H
#define INSTALL_H

#include <windows.h>
#include "setupcontext.h"

// --- setupsteps.cpp ------------------------------------------------------------------
// The installation's steps in their order: 0 files, 1 driver package,
// 2 shortcuts. Every road through the installation runs this one table.
enum { SETUP_STEP_COUNT = 3 };
// Notes what an earlier installation has in place (the product's places
// and its registration), so that a failed step's clean-up removes only what
// this run made. Step 0 begins with it. ERROR_SUCCESS, or the error of a
// check that could not tell (logged; the place then counts as there).
DWORD BeginInstallation(void);
// Runs one step: negative on failure, with the last error set.
int RunInstallStep(int step);
// Runs one stage of the installation or the removal between its log lines;
// its result, with the last error as run left it.
int RunLoggedStage(const char *stage, int (*run)(void));
// Right after step failed: shows its failure message (the last error and
// the OS class code) in an error box owned by owner, and returns that error.
DWORD ReportStepFailure(HWND owner, int step);
// What Finish does after a complete installation: the calibration
// program's Run value (unless a calibration was kept), then the restart
// question (owned by owner; a silent run answers No). TRUE when the user
// asked for the restart. runEntry (when given) receives AddRunEntry's
// result, ERROR_SUCCESS when none was due.
BOOL FinishInstallation(HWND owner, LONG *runEntry);
// After a failed step: removes what this run made (the shortcut step keeps it).
void CleanUpFailedStep(int step);

// --- copyfiles.cpp -------------------------------------------------------------------
// Step 0: the ten product files into the installation folder and the second
// copies into the system folders. 0, or -1 with the failed copy's error as
// the last error; files copied before a failure stay.
int CopySetupFiles(void);
// Deletes the new files that the last CopySetupFiles staged to replace files
// in use at the restart, so the restart keeps the files in place.
void DiscardStagedCopies(void);
// Deletes one staged copy, read-only or not, and logs it. TRUE when it is
// gone (or was never there); FALSE, logged with the error, when it stays.
BOOL DeleteStagedCopy(const char *path);
// Clears path's read-only attribute and keeps the others. TRUE when the file
// is not read-only now (or is not there); a failure is logged.
BOOL ClearReadOnly(const char *path);

// --- driverpackage.cpp ---------------------------------------------------------------
// Step 1: registration, driver parameters and the driver package (the driver
// installer on the NT class, the Setup API and the device keys on 9x).
// 0; -1 with the last error set when the registry work or the device keys
// fail (the driver installer is then not started), when the driver installer
// cannot be started, or when the key's access rights cannot be set;
// DRIVER_PACKAGE_FAILED (exitcode.h) when it ran and failed, with the last
// error that the failure box shows: for exit code 2 the last error as it
// stood after the code was read, for a crash its exception status, for a
// failed wait the wait's error.
int InstallDriverPackage(void);
// Windows 9x class: the installed INF through the Setup API. 0 or a Win32 error.
DWORD CopyOemInfPackage(void);

// --- shortcuts.cpp -------------------------------------------------------------------
// Step 2: the Start-menu folder and its five shortcuts. Always 0.
int CreateStartMenuShortcuts(void);
// One .lnk file through the shell's link object; arguments may be NULL.
// 1 when the link was made and asked to save, 0 otherwise.
int CreateShellLink(const char *target, const char *linkPath, const char *description,
                    const char *workingDir, const char *arguments);

// --- runentryadd.cpp -----------------------------------------------------------------
// HKCU Run value valueName = windowsDir\valueName\programFile (not on Vista).
// ERROR_SUCCESS when written or not due (Vista); else the error, logged.
LONG AddRunEntry(const char *valueName, const char *programFile);

// --- startprocess.cpp ----------------------------------------------------------------
// Starts application (commandLine may be NULL) in folder with the window
// shown as show; CreateProcessA's result. The caller closes both handles.
BOOL StartSetupProcess(const char *application, char *commandLine, const char *folder, WORD show,
                       PROCESS_INFORMATION *process);

// --- pendingdelete.cpp ---------------------------------------------------------------
// Takes back the restart-time deletions that an earlier removal scheduled
// for the installation folder, its files and the second copies, so that a
// restart does not delete what a complete installation put there (NT class);
// with installFolderOnly, those of the installation folder and its files
// alone. These and the two below: ERROR_SUCCESS, or the error of reading or
// writing the restart's list (logged; the list is then as it was).
LONG CancelPendingDeletes(BOOL installFolderOnly);
// Takes back the replacements that an earlier setup staged for the restart:
// of the second copies (secondCopies TRUE) or of the installation folder's
// files. Each staged copy is deleted now; one that cannot be has its pair
// taken out of the restart's list (NT class).
LONG TakeBackStagedCopies(BOOL secondCopies);
// Takes the renames out of the restart's list whose source is one of the
// count staged copies in sources (NT class).
LONG DropPendingRenamesFrom(const char (*sources)[SETUP_PATH_MAX], int count);
// Whether the pair source -> target (target empty for a deletion) of the
// restart's list is to go; context is the caller's.
typedef BOOL (*PendingPairTest)(const WCHAR *source, const WCHAR *target, void *context);
// Drops the pairs that drop names from a restart list of length characters
// (zero-padded beyond), in place, every other pair as it was. How many it
// dropped; the new length, the list's final zero included, goes to kept.
int FilterPendingList(WCHAR *list, DWORD length, PendingPairTest drop, void *context, DWORD *kept);
// An entry's path without its "!" (replace) and "\??\" markers.
const WCHAR *PendingEntryPath(const WCHAR *entry);

// --- uninstall.cpp -------------------------------------------------------------------
// The "/u" road: the removal's question, the removal and the restart
// question. The exit code a silent run ends with (ERROR_INSTALL_USEREXIT
// for No, 3010 when the removal ran to its end, else the failure's
// StepFailureExitCode); restart tells whether the user asked for the restart.
DWORD RunUninstallPrompt(BOOL *restart);
// The removal: 0 when it ran to its end; when it stopped early,
// DRIVER_PACKAGE_FAILED for a driver installer that ran and failed, else -1
// with the last error set.
int UninstallProduct(void);
// The same with the two folder queries passed in (see ResolveSetupFoldersWith).
int UninstallProductWith(ModuleFileNameProc getModuleFileName, WindowsDirectoryProc getWindowsDirectory);

// --- removefiles.cpp -----------------------------------------------------------------
// Which of the product's places exist: each file's copies, the
// installation folder and the Start-menu folder.
struct InstalledPlaces {
    BOOL copies[SETUP_FILE_COUNT][2];   // [file][0: installation folder, 1: second copy]
    BOOL installFolder, startMenuFolder;
};
// Fills found; a place that cannot be checked counts as there (so that a
// clean-up keeps it) and its error, logged, comes back: ERROR_SUCCESS when
// every place could be told.
DWORD FindInstalledPlaces(InstalledPlaces *found);
// The second copies and the Start-menu folder with its files, all but the
// places keep marks; then the installation folder (a kept one loses only
// the copies keep does not mark), Install.exe and Velqar.exe last. Each:
// ERROR_SUCCESS when what it removes is gone, goes at the restart or was
// not there; otherwise the first error, logged (what follows it in the
// folder stays).
DWORD RemoveFilesOutsideInstallFolder(const InstalledPlaces *keep);
DWORD RemoveInstallFolder(const InstalledPlaces *keep);
// The clean-up after a failed step: both, with beforeInstallFolder (when
// given) between them; failures are logged and passed over.
void RemoveInstalledFiles(const InstalledPlaces *keep, void (*beforeInstallFolder)(void));
// Deletes path, or on the NT class, when it cannot be deleted now (in use),
// at the next restart (scheduled TRUE). ERROR_SUCCESS also when nothing is
// at path; otherwise the error, logged.
DWORD DeleteOrScheduleFile(const char *path, BOOL *scheduled);
// Deletes the files directly in path (no subfolders), lastFiles after the
// others in their order, then the folder. On the NT class what stays
// because it is in use goes at the next restart, the folder after its
// files, and the folder is asked to go before the very last file is
// deleted. A subfolder keeps the folder (logged, no failure); a file or a
// link standing at path is left alone. ERROR_SUCCESS, or the first error
// (logged), after which nothing more is deleted.
DWORD DeleteFolderFiles(const char *path, const char *const *lastFiles, int lastCount);

// --- wow64.cpp -----------------------------------------------------------------------
// TRUE when this is a 32-bit program running on 64-bit Windows.
BOOL RunningUnderWow64(void);

#endif
