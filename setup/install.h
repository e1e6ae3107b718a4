// Install.exe: the installation steps, the removal and the wizard's shell.
// The steps and the removal hold no window code, so a test can call them
// directly; every window or dialog procedure lives in a file of its own.
#ifndef INSTALL_H
#define INSTALL_H

#include <windows.h>
#include "setupcontext.h"

// --- copyfiles.cpp ---------------------------------------------------------------
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

// --- pendingdelete.cpp ----------------------------------------------------------------
// Takes back the restart-time deletions that an earlier removal scheduled
// for the installation folder, its files and the second copies, so that a
// restart does not delete what a complete installation put there (NT class).
void CancelPendingDeletes(void);
// Takes back the replacements that an earlier setup staged for the restart:
// of the second copies (secondCopies TRUE) or of the installation folder's
// files. Each staged copy is deleted now; one that cannot be has its pair
// taken out of the restart's list (NT class).
void TakeBackStagedCopies(BOOL secondCopies);
// Whether the pair source -> target (target empty for a deletion) of the
// restart's list is to go; context is the caller's.
typedef BOOL (*PendingPairTest)(const WCHAR *source, const WCHAR *target, void *context);
// Drops the pairs that drop names from a restart list of length characters
// (zero-padded beyond), in place, every other pair as it was. How many it
// dropped; the new length, the list's final zero included, goes to kept.
int FilterPendingList(WCHAR *list, DWORD length, PendingPairTest drop, void *context, DWORD *kept);
// An entry's path without its "!" (replace) and "\??\" markers.
const WCHAR *PendingEntryPath(const WCHAR *entry);

// The driver installer Velqar.exe is judged by its exit code alone: this one
// is its own failure; a crash's exception status fails too (see
// DriverInstallerFailed), and any other code is success (installation and
// removal alike).
enum { DRIVER_INSTALLER_FAILED = 2 };
// What the driver step and the removal return when the driver installer ran
// and did not do its work (it failed, crashed, or could not be waited for),
// as against -1 for a failure before it ran: a silent run ends with 1603 for
// it, whatever number the failure box shows.
enum { DRIVER_PACKAGE_FAILED = -2 };

// --- driverpackage.cpp -------------------------------------------------------------
// Step 1: registration, driver parameters and the driver package (the driver
// installer on the NT class, the Setup API and the device keys on 9x).
// 0; -1 with the last error set when the driver installer cannot be started;
// DRIVER_PACKAGE_FAILED when it ran and failed, with the last error that the
// failure box shows: for exit code 2 the last error as it stood after the
// code was read, for a crash its exception status, for a failed wait the
// wait's error.
int InstallDriverPackage(void);
// Windows 9x class: the installed INF through the Setup API. 0 or a Win32 error.
DWORD CopyOemInfPackage(void);

// --- startprocess.cpp ----------------------------------------------------------------
// Starts application (commandLine may be NULL) in folder with the window
// shown as show; CreateProcessA's result. The caller closes both handles.
BOOL StartSetupProcess(const char *application, char *commandLine, const char *folder, WORD show,
                       PROCESS_INFORMATION *process);
// Waits without a time limit for the driver installer to end, answering
// messages sent to the thread's windows and repainting them meanwhile, and
// dropping their mouse and keyboard input (everything else posted waits).
// TRUE with its exit code, the last error as it stood after the code was
// read; FALSE, with the wait's error, when the wait failed. The log gets the
// exit code and the run time.
BOOL WaitForDriverInstaller(HANDLE process, DWORD *exitCode);
// Whether the driver installer's exit code says it did not do its work: 2,
// or the status of an exception that ended it (a crash).
BOOL DriverInstallerFailed(DWORD exitCode);
// What decided that the last driver installer waited for failed, for the
// log: its exit code, its crash status or the wait's error.
void DescribeDriverInstallerFailure(char *text, int size);

// --- shortcuts.cpp -------------------------------------------------------------------
// Step 2: the Start-menu folder and its five shortcuts. Always 0.
int CreateStartMenuShortcuts(void);
// One .lnk file through the shell's link object; arguments may be NULL.
// 1 when the link was made and asked to save, 0 otherwise.
int CreateShellLink(const char *target, const char *linkPath, const char *description,
                    const char *workingDir, const char *arguments);

// --- runentryadd.cpp -------------------------------------------------------------------
// HKCU Run value valueName = windowsDir\valueName\programFile (not on Vista).
void AddRunEntry(const char *valueName, const char *programFile);

// --- uninstall.cpp -------------------------------------------------------------------
// The removal behind "/u": 0 when it ran to its end; when it stopped early,
// DRIVER_PACKAGE_FAILED for a driver installer that ran and failed, else -1
// with the last error set.
int UninstallProduct(void);
// The same with the two folder queries passed in (see ResolveSetupFoldersWith).
int UninstallProductWith(ModuleFileNameProc getModuleFileName, WindowsDirectoryProc getWindowsDirectory);
// Which of the product's places exist: each file's copies, the
// installation folder and the Start-menu folder.
struct InstalledPlaces {
    BOOL copies[SETUP_FILE_COUNT][2];   // [file][0: installation folder, 1: second copy]
    BOOL installFolder, startMenuFolder;
};
void FindInstalledPlaces(InstalledPlaces *found);
// The second copies, the Start-menu folder, then (after beforeInstallFolder,
// when given) the installation folder, each folder with the files directly
// in it; with keep, all but the places keep marks (a kept installation
// folder loses only the copies keep does not mark).
void RemoveInstalledFiles(const InstalledPlaces *keep, void (*beforeInstallFolder)(void));
// Deletes path, or on the NT class, when it cannot be deleted now (in use),
// at the next restart; a failure is logged. Nothing at path is no failure.
void DeleteOrScheduleFile(const char *path);
// Deletes the files directly in path (no subfolders), then the folder; the
// folder removal's result. On the NT class what stays because it is in use
// goes at the next restart, the folder after its files. A file or a link
// standing at path is left alone (FALSE).
BOOL DeleteFolderFiles(const char *path);

// --- setupsteps.cpp ------------------------------------------------------------------
// The installation's steps in their order: 0 files, 1 driver package,
// 2 shortcuts. Every road through the installation runs this one table.
enum { SETUP_STEP_COUNT = 3 };
// Runs one stage of the installation or the removal between its log lines;
// its result, with the last error as run left it.
int RunLoggedStage(const char *stage, int (*run)(void));
// Called once before step 0.
void BeginInstallation(void);
// Runs one step: negative on failure, with the last error set.
int RunInstallStep(int step);
// Right after step failed: shows its failure message (the last error and
// the OS class code) in an error box owned by owner, and returns that error.
DWORD ReportStepFailure(HWND owner, int step);
// A silent run's exit code for a step that returned result with error as
// its box's number: 1603 when the driver installer ran and failed, else the
// error (1603 for none).
DWORD StepFailureExitCode(int result, DWORD error);
// What Finish does after a complete installation: the calibration
// program's Run value, then the restart question (owned by owner; a silent
// run answers No). TRUE when the user asked for the restart.
BOOL FinishInstallation(HWND owner);
// After a failed step: removes what this run made (the shortcut step keeps it).
void CleanUpFailedStep(int step);

// --- wow64.cpp ------------------------------------------------------------------------
// TRUE when this is a 32-bit program running on 64-bit Windows.
BOOL RunningUnderWow64(void);

// --- shell: winmain.cpp, mainwnd.cpp and one file per dialog --------------------------
#define SETUP_CAPTION     "Zentarox USB Touchscreen Setup"
#define UNINSTALL_CAPTION "Zentarox USB Touchscreen Uninstall"
// The closing question after a complete installation (Finish, and the
// silent road, which answers it No).
#define INSTALL_RESTART_QUESTION \
    "To make the installation vaild,you must pull out and pull the Zentarox controller," \
    "or restart your computer,\nrestart now?"

enum { SETUP_TEXT_MAX = 100 };
enum { STARTUP_TIMER_ID = 101, STEP_TIMER_ID = 100 };

extern HINSTANCE appInstance;
extern char windowTitle[SETUP_TEXT_MAX];
extern char windowClassName[SETUP_TEXT_MAX];
extern HWND mainWindow;
extern int screenWidth, screenHeight;
extern int setupStep;

ATOM RegisterMainWindowClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void CenterOnScreen(HWND window);
void RestartSystem(HWND owner);

#endif
