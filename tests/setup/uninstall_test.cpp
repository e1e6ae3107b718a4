// Removal with "/u" from the installed copy, after an installation through
// the wizard: the prompt, what goes and what stays (shown as a difference of
// the registry and the disk against before the installation), the exact
// argument test, a driver installer that refuses, and an unsupported system;
// each also as a silent run, which must leave the same and show nothing.
#include <algorithm>
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;



// Installs through the wizard and closes it as a user who declines the
// restart and then closes the calibration program would.
static void InstallThroughWizard()
{
    PrepareMedium(kMedium);
    bench::Program *setup = bench::StartProgram(std::string(kMedium) + "\\Install.exe");
    HWND progress = RunWizardToFinish(setup);
    ASSERT_TRUE(progress);
    ClickControl(progress, 1003);
    AnswerBox(WaitForBox(bench::ProgramId(setup)), IDNO);
    ASSERT_TRUE(bench::WaitProgram(setup, 15000, nullptr));
    bench::EndProgram(setup);
    std::string calibration = Installed("ZentaroxUsb.exe");
    bench::WaitUntil([&] { return !ProcessesOf(calibration).empty(); }, 5000);
    EndProcesses(calibration);
}

static bench::MessageBoxInfo StartRemoval(bench::Program **removal, const std::string &args = "/u")
{
    *removal = bench::StartProgram(Installed("Install.exe"), args);
    return WaitForBox(bench::ProgramId(*removal));
}

TEST(Uninstall, RemovesWhatTheInstallationAddedAndKeepsWhatMustStay)
{
    std::map<std::string, std::string> before = Snapshot();
    InstallThroughWizard();

    // Only "/u" exactly asks for removal, and only "/S" and "/u /S" for a
    // silent run; anything else opens the wizard.
    for (const char *args : {"/U", "/u ", "/s", "/S ", "/u /s", "/u  /S"}) {
        bench::Program *setup = bench::StartProgram(Installed("Install.exe"), args);
        HWND welcome = WaitForPage(bench::ProgramId(setup), kWelcomeCaption);
        EXPECT_TRUE(welcome) << "no wizard for \"" << args << "\"";
        if (welcome)
            ClickControl(welcome, IDCANCEL);
        EXPECT_TRUE(bench::WaitProgram(setup, 5000, nullptr));
        bench::EndProgram(setup);
    }

    // No to the prompt changes nothing.
    bench::Program *removal;
    bench::MessageBoxInfo prompt = StartRemoval(&removal);
    EXPECT_EQ(prompt.caption, kUninstallCaption);
    EXPECT_EQ(prompt.text, "Are you sure to uninstall Zentarox USB Touchscreen?");
    EXPECT_EQ(prompt.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(prompt.hasIcon);
    std::map<std::string, std::string> installed = Snapshot();
    AnswerBox(prompt, IDNO);
    EXPECT_TRUE(bench::WaitProgram(removal, 5000, nullptr));
    bench::EndProgram(removal);
    EXPECT_EQ(SnapshotDiff(installed, Snapshot()), std::vector<std::string>{});

    AnswerBox(StartRemoval(&removal), IDYES);
    bench::MessageBoxInfo restart = WaitForBox(bench::ProgramId(removal), 30000);
    EXPECT_EQ(restart.caption, kUninstallCaption);
    EXPECT_EQ(restart.text, "To make the uninstallation valid,you must restart your computer.\nRestart now?");
    EXPECT_TRUE(bench::ReadFileText("C:\\velqar.log").find("uninstall 9 delete\t") != std::string::npos);
    AnswerBox(restart, IDNO);
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(removal, 5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    bench::EndProgram(removal);

    // What stays: the double-click settings and the running Install.exe with
    // its folder.
    std::string windows = bench::WindowsDir();
    std::vector<std::string> stays = {
        "+ HKLM\\Control Panel",
        "+ HKLM\\Control Panel\\Mouse",
        "+ HKLM\\Control Panel\\Mouse :DoubleClickHeight",
        "+ HKLM\\Control Panel\\Mouse :DoubleClickSpeed",
        "+ HKLM\\Control Panel\\Mouse :DoubleClickWidth",
        "+ " + windows + "\\ZentaroxUSB",
        "+ " + windows + "\\ZentaroxUSB\\Install.exe",
    };
    std::map<std::string, std::string> removed = Snapshot();
    std::sort(stays.begin(), stays.end());
    EXPECT_EQ(ProductDiff(before, removed), stays);
    EXPECT_FALSE(RunValue().exists);

    // The same installation and removal without a window: each leaves
    // exactly what the wizard and the prompt left, and ends with 3010.
    SilentRun install = RunSilently(std::string(kMedium) + "\\Install.exe", "/S");
    EXPECT_EQ(install.exitCode, 3010u);
    EXPECT_EQ(install.window, "");
    ASSERT_FALSE(install.trace.empty());
    EXPECT_EQ(install.trace.back(),
              "To make the installation vaild,you must pull out and pull the Zentarox controller,"
              "or restart your computer,\nrestart now?\n");
    EXPECT_EQ(ProductDiff(installed, Snapshot()), std::vector<std::string>{});
    EXPECT_TRUE(ProcessesOf(Installed("ZentaroxUsb.exe")).empty()) << "the calibration program was started";

    std::string program, arguments;
    ASSERT_TRUE(SplitQuotedCommand(
        bench::ReadValue(HKLM, kRegistrationKey, "QuietUninstallString").AsString(), &program, &arguments));
    SilentRun quietRemoval = RunSilently(program, arguments);
    EXPECT_EQ(quietRemoval.exitCode, 3010u);
    EXPECT_EQ(quietRemoval.window, "");
    EXPECT_EQ(quietRemoval.trace, (std::vector<std::string>{
        "Are you sure to uninstall Zentarox USB Touchscreen?\n",
        "To make the uninstallation valid,you must restart your computer.\nRestart now?\n"}));
    EXPECT_EQ(ProductDiff(removed, Snapshot()), std::vector<std::string>{});
}

TEST(Uninstall, DriverInstallerExitCode2StopsAfterTheRegistrationIsGone)
{
    InstallThroughWizard();
    // A driver installer that fails has removed nothing.
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "UninstallExitCode", 2);
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "DoNothing", 1);
    bench::Program *removal;
    AnswerBox(StartRemoval(&removal), IDYES);
    bench::MessageBoxInfo box = WaitForBox(bench::ProgramId(removal), 30000);
    EXPECT_OK_BOX(box, kSetupCaption, "Remove failure,please insert the usb interface", true);
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
    EXPECT_TRUE(bench::FileExists(Installed("Kaplet.exe")));
    EXPECT_TRUE(HasDefaultParameters());
    AnswerBox(box, IDOK);
    // No restart question: the program just ends.
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(removal, 5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    bench::EndProgram(removal);

    // Silently: the box's text in the trace, and a failure with no Windows
    // error behind it.
    std::map<std::string, std::string> failed = Snapshot();
    SilentRun silent = RunSilently(Installed("Install.exe"), "/u /S");
    EXPECT_EQ(silent.exitCode, 1603u);
    EXPECT_EQ(silent.window, "");
    EXPECT_EQ(silent.trace, (std::vector<std::string>{"Are you sure to uninstall Zentarox USB Touchscreen?\n",
                                                      "Remove failure,please insert the usb interface\n"}));
    EXPECT_EQ(ProductDiff(failed, Snapshot()), std::vector<std::string>{});
}

TEST(Uninstall, UnsupportedWindowsIsRefusedOnBothPaths)
{
    PrepareMedium(kMedium);
    bench::SetProgramVersion("Install.exe", "win95");
    for (const char *args : {"", "/u"}) {
        bench::Program *setup = bench::StartProgram(std::string(kMedium) + "\\Install.exe", args);
        bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(setup), 10000);
        EXPECT_OK_BOX(box, kSetupCaption, "NOT SUPPORT OS!", true);
        AnswerBox(box, IDOK);
        DWORD exitCode = 1;
        EXPECT_TRUE(bench::WaitProgram(setup, 5000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        bench::EndProgram(setup);
    }
    for (const char *args : {"/S", "/u /S"}) {
        SilentRun silent = RunSilently(std::string(kMedium) + "\\Install.exe", args);
        EXPECT_EQ(silent.exitCode, (DWORD)ERROR_OLD_WIN_VERSION) << args;
        EXPECT_EQ(silent.window, "") << args;
        EXPECT_EQ(silent.trace, std::vector<std::string>{"NOT SUPPORT OS!\n"}) << args;
    }
    EXPECT_FALSE(bench::FileExists(InstallDir()));
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log"));
}
