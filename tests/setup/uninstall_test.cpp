// Removal with "/u" from the installed copy, after an installation through
// the wizard: the prompt, what goes and what stays (shown as a difference of
// the registry and the disk against before the installation), the exact
// argument test, a driver installer that refuses, and an unsupported system.
#include <algorithm>
#include <cstring>
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
    std::map<std::string, std::string> before = Snapshot();
    InstallThroughWizard();

    // Only "/u" exactly asks for removal; anything else opens the wizard.
    for (const char *args : {"/U", "/u "}) {
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
    std::vector<std::string> diff = SnapshotDiff(before, Snapshot());
    std::vector<std::string> ours;
    for (const std::string &line : diff)
        // The medium and the stand-ins' logs are the test's own.
        if (line.compare(2, strlen(kMedium), kMedium) != 0 && line.find(".log") == std::string::npos)
            ours.push_back(line);
    std::sort(ours.begin(), ours.end());
    std::sort(stays.begin(), stays.end());
    EXPECT_EQ(ours, stays);
    EXPECT_FALSE(RunValue().exists);
}

// A removal that stops says why and leaves the product listed, so the user
// can remove it once the cause is mended: first a driver installer that is
// missing, then one that reports failure.
TEST(Uninstall, RemovalThatStopsSaysWhyAndLeavesTheProductRemovable)
{
    InstallThroughWizard();
    std::string driverInstaller = bench::ReadFileText(Installed("Velqar.exe"));
    DeleteFileA(Installed("Velqar.exe").c_str());
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "UninstallExitCode", 2);
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "DoNothing", 1);
    struct { const char *caption, *text; } stops[] = {
        {kUninstallCaption, "Setup driver fail(2:9)."},
        {kSetupCaption, "Remove failure,please insert the usb interface"},
    };
    for (const auto &stop : stops) {
        bench::Program *removal;
        AnswerBox(StartRemoval(&removal), IDYES);
        bench::MessageBoxInfo box = WaitForBox(bench::ProgramId(removal), 30000);
        EXPECT_OK_BOX(box, stop.caption, stop.text, true);
        EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz(Installed("Install.exe") + " /u")));
        EXPECT_TRUE(bench::FileExists(Installed("Kaplet.exe")));
        EXPECT_TRUE(HasDefaultParameters());
        AnswerBox(box, IDOK);
        // No restart question: the program just ends.
        DWORD exitCode = 1;
        EXPECT_TRUE(bench::WaitProgram(removal, 5000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        bench::EndProgram(removal);
        bench::CopyFileOrFail(bench::BinPath("Velqar.exe"), Installed("Velqar.exe"));
    }
    EXPECT_EQ(bench::ReadFileText(Installed("Velqar.exe")), driverInstaller);
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
    EXPECT_FALSE(bench::FileExists(InstallDir()));
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log"));
}
