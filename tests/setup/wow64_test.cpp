// The x86 setup program on 64-bit Windows, which Wine's WoW64 mode is: the
// installation and the removal both refuse with one box, before anything is
// touched; the version gate still comes first. Run against the x86 medium.
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;

// Install.exe of the medium with args, its first box answered OK: the box, the
// exit code and the debugger output.
static DWORD RunToFirstBox(const char *args, bench::MessageBoxInfo *box, std::vector<std::string> *trace)
{
    bench::Program *setup = bench::StartProgram(Medium("Install.exe"), args);
    *box = bench::WaitForMessageBox(bench::ProgramId(setup), bench::kHangGuardMs);
    if (box->window)
        AnswerBox(*box, IDOK);
    DWORD exitCode = 0xFFFFFFFF;
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode)) << "still running after its box";
    *trace = bench::DebugOutput(setup);
    bench::EndProgram(setup);
    return exitCode;
}

TEST(SetupOnWow64, X86SetupRefusesInstallationAndRemovalAndTouchesNothing)
{
    PrepareMedium(kMedium);
    // The folder an installation from the x64 medium left, for a removal to find.
    CreateDirectoryA(InstallDir().c_str(), nullptr);
    for (const std::string &file : ProductFiles())
        bench::CopyFileOrFail(Medium(file), Installed(file));
    std::map<std::string, std::string> before = Snapshot();

    bench::MessageBoxInfo box;
    std::vector<std::string> trace;
    for (const char *args : {"", "/u"}) {
        SCOPED_TRACE(std::string("arguments \"") + args + "\"");
        EXPECT_EQ(RunToFirstBox(args, &box, &trace), 0u);
        EXPECT_OK_BOX(box, kSetupCaption, kWrongMachineText, true);
        EXPECT_EQ(trace, std::vector<std::string>{});
    }
    // A silent run shows nothing and says why in its exit code and trace.
    for (const char *args : {"/S", "/u /S"}) {
        SilentRun run = RunSilently(Medium("Install.exe"), args);
        EXPECT_EQ(run.exitCode, (DWORD)ERROR_EXE_MACHINE_TYPE_MISMATCH) << args;
        EXPECT_EQ(run.window, "") << args;
        EXPECT_EQ(run.trace, std::vector<std::string>{Traced(kWrongMachineText)}) << args;
    }
    EXPECT_EQ(SnapshotDiff(before, Snapshot()), std::vector<std::string>{});
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log")) << "the driver installer was started";

    // An unsupported Windows hears only that.
    bench::SetProgramVersion("Install.exe", "win95");
    EXPECT_EQ(RunToFirstBox("/u", &box, &trace), 0u);
    EXPECT_OK_BOX(box, kSetupCaption, kUnsupportedWindowsText, true);
}
