// Runs one calibration of ZentaroxUsb.exe for scripts/demo.sh, inside the
// throwaway Wine prefix that winerun gives it:
//
//   calibration_demo OUTDIR            headless: a real pointer click on each
//                                      cross, a screenshot of every screen
//                                      into OUTDIR, then "OK"
//   calibration_demo OUTDIR interactive  on the user's display: the user
//                                      clicks (or touches) the crosses
//
// Either way the simulated controller is running with the driver's
// Parameters key installed, and hands out one plausible raw reading per
// touch; at the end the stored values are printed.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "benchlib.h"

static const char *const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
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

static size_t RequestCount(DWORD code)
{
    size_t n = 0;
    for (const bench::SimRequest &r : bench::ReadSimLog())
        if (r.code == code)
            n++;
    return n;
}

static bool WaitFor(DWORD code, size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (RequestCount(code) < count) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        bench::Pause(20);
    }
    return true;
}

static void Screenshot(const std::string &dir, const char *name)
{
    bench::Pause(400);   // the repaint after the touch
    std::string path = dir + "\\" + name + ".bmp";
    bench::CaptureScreen().SaveBmp(path);
    printf("  screenshot %s.bmp\n", name);
}

static void PrintStoredValues()
{
    printf("\nStored under HKLM\\%s:\n", bench::kParametersKey);
    for (const char *name : kNames) {
        bench::RegValue v = bench::ReadValue(HKEY_LOCAL_MACHINE, bench::kParametersKey, name);
        if (!v.exists)
            printf("  %-19s (missing)\n", name);
        else if (v.type == REG_DWORD && v.data.size() == 4)
            printf("  %-19s REG_DWORD %lu\n", name, (unsigned long)v.AsDword());
        else
            printf("  %-19s type %lu, %zu bytes\n", name, (unsigned long)v.type, v.data.size());
    }
    printf("Run value \"ZentaroxUsb\": %s\n",
           bench::ReadValue(HKEY_CURRENT_USER, kRunKey, "ZentaroxUsb").exists ? "still there" : "removed");
}

static void PrintDriverRequests()
{
    printf("\nRequests the simulated controller received:\n");
    for (const bench::SimRequest &r : bench::ReadSimLog()) {
        if (r.code == 0x222004)
            printf("  IOCTL_TOUCH_GET_XY             -> x %lu, y %lu\n", (unsigned long)(r.out >> 16),
                   (unsigned long)(r.out & 0xFFFF));
        else if (r.code == 0x222008) {
            printf("  IOCTL_TOUCH_UPDATE_PARAMETERS  (values seen:");
            for (int i = 0; i < 11; i++)
                printf(" %lld", (long long)r.params[i]);
            printf(")\n");
        } else
            printf("  code %08lX\n", (unsigned long)r.code);
    }
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: calibration_demo OUTDIR [interactive]\n");
        return 2;
    }
    std::string outDir = argv[1];
    bool interactive = argc > 2 && strcmp(argv[2], "interactive") == 0;
    setvbuf(stdout, nullptr, _IONBF, 0);

    // As after an installation: controller running, its default parameters,
    // and the calibration program due to start at logon.
    bench::InstallTouchSim();
    bench::InstallDefaultParameters();
    bench::WriteString(HKEY_CURRENT_USER, kRunKey, "ZentaroxUsb", "C:\\windows\\ZentaroxUsb\\ZentaroxUsb.exe");
    bench::SetTouchWords(std::vector<DWORD>(kReadings, kReadings + 4));

    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    printf("Display %d x %d. Starting ZentaroxUsb.exe.\n", width, height);
    bench::Program *program = bench::StartProgram(bench::BinPath("ZentaroxUsb.exe"));
    HWND window = bench::WaitForWindow(bench::ProgramId(program), "Aling", 20000);
    if (!window) {
        printf("The calibration window did not open.\n");
        bench::EndProgram(program);
        return 1;
    }

    DWORD exitCode = 0xFFFFFFFF;
    if (interactive) {
        printf("Touch (click) the centre of each cross, then press \"OK\" on the check screen.\n"
               "Escape or Space cancels; after 30 seconds the program gives up by itself.\n");
        bench::WaitProgram(program, INFINITE, &exitCode);
    } else {
        for (int step = 1; step <= 4; step++) {
            char name[64];
            wsprintfA(name, "%d-target-%s", step, kCorners[step - 1]);
            Screenshot(outDir, name);
            // The targets' centres: 102/2048 and 1945/2048 of the display.
            int x = (step % 2 ? 102 : 1945) * width / 2048;
            int y = (step <= 2 ? 102 : 1945) * height / 2048;
            bench::ClickAt(x, y);
            if (!WaitFor(0x222004, step, 5000))
                printf("  (no reading was asked for)\n");
            DWORD word = kReadings[step - 1];
            printf("Touch %d, %s cross at (%d, %d): controller reads x %lu, y %lu\n", step, kCorners[step - 1],
                   x, y, (unsigned long)(word >> 16), (unsigned long)(word & 0xFFFF));
        }
        if (!WaitFor(0x222008, 1, 5000))
            printf("  (the driver was not told to reload)\n");
        Screenshot(outDir, "5-check-screen");
        printf("Pressing \"OK\".\n");
        bench::ClickAt(width / 2 - 105 + 50, height / 2 - 30 + 25);
        if (!bench::WaitProgram(program, 15000, &exitCode))
            printf("The program did not end.\n");
    }
    printf("ZentaroxUsb.exe ended with exit code %ld.\n", (long)exitCode);

    printf("\nIts trace lines:\n");
    for (const std::string &line : bench::DebugOutput(program))
        printf("  %s", line.c_str());
    bench::EndProgram(program);
    PrintDriverRequests();
    PrintStoredValues();
    return 0;
}
