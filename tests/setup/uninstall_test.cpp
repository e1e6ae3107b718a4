// Removal with "/u" from the installed copy, after an installation through
// the wizard: the prompt, what goes and what stays (shown as a difference of
// the registry and the disk against before the installation), and a driver
// installer that refuses; each also as a silent run, which must leave the
// same and show nothing.
#include <algorithm>
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;

static bench::MessageBoxInfo StartRemoval(bench::Program **removal, const std::string &args = "/u")
{
    *removal = bench::StartProgram(Installed("Install.exe"), args);
    return WaitForBox(bench::ProgramId(*removal));
}

TEST(Uninstall, RemovesWhatTheInstallationAddedAndKeepsWhatMustStay)
{
    // A file of the user's where the Start-menu folder goes: no shortcuts,
    // and the file outlives every removal and restart.
    std::string startMenu = ProgramsFolder(true) + "\\Zentarox USB Touchscreen";
    bench::CopyFileOrFail(bench::BinPath("ReadMe.txt"), startMenu);
    std::map<std::string, std::string> before = Snapshot();
    InstallThroughWizard();

    // No to the prompt changes nothing.
    bench::Program *removal;
    bench::MessageBoxInfo prompt = StartRemoval(&removal);
    EXPECT_EQ(prompt.caption, kUninstallCaption);
    EXPECT_EQ(prompt.text, kUninstallQuestionText);
    EXPECT_EQ(prompt.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(prompt.hasIcon);
    std::map<std::string, std::string> installed = Snapshot();
    AnswerBox(prompt, IDNO);
    EXPECT_TRUE(bench::WaitProgram(removal, bench::kHangGuardMs, nullptr));
    bench::EndProgram(removal);
    EXPECT_EQ(SnapshotDiff(installed, Snapshot()), std::vector<std::string>{});

    AnswerBox(StartRemoval(&removal), IDYES);
    bench::MessageBoxInfo restart = WaitForBox(bench::ProgramId(removal));
    EXPECT_EQ(restart.caption, kUninstallCaption);
    EXPECT_EQ(restart.text, kUninstallRestartQuestionText);
    EXPECT_TRUE(bench::ReadFileText("C:\\velqar.log").find("uninstall 9 delete\t") != std::string::npos);
    AnswerBox(restart, IDNO);
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(removal, bench::kHangGuardMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    bench::EndProgram(removal);

    // What stays: the double-click settings and the running Install.exe with
    // its folder.
    std::string windows = bench::WindowsDir();
    std::vector<std::string> stays = DoubleClickStays();
    stays.push_back("+ " + windows + "\\ZentaroxUSB");
    stays.push_back("+ " + windows + "\\ZentaroxUSB\\Install.exe");
    std::map<std::string, std::string> removed = Snapshot();
    std::sort(stays.begin(), stays.end());
    EXPECT_EQ(ProductDiff(before, removed), stays);
    EXPECT_FALSE(RunValue().exists);

    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string other = std::string(temp) + "other.tmp";
    bench::CopyFileOrFail(bench::BinPath("Velqar.exe"), other);
    ASSERT_TRUE(MoveFileExA(other.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

    // The same installation and removal without a window: each leaves
    // exactly what the wizard and the prompt left, and ends with 3010.
    SilentRun install = RunSilently(Medium("Install.exe"), "/S");
    EXPECT_EQ(install.exitCode, 3010u);
    EXPECT_EQ(install.window, "");
    ExpectOneLog(install, "/S");
    ASSERT_FALSE(install.logs.empty());
    EXPECT_TRUE(HasLogLine(install.logs[0], "No shortcuts: " + startMenu + " is not a folder of ours"));
    ASSERT_FALSE(install.trace.empty());
    EXPECT_EQ(install.trace.back(), Traced(kInstallRestartQuestionText));
    EXPECT_EQ(ProductDiff(installed, Snapshot()), std::vector<std::string>{});
    EXPECT_TRUE(ProcessesOf(Installed("ZentaroxUsb.exe")).empty()) << "the calibration program was started";
    // The removal left its Install.exe and folder for the restart to delete;
    // the installation since then is kept whole, and another program's
    // deletion still happens.
    RestartWindows();
    EXPECT_EQ(ProductDiff(installed, Snapshot()), std::vector<std::string>{});
    EXPECT_FALSE(bench::FileExists(other));

    std::string program, arguments;
    ASSERT_TRUE(SplitQuotedCommand(
        bench::ReadValue(HKLM, kRegistrationKey, "QuietUninstallString").AsString(), &program, &arguments));
    SilentRun quietRemoval = RunSilently(program, arguments);
    EXPECT_EQ(quietRemoval.exitCode, 3010u);
    EXPECT_EQ(quietRemoval.window, "");
    ExpectOneLog(quietRemoval, "/u /S");
    EXPECT_EQ(quietRemoval.trace, (std::vector<std::string>{
        Traced(kUninstallQuestionText), Traced(kUninstallRestartQuestionText)}));
    EXPECT_EQ(ProductDiff(removed, Snapshot()), std::vector<std::string>{});
    EXPECT_FALSE(RestartWillTouch(startMenu));
    // While the product is listed, its removal can start: nothing of the
    // installation folder goes before the registration.
    ASSERT_FALSE(quietRemoval.logs.empty());
    const std::vector<std::string> &lines = quietRemoval.logs[0].lines;
    auto key = std::find_if(lines.begin(), lines.end(), [](const std::string &line) {
        return line.find("The registration (Tessivar) is gone") != std::string::npos;
    });
    ASSERT_NE(key, lines.end());
    for (auto line = lines.begin(); line != key; ++line)
        EXPECT_FALSE(line->find("Delete") != std::string::npos && line->find(InstallDir() + "\\") != std::string::npos)
            << *line;
    EXPECT_TRUE(std::any_of(key, lines.end(), [](const std::string &line) {
        return line.find("Deleted " + Installed("Kaplet.exe")) != std::string::npos;
    }));
}

// A removal that stops says why and leaves the product listed, so the user
// can remove it once the cause is mended: first a driver installer that is
// missing, then one that reports failure, then one that crashes, then a
// registration that Windows refuses to delete (the fault seam's access
// denied), after which the removal goes no further.
TEST(Uninstall, RemovalThatStopsSaysWhyAndLeavesTheProductRemovable)
{
    InstallThroughWizard();
    std::string driverInstaller = bench::ReadFileText(Installed("Velqar.exe"));
    DeleteFileA(Installed("Velqar.exe").c_str());
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "DoNothing", 1);
    // Each also silently, in the same state: the box's text in the trace,
    // the start's error as the exit code, 1603 for a driver installer that
    // ran and failed, and nothing changed.
    struct Stop {
        DWORD driverExitCode;
        const char *caption;
        std::string text;
        DWORD silentExitCode;
        std::vector<std::string> silentTrace;
        const char *fault = nullptr;
    } stops[] = {
        {0, kUninstallCaption, StepFailureText(kDriverStepFailedText, 2, 9), ERROR_FILE_NOT_FOUND,
         {"Start driver installer fail(2)\n", Traced(StepFailureText(kDriverStepFailedText, 2, 9))}},
        {2, kSetupCaption, kRemoveFailedText, 1603, {Traced(kRemoveFailedText)}},
        {0xC0000005, kSetupCaption, kRemoveFailedText, 1603, {Traced(kRemoveFailedText)}},
        {0, kUninstallCaption, StepFailureText(kRemovalIncompleteText, 5, 9), ERROR_ACCESS_DENIED,
         {Traced(StepFailureText(kRemovalIncompleteText, 5, 9))}, "RegDeleteKeyA =Tessivar 5"},
    };
    SetEnvironmentVariableA("ZX_SEAM_FAIL", nullptr);
    auto seam = [](const Stop &stop) {
        SetEnvironmentVariableA("ZX_SEAM_FAIL", stop.fault);
        if (stop.fault)
            bench::InjectIntoNextStart(bench::BinDir() + "\\faultseam.dll");
    };
    for (const auto &stop : stops) {
        bench::WriteDword(HKLM, "Software\\VelqarStandIn", "UninstallExitCode", stop.driverExitCode);
        bench::Program *removal;
        seam(stop);
        AnswerBox(StartRemoval(&removal), IDYES);
        bench::MessageBoxInfo box = WaitForBox(bench::ProgramId(removal));
        EXPECT_OK_BOX(box, stop.caption, stop.text, true);
        EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz(Installed("Install.exe") + " /u")));
        EXPECT_TRUE(bench::FileExists(Installed("Kaplet.exe")));
        // Past the driver installer, the driver's keys are gone; its
        // installer is still there for the registered removal.
        EXPECT_TRUE(stop.fault ? bench::FileExists(Installed("Velqar.exe")) : HasDefaultParameters());
        AnswerBox(box, IDOK);
        // No restart question: the program just ends.
        DWORD exitCode = 1;
        EXPECT_TRUE(bench::WaitProgram(removal, bench::kHangGuardMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        bench::EndProgram(removal);

        std::map<std::string, std::string> stopped = Snapshot();
        seam(stop);
        SilentRun silent = RunSilently(Installed("Install.exe"), "/u /S");
        EXPECT_EQ(silent.exitCode, stop.silentExitCode);
        EXPECT_EQ(silent.window, "");
        std::vector<std::string> trace = {Traced(kUninstallQuestionText)};
        trace.insert(trace.end(), stop.silentTrace.begin(), stop.silentTrace.end());
        EXPECT_EQ(silent.trace, trace);
        EXPECT_EQ(ProductDiff(stopped, Snapshot()), std::vector<std::string>{});
        bench::CopyFileOrFail(bench::BinPath("Velqar.exe"), Installed("Velqar.exe"));
    }
    EXPECT_EQ(bench::ReadFileText(Installed("Velqar.exe")), driverInstaller);
}
