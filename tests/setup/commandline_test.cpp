// The command tail and the version gate, before anything is touched: only
// exact tails choose the removal or a silent run, and an unsupported Windows
// is refused on every road, interactive and silent.
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;

TEST(CommandLine, OnlyExactTailsChooseARoadAndAnUnsupportedWindowsRefusesEveryOne)
{
    PrepareMedium(kMedium);
    // Only "/u" exactly asks for removal, and only "/S" and "/u /S" for a
    // silent run; anything else opens the wizard.
    for (const char *args : {"/U", "/u ", "/s", "/S ", "/u /s", "/u  /S"}) {
        bench::Program *setup = bench::StartProgram(Medium("Install.exe"), args);
        HWND welcome = WaitForPage(bench::ProgramId(setup), kWelcomeCaption);
        EXPECT_TRUE(welcome) << "no wizard for \"" << args << "\"";
        if (welcome)
            ClickControl(welcome, IDCANCEL);
        EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, nullptr));
        bench::EndProgram(setup);
    }

    // An unsupported Windows refuses every road, the removal included, and
    // touches nothing.
    bench::SetProgramVersion("Install.exe", "win95");
    for (const char *args : {"", "/u"}) {
        bench::Program *setup = bench::StartProgram(Medium("Install.exe"), args);
        bench::MessageBoxInfo box = bench::WaitForMessageBox(bench::ProgramId(setup), bench::kHangGuardMs);
        EXPECT_OK_BOX(box, kSetupCaption, kUnsupportedWindowsText, true);
        AnswerBox(box, IDOK);
        DWORD exitCode = 1;
        EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        bench::EndProgram(setup);
    }
    for (const char *args : {"/S", "/u /S"}) {
        SilentRun silent = RunSilently(Medium("Install.exe"), args);
        EXPECT_EQ(silent.exitCode, (DWORD)ERROR_OLD_WIN_VERSION) << args;
        EXPECT_EQ(silent.window, "") << args;
        EXPECT_EQ(silent.trace, std::vector<std::string>{Traced(kUnsupportedWindowsText)}) << args;
        EXPECT_TRUE(silent.logs.empty()) << args;
    }
    EXPECT_FALSE(bench::FileExists(InstallDir()));
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log"));
}
