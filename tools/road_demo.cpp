// Drives the whole road for scripts/demo.sh, inside the throwaway Wine
// prefix that winerun gives it: installation from a medium through the
// wizard, the calibration that Finish starts, and the removal with the
// command that the uninstall registration holds; then the same installation
// and removal unattended ("/S", "/u /S"), as a deployment tool runs them.
//
//   road_demo OUTDIR               headless: Next, Finish, No to the restart,
//                                  a real click on each cross and "OK", two
//                                  clicks on the right-button tool, then
//                                  Yes and No to the removal's questions; a
//                                  screenshot of every page, box and screen
//   road_demo OUTDIR interactive   on the user's display: the user clicks
//
// Along the way it prints what a user would want to see: the files, the
// registration, the shortcuts, the stored calibration, and what was left;
// for the unattended runs, their exit codes, trace lines and the entry as
// Programs and Features lists it.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "installbench.h"
#include "setupregtest.h"

using namespace setupbench;

static const char *const kDemoMedium = "C:\\Zentarox USB Touchscreen medium";
static const char *const kNames[11] = {
    "TopLeftOffsetX", "TopLeftOffsetY", "TopRightOffsetX", "TopRightOffsetY",
    "BottomLeftOffsetX", "BottomLeftOffsetY", "BottomRightOffsetX", "BottomRightOffsetY",
    "ScreenWidth", "ScreenHigh", "Calibration4Pt",
};
static const char *const kCorners[4] = {"top-left", "top-right", "bottom-left", "bottom-right"};

// What a 12-bit resistive controller might report at the four targets: not a
// perfect rectangle, as a real panel never is.
static const DWORD kReadings[4] = {
    bench::TouchWord(291, 318), bench::TouchWord(3779, 301),
    bench::TouchWord(305, 3762), bench::TouchWord(3790, 3781),
};

static std::string outDir;
static int shotNumber;

static void Screenshot(const char *name)
{
    bench::Pause(400);   // the repaint after the last input
    char file[128];
    wsprintfA(file, "%02d-%s", ++shotNumber, name);
    bench::CaptureScreen().SaveBmp(outDir + "\\" + file + ".bmp");
    printf("  [screenshot %s]\n", file);
}

static size_t RequestCount(DWORD code)
{
    size_t n = 0;
    for (const bench::SimRequest &r : bench::ReadSimLog())
        n += r.code == code;
    return n;
}

static void ListFolder(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        printf("  %s: (gone)\n", folder.c_str());
        return;
    }
    printf("  %s:\n", folder.c_str());
    do {
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            printf("    %-20s %7lu bytes\n", found.cFileName, (unsigned long)found.nFileSizeLow);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

static void PrintInstallation()
{
    printf("\nFiles installed:\n");
    ListFolder(InstallDir());
    for (const std::string &copy : SecondCopies(false)) {
        std::string path = bench::WindowsDir() + "\\" + copy;
        printf("  %-45s %s\n", path.c_str(), bench::FileExists(path) ? "present" : "missing");
    }
    printf("\nUninstall registration HKLM\\%s:\n", kRegistrationKey);
    for (const char *name : {"DisplayName", "UninstallString"})
        printf("  %-16s \"%s\"\n", name, bench::ReadValue(HKEY_LOCAL_MACHINE, kRegistrationKey, name)
                                             .AsString().c_str());
    std::string menu = ProgramsFolder(true) + "\\Zentarox USB Touchscreen";
    printf("\nStart menu %s:\n", menu.c_str());
    for (const char *link : {"Uninstall Zentarox.lnk", "Zentarox help.lnk", "Calibration.lnk", "Right Button.lnk",
                             "HandWritting Demo.lnk"}) {
        Link l = ReadLink(menu + "\\" + link);
        if (l.exists)
            printf("  %-24s -> %s %s  (\"%s\", in %s)\n", link, l.target.c_str(), l.arguments.c_str(),
                   l.description.c_str(), l.workingDir.c_str());
        else
            printf("  %-24s (missing)\n", link);
    }
    bench::RegValue run = RunValue();
    printf("\nRun value \"ZentaroxUsb\": %s\n", run.exists ? run.AsString().c_str() : "(none yet: Finish writes it)");
}

static void PrintCalibration()
{
    printf("\nStored under HKLM\\%s:\n", bench::kParametersKey);
    for (const char *name : kNames) {
        bench::RegValue v = bench::ReadValue(HKEY_LOCAL_MACHINE, bench::kParametersKey, name);
        if (v.exists && v.type == REG_DWORD && v.data.size() == 4)
            printf("  %-19s REG_DWORD %lu\n", name, (unsigned long)v.AsDword());
        else
            printf("  %-19s %s\n", name, v.exists ? "(not a REG_DWORD)" : "(missing)");
    }
    printf("Run value \"ZentaroxUsb\": %s\n",
           RunValue().exists ? "still there" : "removed");
}

static void PrintLeftOver()
{
    printf("\nLeft after the removal:\n");
    ListFolder(InstallDir());
    ListFolder(ProgramsFolder(true) + "\\Zentarox USB Touchscreen");
    printf("  registration key:     %s\n", bench::KeyExists(HKEY_LOCAL_MACHINE, kRegistrationKey) ? "present" : "gone");
    printf("  driver service key:   %s\n",
           bench::KeyExists(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Drovik") ? "present" : "gone");
    printf("  Run value:            %s\n",
           RunValue().exists ? "present" : "gone");
    for (const char *name : {"DoubleClickHeight", "DoubleClickWidth", "DoubleClickSpeed"})
        printf("  HKLM\\Control Panel\\Mouse %s = \"%s\" (kept)\n", name,
               bench::ReadValue(HKEY_LOCAL_MACHINE, "Control Panel\\Mouse", name).AsString().c_str());
    printf("  deleted at the restart, in this order:\n");
    for (const PendingRename &rename : PendingRenames())
        if (rename.target.empty())
            printf("    %s\n", rename.source.c_str());
}

// Headless: the box is photographed and answered.
static void Answer(DWORD pid, int button, const char *shot)
{
    bench::MessageBoxInfo box = WaitForBox(pid, 60000);
    printf("Box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    Screenshot(shot);
    AnswerBox(box, button);
}

static void CalibrateHeadless(DWORD pid)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (int step = 1; step <= 4; step++) {
        char name[64];
        wsprintfA(name, "calibration-target-%s", kCorners[step - 1]);
        Screenshot(name);
        // The targets' centres: 102/2048 and 1945/2048 of the display.
        int x = (step % 2 ? 102 : 1945) * width / 2048;
        int y = (step <= 2 ? 102 : 1945) * height / 2048;
        bench::ClickAt(x, y);
        bench::WaitUntil([&] { return RequestCount(bench::kGetXYRequest) >= (size_t)step; }, 5000);
        printf("Touch %d, %s cross at (%d, %d): controller reads x %lu, y %lu\n", step, kCorners[step - 1], x, y,
               (unsigned long)(kReadings[step - 1] >> 16), (unsigned long)(kReadings[step - 1] & 0xFFFF));
    }
    bench::WaitUntil([] { return RequestCount(bench::kUpdateParametersRequest) >= 1; }, 5000);
    Screenshot("calibration-check-screen");
    printf("Pressing \"OK\".\n");
    bench::ClickAt(width / 2 - 105 + 50, height / 2 - 30 + 25);
    (void)pid;
}

// The installed right-button tool: a click on its picture switches the
// driver to right-button mode and the picture with it; a second click back.
static void RightButtonTool(bool interactive)
{
    bench::Program *tool = bench::StartProgram(InstallDir() + "\\Kaplet.exe");
    HWND window = bench::WaitForWindow(bench::ProgramId(tool), "SwapBottun", 15000);
    printf("\nRight-button tool: %s\n", window ? "its window is up" : "no window");
    if (window && interactive) {
        printf("Click its mouse picture to switch right-button mode; close it when done.\n");
        bench::WaitProgram(tool, INFINITE, nullptr);
    } else if (window) {
        POINT at = {35, 35};   // the middle of the picture
        ClientToScreen(window, &at);
        for (DWORD mode : {1, 0}) {
            Screenshot(mode ? "right-button-tool-left" : "right-button-tool-right");
            bench::ClickAt(at.x, at.y);
            // The mode requests are the ones that carry a word in.
            bool sent = bench::WaitUntil([&] {
                std::vector<DWORD> modes;
                for (const bench::SimRequest &r : bench::ReadSimLog())
                    if (r.hasIn)
                        modes.push_back(r.in);
                return !modes.empty() && modes.back() == mode;
            }, 5000);
            printf("Click: the driver %s right-button mode %s.\n", sent ? "was sent" : "was NOT sent",
                   mode ? "on" : "off");
        }
    }
    bench::EndProgram(tool);
}

static const char *ExitCodeMeaning(DWORD code)
{
    switch (code) {
    case 3010: return "ERROR_SUCCESS_REBOOT_REQUIRED: done, a restart finishes it";
    case 1150: return "ERROR_OLD_WIN_VERSION: Windows not supported";
    case 1603: return "ERROR_INSTALL_FAILURE: failed without a Windows error";
    case 1618: return "ERROR_INSTALL_ALREADY_RUNNING: another setup is running";
    default: return "failed: the Windows error of the failed step";
    }
}

static void PrintSilentRun(const SilentRun &run)
{
    printf("  exit code %lu (%s)\n", (unsigned long)run.exitCode, ExitCodeMeaning(run.exitCode));
    printf("  windows shown: %s\n", run.window.empty() ? "none" : run.window.c_str());
    printf("  trace:\n");
    for (std::string line : run.trace) {
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        for (size_t at; (at = line.find('\n')) != std::string::npos;)
            line.replace(at, 1, "\\n");
        printf("    %s\n", line.c_str());
    }
    for (const SetupLogFile &log : run.logs) {
        printf("  setup log: %s\n  its last lines:\n", log.path.c_str());
        for (size_t i = log.lines.size() > 6 ? log.lines.size() - 6 : 0; i < log.lines.size(); i++)
            printf("    %s\n", log.lines[i].c_str());
    }
}

// The entry as Programs and Features shows it, from the values it reads.
static void PrintProgramsAndFeatures()
{
    auto text = [](const char *name) {
        bench::RegValue v = bench::ReadValue(HKEY_LOCAL_MACHINE, kRegistrationKey, name);
        return v.exists ? v.AsString() : std::string("(missing)");
    };
    auto number = [](const char *name) {
        bench::RegValue v = bench::ReadValue(HKEY_LOCAL_MACHINE, kRegistrationKey, name);
        return v.exists && v.type == REG_DWORD ? std::to_string(v.AsDword()) : std::string("(missing)");
    };
    printf("\nPrograms and Features lists (HKLM\\%s):\n", kRegistrationKey);
    printf("  Name              %s\n", text("DisplayName").c_str());
    printf("  Version           %s\n", text("DisplayVersion").c_str());
    printf("  Size              %s KB\n", number("EstimatedSize").c_str());
    printf("  Icon              %s\n", text("DisplayIcon").c_str());
    printf("  Location          %s\n", text("InstallLocation").c_str());
    printf("  Uninstall         %s\n", text("UninstallString").c_str());
    printf("  Quiet uninstall   %s\n", text("QuietUninstallString").c_str());
    printf("  Change / Repair   %s (NoModify %s, NoRepair %s)\n",
           number("NoModify") == "1" && number("NoRepair") == "1" ? "not offered" : "offered",
           number("NoModify").c_str(), number("NoRepair").c_str());
}

// What a deployment tool does: install with "/S", read the entry, remove
// with the registered quiet command; nothing appears on the screen.
static void SilentRoad()
{
    std::string setup = std::string(kDemoMedium) + "\\Install.exe";
    printf("\nUnattended installation: \"%s\" /S\n", setup.c_str());
    PrintSilentRun(RunSilently(setup, "/S"));
    PrintProgramsAndFeatures();
    bench::RegValue run = RunValue();
    printf("Run value \"ZentaroxUsb\": %s\n", run.exists ? run.AsString().c_str() : "(none)");

    std::string command = bench::ReadValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "QuietUninstallString").AsString();
    std::string program, arguments;
    printf("\nUnattended removal with the registered quiet command: %s\n", command.c_str());
    if (!SplitQuotedCommand(command, &program, &arguments)) {
        printf("No quiet uninstall command is registered.\n");
        return;
    }
    PrintSilentRun(RunSilently(program, arguments));
    PrintLeftOver();
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: road_demo OUTDIR [interactive]\n");
        return 2;
    }
    outDir = argv[1];
    bool interactive = argc > 2 && strcmp(argv[2], "interactive") == 0;
    setvbuf(stdout, nullptr, _IONBF, 0);

    PrepareMedium(kDemoMedium);
    printf("Medium \"%s\": our three programs from build/media/x64 and the stand-ins of the driver package "
           "and the shipped extras.\n", kDemoMedium);
    bench::SetTouchWords(std::vector<DWORD>(kReadings, kReadings + 4));

    // --- installation -------------------------------------------------------------
    bench::Program *setup = bench::StartProgram(std::string(kDemoMedium) + "\\Install.exe");
    DWORD pid = bench::ProgramId(setup);
    if (interactive) {
        printf("Install.exe is running on your display: press Next, then Finish when it is enabled.\n");
        bench::WaitProgram(setup, INFINITE, nullptr);
    } else {
        HWND welcome = WaitForPage(pid, kWelcomeCaption);
        if (!welcome) {
            printf("The welcome page did not open.\n");
            return 1;
        }
        Screenshot("welcome-page");
        printf("Pressing Next.\n");
        ClickControl(welcome, kNextButton);
        HWND progress = WaitForPage(pid, kProgressCaption);
        bench::WaitUntil([&] { return progress && Enabled(progress, kFinishButton); }, 60000);
        Screenshot("progress-page-complete");
        PrintInstallation();
        printf("\nPressing Finish.\n");
        ClickControl(progress, kFinishButton);
        Answer(pid, IDNO, "restart-question");
        bench::WaitProgram(setup, 15000, nullptr);
    }
    bench::EndProgram(setup);
    if (interactive)
        PrintInstallation();

    // --- the calibration that Finish started ----------------------------------------------
    std::string calibration = InstallDir() + "\\ZentaroxUsb.exe";
    bench::WaitUntil([&] { return !ProcessesOf(calibration).empty(); }, 10000);
    std::vector<DWORD> running = ProcessesOf(calibration);
    if (running.empty()) {
        printf("\nFinish did not start the calibration program.\n");
    } else {
        printf("\nFinish started %s.\n", calibration.c_str());
        bench::WaitForWindow(running[0], "Aling", 20000);
        if (interactive)
            printf("Touch (click) the centre of each cross, then press \"OK\" on the check screen.\n");
        else
            CalibrateHeadless(running[0]);
        bench::WaitUntil([&] { return ProcessesOf(calibration).empty(); }, interactive ? INFINITE : 15000);
        PrintCalibration();
    }

    RightButtonTool(interactive);

    // --- removal, with the command the registration holds ------------------------------------
    std::string command = bench::ReadValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "UninstallString").AsString();
    printf("\nRemoving with the registered command: %s\n", command.c_str());
    size_t argument = command.rfind(" /u");
    if (argument == std::string::npos) {
        printf("No uninstall command is registered.\n");
        return 1;
    }
    bench::Program *removal = bench::StartProgram(command.substr(0, argument), "/u");
    if (interactive) {
        printf("Answer the removal's questions on your display.\n");
        bench::WaitProgram(removal, INFINITE, nullptr);
    } else {
        Answer(bench::ProgramId(removal), IDYES, "uninstall-question");
        Answer(bench::ProgramId(removal), IDNO, "uninstall-restart-question");
        bench::WaitProgram(removal, 15000, nullptr);
    }
    bench::EndProgram(removal);
    PrintLeftOver();

    SilentRoad();
    return 0;
}
