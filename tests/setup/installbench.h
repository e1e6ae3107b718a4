// Bench steps of the setup program's tests and of the main job: a medium laid
// out from the release folder with the stand-ins added, the wizard driven by
// real clicks, its message boxes told apart from its pages, shortcuts read
// back through the shell's link object, the installed files judged against
// the medium, and a snapshot of the registry and the disk to compare before
// and after.
#ifndef INSTALLBENCH_H
#define INSTALLBENCH_H

#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "benchlib.h"
#include "setuptexts.h"

namespace setupbench {

// The wizard's controls, by their dialog ids.
enum { kNextButton = 1002, kFinishButton = 1003, kDeviceLabel = 1004, kFilesLabel = 1005, kShortcutsLabel = 1006 };

// A failed step's text (format from setuptexts.h) as its box shows it.
std::string StepFailureText(const char *format, DWORD error, int osClass);

// The tests' medium folder, and a file on it.
extern const char *const kMedium;
std::string Medium(const std::string &file);

// Copies the release medium (x64, or the one ZX_MEDIUM names) and the stand-ins
// of the seven shipped files into dir (created); "Velqar.exe" is left out when
// withDriverInstaller is false.
void PrepareMedium(const std::string &dir, bool withDriverInstaller = true);
std::string InstallDir();    // C:\windows\ZentaroxUSB
std::string Installed(const std::string &file);   // InstallDir()\file
// The second copies of files 0 to 3, relative to the Windows folder.
std::vector<std::string> SecondCopies(bool win9x);
// The calibration program's logon entry, HKCU ...\Run "ZentaroxUsb".
bench::RegValue RunValue();
// The ten file names in copy order.
const std::vector<std::string> &ProductFiles();
// The ten installed files and the second copies of the OS class, each equal
// to its file on the medium and none read-only.
::testing::AssertionResult HasInstalledFiles(bool win9x);
// What the ten installed files and the four second copies take, in KiB
// rounded up.
DWORD InstalledKiB();
// What a removal leaves by design, as ProductDiff lines: the double-click
// settings.
std::vector<std::string> DoubleClickStays();

// A visible dialog of the process with exactly this caption.
HWND WaitForPage(DWORD processId, const char *caption, DWORD timeoutMs = bench::kHangGuardMs);
// A message box of the process (a dialog that is no wizard page).
bench::MessageBoxInfo WaitForBox(DWORD processId, DWORD timeoutMs = bench::kHangGuardMs);
// Presses the box's button and waits until the box is gone, so that the next
// wait cannot find it again.
void AnswerBox(const bench::MessageBoxInfo &box, int buttonId);
// A real pointer click on the middle of the dialog's control.
void ClickControl(HWND dialog, int controlId);
bool Enabled(HWND dialog, int controlId);

// Presses Next on the process's welcome page and waits for the progress
// page (null when a page does not come).
HWND OpenProgressPage(DWORD processId);
// Starts Install.exe from the medium, presses Next on the welcome page and
// waits until Finish is enabled; the progress page (null on failure).
// The step labels' ids in the order they were seen enabled go to labelOrder.
HWND RunWizardToFinish(bench::Program *program, DWORD timeoutMs = bench::kHangGuardMs,
                       std::vector<int> *labelOrder = nullptr);

// Installs with setupExe (the medium's Install.exe when empty) through the
// wizard and answers the restart question; after No, closes the calibration
// program that Finish started, as a user would.
void InstallThroughWizard(const std::string &setupExe = "", int restartAnswer = IDNO);

// The files Windows renames (target set) or deletes (target empty) at the
// next restart, in order: PendingFileRenameOperations without its "\??"
// and "!" markers.
struct PendingRename {
    std::string source, target;
};
std::vector<PendingRename> PendingRenames();
// Whether a rename or deletion of path (compared without case) is pending.
bool RestartWillTouch(const std::string &path);
// Carries out what a restart does to files: ends every program that the
// tests started from the installation folder, stops the simulated
// controller and lets Wine's restart step run the pending operations.
void RestartWindows();

// Processes whose image is exe (a full path, compared without case).
std::vector<DWORD> ProcessesOf(const std::string &exe);
void EndProcesses(const std::string &exe);

struct Link {
    bool exists = false;
    std::string target, arguments, description, workingDir;
};
Link ReadLink(const std::string &path);
std::string ProgramsFolder(bool allUsers);

// Every key, value (with type and data) and file below the places the setup
// program touches, as "place -> contents".
std::map<std::string, std::string> Snapshot();
// Lines "+ place" and "- place" (or "~ place") where after differs from before.
std::vector<std::string> SnapshotDiff(const std::map<std::string, std::string> &before,
                                      const std::map<std::string, std::string> &after);

// SnapshotDiff without what the tests themselves put there: the medium and
// the stand-ins' logs.
std::vector<std::string> ProductDiff(const std::map<std::string, std::string> &before,
                                     const std::map<std::string, std::string> &after);

// A setup log: its path and its lines (without their line breaks).
struct SetupLogFile {
    std::string path;
    std::vector<std::string> lines;
};

// A run of Install.exe that is to show nothing ("/S", "/u /S").
struct SilentRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::string> trace;   // every debug-output line, as sent
    std::string window;               // the first visible top-level window of the process seen, or ""
    std::vector<SetupLogFile> logs;   // the setup logs that appeared in the temp folder meanwhile
};
// The setup logs in the temp folder (the tests' account is the setup's), and
// one read back; whether a log has a line (its time stamp aside) of exactly
// text.
std::vector<std::string> SetupLogPaths();
SetupLogFile ReadSetupLog(const std::string &path);
bool HasLogLine(const SetupLogFile &log, const std::string &text);
// Expects the run to have left one log, which names the command tail and
// ends with the run's exit code.
void ExpectOneLog(const SilentRun &run, const std::string &tail);
// Runs exe with args to its end, looking for a window of the process every
// 20 ms all the while; a run that shows one, or outlasts timeoutMs, is ended
// there and keeps exit code 0xFFFFFFFF.
SilentRun RunSilently(const std::string &exe, const std::string &args, DWORD timeoutMs = bench::kHangGuardMs);
// A command line as a registration holds it: "program" arguments.
bool SplitQuotedCommand(const std::string &command, std::string *program, std::string *arguments);

// Whether the driver's parameter key grants BUILTIN\Guests full access: only
// the setup program's grants give it an entry.
bool ParametersGrantGuests();

}  // namespace setupbench

#endif
