// Benchmark of the setup program under Wine with the stand-ins: wall time
// from starting Install.exe to an enabled Finish button (Next pressed as
// soon as the welcome page shows), and of a whole removal from starting
// "Install.exe /u" (Yes pressed at once) to the restart question, each next
// to the fixed timer waits of the installation. Prints figures; passes or
// fails nothing.
#include <cstdio>
#include "installbench.h"

using namespace setupbench;

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

int main()
{
    const int rounds = 5;
    PrepareMedium("C:\\medium");
    printf("Install.exe under Wine, %d rounds; fixed timer waits 300 ms + 3 x 100 ms = 0.600 s\n", rounds);
    for (int round = 1; round <= rounds; round++) {
        LARGE_INTEGER start, finish, removalStart, removalEnd;
        QueryPerformanceCounter(&start);
        bench::Program *setup = bench::StartProgram("C:\\medium\\Install.exe");
        DWORD pid = bench::ProgramId(setup);
        HWND welcome = WaitForPage(pid, kWelcomeCaption);
        PostMessageA(welcome, WM_COMMAND, kNextButton, 0);
        HWND progress = WaitForPage(pid, kProgressCaption);
        while (!Enabled(progress, kFinishButton))
            Sleep(1);
        QueryPerformanceCounter(&finish);
        PostMessageA(progress, WM_COMMAND, kFinishButton, 0);
        AnswerBox(WaitForBox(pid), IDNO);
        bench::WaitProgram(setup, 10000, nullptr);
        bench::EndProgram(setup);
        EndProcesses(InstallDir() + "\\ZentaroxUsb.exe");

        QueryPerformanceCounter(&removalStart);
        bench::Program *removal = bench::StartProgram(InstallDir() + "\\Install.exe", "/u");
        pid = bench::ProgramId(removal);
        bench::AnswerMessageBox(WaitForBox(pid), IDYES);
        bench::MessageBoxInfo restart;
        do
            restart = WaitForBox(pid);
        while (restart.text.find("uninstallation") == std::string::npos);
        QueryPerformanceCounter(&removalEnd);
        AnswerBox(restart, IDNO);
        bench::WaitProgram(removal, 10000, nullptr);
        bench::EndProgram(removal);
        printf("round %d: start to enabled Finish %.3f s; whole removal %.3f s\n", round,
               Seconds(start, finish), Seconds(removalStart, removalEnd));
        fflush(stdout);
    }
    return 0;
}
