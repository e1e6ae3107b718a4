// Setup over a working installation, as users run it: again from the medium
// while the touchscreen's driver is loaded and the right-button tool runs,
// again from the installation folder to repair it, a reinstall that fails,
// two setups at once, and the restart that finishes what was in use.
#include <algorithm>
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;

// Runs setupExe's wizard to its failure box and closes it with Finish.
static bench::MessageBoxInfo FailWizard(const std::string &setupExe)
{
    bench::Program *setup = bench::StartProgram(setupExe);
    DWORD pid = bench::ProgramId(setup);
    HWND progress = OpenProgressPage(pid);
    bench::MessageBoxInfo box = WaitForBox(pid);
    AnswerBox(box, IDOK);
    ClickControl(progress, kFinishButton);
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, nullptr));
    bench::EndProgram(setup);
    return box;
}

// The restart that the reinstall ends with is refused by a program with
// unsaved work (Windows does not restart, nothing is ended), and the one
// after it puts the new files in place.
TEST(Reinstall, OverAnInstallationInUseCompletesAndTheRestartPutsTheNewFilesInPlace)
{
    // A restart runs the RunOnce entries.
    bench::WriteString(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Marker",
                       bench::WindowsDir() + "\\system32\\cmd.exe /c echo restarted> C:\\restarted.txt");
    InstallThroughWizard();
    // An older right-button tool, running, and the driver loaded from the
    // second copy of Velqar.sys, as the first installation left it.
    std::string oldKaplet = bench::ReadFileText(Medium("Kaplet.exe")) + "older";
    HANDLE file = CreateFileA(Installed("Kaplet.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, oldKaplet.data(), (DWORD)oldKaplet.size(), &wrote, nullptr);
    CloseHandle(file);
    bench::Program *kaplet = bench::StartProgram(Installed("Kaplet.exe"));
    ASSERT_TRUE(bench::WaitForWindow(bench::ProgramId(kaplet), nullptr, bench::kHangGuardMs));
    std::string driver = bench::WindowsDir() + "\\System32\\Drivers\\Velqar.sys";
    ASSERT_TRUE(CopyFileA(Medium("ReadMe.txt").c_str(), driver.c_str(), FALSE) == FALSE) << "driver not in use";

    bench::Program *unsaved = bench::StartProgram(bench::BinPath("unsaved.exe"));
    ASSERT_TRUE(bench::WaitForWindow(bench::ProgramId(unsaved), nullptr, bench::kHangGuardMs));

    // From a CD, whose files are read-only: no staged copy is.
    for (const std::string &name : ProductFiles())
        SetFileAttributesA(Medium(name).c_str(), FILE_ATTRIBUTE_READONLY);
    InstallThroughWizard(Medium("Install.exe"), IDYES);
    for (const PendingRename &rename : PendingRenames())
        EXPECT_EQ(GetFileAttributesA(rename.source.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << rename.source;
    bench::Pause(3000);
    EXPECT_FALSE(bench::WaitProgram(unsaved, 0, nullptr)) << "the restart ended a program with unsaved work";
    EXPECT_FALSE(bench::FileExists("C:\\restarted.txt")) << "Windows restarted";
    bench::EndProgram(unsaved);
    EXPECT_TRUE(RestartWillTouch(Installed("Kaplet.exe")));
    EXPECT_TRUE(RestartWillTouch(driver));
    EXPECT_EQ(bench::ReadFileText(Installed("Kaplet.exe")), oldKaplet) << "a running program's file was replaced";
    EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz(Installed("Install.exe") + " /u")));
    bench::EndProgram(kaplet);

    RestartWindows();
    for (const std::string &name : ProductFiles())
        EXPECT_EQ(bench::ReadFileText(Installed(name)), bench::ReadFileText(Medium(name))) << name;
    EXPECT_EQ(bench::ReadFileText(driver), bench::ReadFileText(Medium("Velqar.sys")));
    EXPECT_TRUE(PendingRenames().empty());
    // No staged copy is left beside the files it replaced.
    auto expectNoStagedCopy = [] {
        for (const std::string &folder : {InstallDir(), bench::WindowsDir() + "\\System32\\Drivers"}) {
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA((folder + "\\zx*.tmp").c_str(), &found);
            EXPECT_EQ(search, INVALID_HANDLE_VALUE) << folder << "\\" << found.cFileName;
            if (search != INVALID_HANDLE_VALUE)
                FindClose(search);
        }
    };
    expectNoStagedCopy();

    // Setup again while the driver is loaded, then a removal before the
    // restart: the removal takes the staged driver back, other programs'
    // restart work stays as it was, and the one restart brings nothing back.
    bench::InstallTouchSim();
    InstallThroughWizard(Medium("Install.exe"));
    ASSERT_TRUE(RestartWillTouch(driver));
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string other = std::string(temp) + "other.tmp";
    bench::CopyFileOrFail(Medium("ReadMe.txt"), other);
    bench::CopyFileOrFail(Medium("ReadMe.txt"), other + ".old");
    ASSERT_TRUE(MoveFileExA(other.c_str(), (other + ".new").c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_TRUE(MoveFileExA((other + ".old").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    bench::Program *removal = bench::StartProgram(Installed("Install.exe"), "/u");
    AnswerBox(WaitForBox(bench::ProgramId(removal)), IDYES);
    AnswerBox(WaitForBox(bench::ProgramId(removal)), IDNO);
    EXPECT_TRUE(bench::WaitProgram(removal, bench::kHangGuardMs, nullptr));
    bench::EndProgram(removal);
    std::vector<std::string> others;
    for (const PendingRename &rename : PendingRenames())
        if (rename.source.compare(0, other.size(), other) == 0)
            others.push_back(rename.source + " > " + rename.target);
    EXPECT_EQ(others, (std::vector<std::string>{other + " > " + other + ".new", other + ".old > "}));
    RestartWindows();
    EXPECT_FALSE(bench::FileExists(InstallDir()));
    for (const std::string &copy : SecondCopies(false))
        EXPECT_FALSE(bench::FileExists(bench::WindowsDir() + "\\" + copy)) << copy;
    expectNoStagedCopy();
}

TEST(Reinstall, SetupFromTheInstallationFolderRepairsAndThePageAnswersDuringTheDriverStep)
{
    InstallThroughWizard();
    // Calibrated: "OK" stored the values and took the logon entry away. The
    // repair keeps both so.
    bench::WriteDword(HKLM, kParamsKey, "TopLeftOffsetX", 1234);
    bench::WriteDword(HKLM, kParamsKey, "Calibration4Pt", 1);
    bench::DeleteValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ZentaroxUsb");
    std::map<std::string, std::string> installed = Snapshot();
    // Damage a user could do: a second copy and a shortcut deleted.
    DeleteFileA((bench::WindowsDir() + "\\System32\\ZentaroxUsb.exe").c_str());
    DeleteFileA((ProgramsFolder(true) + "\\Zentarox USB Touchscreen\\Calibration.lnk").c_str());
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "SetupDelayMs", 6000);

    bench::Program *setup = bench::StartProgram(Installed("Install.exe"));
    DWORD pid = bench::ProgramId(setup);
    HWND progress = OpenProgressPage(pid);
    // While the driver installer runs, the page still answers, and takes in
    // input without acting on it: a click on Cancel asks nothing, then or
    // after the step. It refuses the end of the session: a log-off ends
    // nothing.
    ASSERT_TRUE(bench::WaitUntil([&] { return !ProcessesOf(Installed("Velqar.exe")).empty(); }))
        << "the driver step is not running";
    ClickControl(progress, IDCANCEL);
    DWORD_PTR answer = 1;
    DWORD before = GetTickCount();
    EXPECT_TRUE(SendMessageTimeoutA(progress, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 1000,
                                    &answer));
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_EQ(answer, 0u);
    // A critical end cannot be refused; the log does not say it was.
    EXPECT_TRUE(SendMessageTimeoutA(progress, WM_QUERYENDSESSION, 0, ENDSESSION_CRITICAL, SMTO_ABORTIFHUNG, 1000,
                                    &answer));
    EXPECT_EQ(bench::RunProgram(bench::WindowsDir() + "\\system32\\wineboot.exe", "--end-session --kill"), 1u);
    EXPECT_FALSE(Enabled(progress, kDeviceLabel)) << "the driver step ended too early to prove anything";
    EXPECT_TRUE(bench::WaitUntil([&] { return Enabled(progress, kFinishButton); })) << WaitForBox(pid, 0).text;
    EXPECT_TRUE(Enabled(progress, kShortcutsLabel));
    ClickControl(progress, kFinishButton);
    AnswerBox(WaitForBox(pid), IDNO);
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, nullptr));
    bench::EndProgram(setup);
    EXPECT_TRUE(ProcessesOf(Installed("ZentaroxUsb.exe")).empty()) << "No started the calibration again";
    auto logged = [](const std::string &line) {
        std::vector<std::string> logs = SetupLogPaths();
        return std::any_of(logs.begin(), logs.end(), [&](const std::string &path) {
            return HasLogLine(ReadSetupLog(path), line);
        });
    };
    EXPECT_TRUE(logged("Asked to end the Windows session: refused, the installation is not finished"));
    EXPECT_TRUE(logged("Windows is ending the session, which cannot be refused"));
    // The loaded driver's file is replaced at the restart.
    RestartWindows();
    EXPECT_EQ(ProductDiff(installed, Snapshot()), std::vector<std::string>{});
}

TEST(Reinstall, FailedReinstallKeepsTheInstallationWhoseRemovalThenLeavesNothing)
{
    std::map<std::string, std::string> before = Snapshot();
    InstallThroughWizard();
    std::map<std::string, std::string> installed = Snapshot();
    DeleteFileA(Medium("Write.exe").c_str());
    bench::MessageBoxInfo box = FailWizard(Medium("Install.exe"));
    EXPECT_EQ(box.text, StepFailureText(kFileStepFailedText, 2, 9));
    EXPECT_EQ(ProductDiff(installed, Snapshot()), std::vector<std::string>{});

    // Removal with the registered command, from the installation folder.
    bench::Program *removal = bench::StartProgram(Installed("Install.exe"), "/u");
    AnswerBox(WaitForBox(bench::ProgramId(removal)), IDYES);
    bench::MessageBoxInfo restart = WaitForBox(bench::ProgramId(removal));
    EXPECT_EQ(restart.caption, kUninstallCaption);
    // The running Install.exe and its folder go at the restart, after the
    // rest has gone now.
    EXPECT_TRUE(RestartWillTouch(Installed("Install.exe")));
    EXPECT_TRUE(RestartWillTouch(InstallDir()));
    AnswerBox(restart, IDNO);
    EXPECT_TRUE(bench::WaitProgram(removal, bench::kHangGuardMs, nullptr));
    bench::EndProgram(removal);
    RestartWindows();
    EXPECT_EQ(ProductDiff(before, Snapshot()), DoubleClickStays());
}

TEST(Reinstall, SecondSetupShowsTheFirstAndTouchesNothing)
{
    PrepareMedium(kMedium);
    bench::Program *first = bench::StartProgram(Medium("Install.exe"));
    HWND welcome = WaitForPage(bench::ProgramId(first), kWelcomeCaption);
    ASSERT_TRUE(welcome);
    std::map<std::string, std::string> before = Snapshot();
    for (const char *args : {"", "/u"}) {
        SetForegroundWindow(GetDesktopWindow());
        bench::Program *second = bench::StartProgram(Medium("Install.exe"), args);
        DWORD exitCode = 1;
        EXPECT_TRUE(bench::WaitProgram(second, bench::kHangGuardMs, &exitCode)) << "\"" << args << "\"";
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(bench::FindProcessWindow(bench::ProgramId(second), nullptr));
        bench::EndProgram(second);
        EXPECT_EQ(GetForegroundWindow(), welcome) << "\"" << args << "\"";
    }
    // Silently: the code that says so, no log, and the first left where it was.
    for (const char *args : {"/S", "/u /S"}) {
        SetForegroundWindow(GetDesktopWindow());
        SilentRun second = RunSilently(Medium("Install.exe"), args);
        EXPECT_EQ(second.exitCode, (DWORD)ERROR_INSTALL_ALREADY_RUNNING) << args;
        EXPECT_EQ(second.window, "") << args;
        EXPECT_TRUE(second.logs.empty()) << args;
        EXPECT_NE(GetForegroundWindow(), welcome) << args;
    }
    EXPECT_EQ(ProductDiff(before, Snapshot()), std::vector<std::string>{});
    ClickControl(welcome, IDCANCEL);
    EXPECT_TRUE(bench::WaitProgram(first, bench::kHangGuardMs, nullptr));
    bench::EndProgram(first);

    // One setup machine-wide: the mutex of another session's setup, open to
    // all, and another account's, which this one may not open.
    SECURITY_DESCRIPTOR descriptor;
    ACL empty;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    for (PACL list : {(PACL)nullptr, &empty}) {
        SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
        SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
        HANDLE mutex = CreateMutexA(&attributes, TRUE, "Global\\ZentaroxUsbSetupRunning");
        ASSERT_TRUE(mutex);
        EXPECT_EQ(RunSilently(Medium("Install.exe"), "/S").exitCode, (DWORD)ERROR_INSTALL_ALREADY_RUNNING)
            << (list ? "empty access list" : "open to all");
        CloseHandle(mutex);
    }
    EXPECT_EQ(ProductDiff(before, Snapshot()), std::vector<std::string>{});
}
