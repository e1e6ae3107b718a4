// Installations that stop: a medium without the driver installer, a driver
// installer that reports failure (each also silently, which must clean up
// the same and report through its exit code), and the Cancel buttons of both
// pages.
#include <algorithm>
#include <regex>
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;


static bool HasSecondCopy(const std::string &windowsRelative)
{
    return bench::FileExists(bench::WindowsDir() + "\\" + windowsRelative);
}

// After the failure box: only Finish left, nothing of the copies left, and
// Finish ends the program without a Run value or a question.
static void ExpectCleanedUpAndFinish(bench::Program *setup, HWND progress)
{
    EXPECT_TRUE(bench::WaitUntil([&] { return !bench::FileExists(InstallDir()); })) << "files not removed";
    for (const std::string &copy : SecondCopies(false))
        EXPECT_FALSE(HasSecondCopy(copy)) << copy;
    EXPECT_TRUE(Enabled(progress, kFinishButton));
    EXPECT_FALSE(Enabled(progress, IDCANCEL));
    ClickControl(progress, kFinishButton);
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(RunValue().exists);
}

TEST(InstallFailure, MissingDriverInstallerFailsTheFileStepAndRemovesTheCopies)
{
    PrepareMedium(kMedium, false);
    bench::Program *setup = bench::StartProgram(Medium("Install.exe"));
    DWORD pid = bench::ProgramId(setup);
    HWND progress = OpenProgressPage(pid);
    bench::MessageBoxInfo box = WaitForBox(pid);
    EXPECT_OK_BOX(box, kSetupCaption, StepFailureText(kFileStepFailedText, 2, 9), true);
    // Files 0 to 4 and their second copies were copied before the sixth failed.
    for (size_t i = 0; i < ProductFiles().size(); i++)
        EXPECT_EQ(bench::FileExists(Installed(ProductFiles()[i])), i < 5) << ProductFiles()[i];
    EXPECT_TRUE(HasSecondCopy("inf\\Velqar.inf"));
    for (int label : {kDeviceLabel, kFilesLabel, kShortcutsLabel})
        EXPECT_FALSE(Enabled(progress, label)) << label;
    AnswerBox(box, IDOK);
    ExpectCleanedUpAndFinish(setup, progress);
    bench::EndProgram(setup);

    // Silently: the same clean-up, the box's text in the trace, and the
    // copy's error as the exit code.
    std::map<std::string, std::string> failed = Snapshot();
    SilentRun silent = RunSilently(Medium("Install.exe"), "/S");
    EXPECT_EQ(silent.exitCode, (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(silent.window, "");
    EXPECT_EQ(silent.trace, std::vector<std::string>{Traced(StepFailureText(kFileStepFailedText, 2, 9))});
    EXPECT_EQ(ProductDiff(failed, Snapshot()), std::vector<std::string>{});
    ExpectOneLog(silent, "/S");

    // Once more with files standing at the log's name (the process number
    // and the next seconds): the log takes the name with " 2" instead.
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    std::string command = "\"" + Medium("Install.exe") + "\" /S";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                               &startup, &process));
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    std::string base = std::string(temp) + "Zentarox USB Touchscreen Setup ";
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    for (int second = 0; second < 3; second++) {
        ULARGE_INTEGER at = {{now.dwLowDateTime, now.dwHighDateTime}};
        at.QuadPart += second * 10000000ULL;
        FILETIME utc = {at.LowPart, at.HighPart}, local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&utc, &local);
        FileTimeToSystemTime(&local, &t);
        char name[64];
        wsprintfA(name, "%04u-%02u-%02u %02u-%02u-%02u %lu.log", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, process.dwProcessId);
        bench::CopyFileOrFail(bench::BinPath("ReadMe.txt"), base + name);
    }
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, bench::kHangGuardMs);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, (DWORD)ERROR_FILE_NOT_FOUND);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::vector<std::string> logs = SetupLogPaths();
    auto suffixed = std::find_if(logs.begin(), logs.end(), [&](const std::string &path) {
        return path.find(" " + std::to_string(process.dwProcessId) + " 2.log") != std::string::npos;
    });
    ASSERT_NE(suffixed, logs.end());
    EXPECT_EQ(ReadSetupLog(*suffixed).lines.back().substr(13), "Exit code 2");
}

// Exit code 2, and the status of a crash: the box's first number is the last
// error as the driver installer left it for 2, the exception status for a
// crash; a silent run ends with 1603 for either.
TEST(InstallFailure, DriverInstallerThatFailsOrCrashesFailsAfterTheGrantsAndRemovesTheFiles)
{
    // A driver installer that fails has not started the driver either.
    bench::WriteDword(HKLM, "Software\\VelqarStandIn", "DoNothing", 1);
    PrepareMedium(kMedium);
    bench::SetProgramVersion("Install.exe", "win8");
    for (DWORD driverExitCode : {2u, 0xC0000005u}) {
        bench::WriteDword(HKLM, "Software\\VelqarStandIn", "SetupExitCode", driverExitCode);
        bench::DeleteTree(HKLM, kServiceKey);
        std::string text =
            std::string("Setup driver fail\\(") + (driverExitCode == 2 ? "\\d+" : "-1073741819") + ":10\\)\\.";
        bench::Program *setup = bench::StartProgram(Medium("Install.exe"));
        DWORD pid = bench::ProgramId(setup);
        HWND progress = OpenProgressPage(pid);
        bench::MessageBoxInfo box = WaitForBox(pid);
        EXPECT_TRUE(std::regex_match(box.text, std::regex(text))) << box.text;
        EXPECT_EQ(box.caption, kSetupCaption);
        EXPECT_TRUE(ParametersGrantGuests());
        EXPECT_TRUE(Enabled(progress, kFilesLabel));
        EXPECT_FALSE(Enabled(progress, kDeviceLabel));
        AnswerBox(box, IDOK);
        ExpectCleanedUpAndFinish(setup, progress);
        // What the registry step wrote before the driver installer stays, but
        // a first installation that failed is not listed for removal.
        EXPECT_TRUE(HasDefaultParameters());
        EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
        bench::EndProgram(setup);

        std::map<std::string, std::string> failed = Snapshot();
        SilentRun silent = RunSilently(Medium("Install.exe"), "/S");
        EXPECT_EQ(silent.window, "");
        ASSERT_FALSE(silent.trace.empty());
        EXPECT_TRUE(std::regex_match(silent.trace.back(), std::regex(text + "\n"))) << silent.trace.back();
        EXPECT_EQ(silent.exitCode, 1603u);
        EXPECT_EQ(ProductDiff(failed, Snapshot()), std::vector<std::string>{});
        ASSERT_EQ(silent.logs.size(), 1u);
        EXPECT_TRUE(HasLogLine(silent.logs[0], "End: installing the driver package: failed (result -2), "
                                                   + std::string(driverExitCode == 2 ? "the driver installer ended with exit code 2"
                                                      : "the driver installer ended by a crash, status 0xC0000005")));
    }
}

TEST(InstallCancel, WelcomePageEndsAtOnceAndProgressPageAsksFirst)
{
    PrepareMedium(kMedium);
    std::string exe = Medium("Install.exe");

    // Welcome page: a log-off may end it; Cancel asks nothing and nothing is done.
    bench::Program *setup = bench::StartProgram(exe);
    HWND welcome = WaitForPage(bench::ProgramId(setup), kWelcomeCaption);
    DWORD_PTR agreed = 0;
    EXPECT_TRUE(SendMessageTimeoutA(welcome, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, 0, 5000, &agreed));
    EXPECT_EQ(agreed, 1u);
    ClickControl(welcome, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(bench::FileExists(InstallDir()));
    bench::EndProgram(setup);

    // Answered Yes: the program ends and keeps what it had done. Answered
    // No: the steps go on to the end.
    for (int answer : {IDYES, IDNO}) {
        setup = bench::StartProgram(exe);
        DWORD pid = bench::ProgramId(setup);
        HWND progress = OpenProgressPage(pid);
        ClickControl(progress, IDCANCEL);
        bench::MessageBoxInfo box = WaitForBox(pid);
        EXPECT_EQ(box.caption, kSetupCaption);
        EXPECT_EQ(box.text, kCancelQuestionText);
        bool filesCopied = Enabled(progress, kFilesLabel);
        AnswerBox(box, answer);
        if (answer == IDNO) {
            EXPECT_TRUE(bench::WaitUntil([&] { return Enabled(progress, kFinishButton); }));
            EXPECT_TRUE(Enabled(progress, kShortcutsLabel));
            bench::EndProgram(setup);
            continue;
        }
        EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(bench::FileExists(Installed("ReadMe.txt")), filesCopied);
        bench::EndProgram(setup);
    }
}
