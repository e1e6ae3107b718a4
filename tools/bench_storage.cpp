// Benchmark of SaveCalibrationAndApply under Wine, with the simulated
// controller: the wall time and the registry calls of one save when every
// value reads back at once, and of one in which a value never reads back
// (its write fails, so its wait runs out). Prints figures; judges nothing.
//
//   cmake --build BUILD --target run_bench_calibration_storage
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>
#include "benchlib.h"
#include "regcalls.h"
#include "touchdevice.h"
#include "zentaroxusb.h"

static double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static size_t ReloadRequests()
{
    size_t n = 0;
    for (const bench::SimRequest &r : bench::ReadSimLog())
        if (r.code == bench::kUpdateParametersRequest)
            n++;
    return n;
}

// Runs the save `runs` times and prints the spread of its wall time, then
// the calls of one more, recorded, save.
static void Scenario(const char *title, int runs, const char *failingValue)
{
    int values[CALIBRATION_LOADED_COUNT] = {3000, 150, 61234, 567, 1234, 60001, 65535, 0, 1024, 768};
    std::vector<double> times;
    size_t reloadsBefore = ReloadRequests();
    if (failingValue) {
        // The key holds 768 from the first scenario; the failing write keeps
        // it there while the save expects another height.
        values[CAL_SCREEN_HIGH] = 1080;
        FailWritesOf(failingValue);
    }
    for (int i = 0; i < runs; i++) {
        // New values every time, so every save really changes the key.
        values[0] = 3000 + i;
        double start = NowMs();
        SaveCalibrationAndApply(values);
        times.push_back(NowMs() - start);
    }
    values[0] = 2999;
    StartRecording();
    double start = NowMs();
    SaveCalibrationAndApply(values);
    double recordedMs = NowMs() - start;
    std::vector<RegistryCall> calls = StopRecording();
    FailWritesOf("");
    size_t reloads = ReloadRequests() - reloadsBefore;

    std::sort(times.begin(), times.end());
    printf("\n%s\n", title);
    printf("  wall time of one save, %d runs: min %.2f ms, median %.2f ms, max %.2f ms\n", runs, times.front(),
           times[times.size() / 2], times.back());
    printf("  recorded save: %.2f ms, %d registry calls", recordedMs, CountRegistryCalls(calls));
    std::map<std::string, int> byFunction;
    for (const RegistryCall &c : calls)
        byFunction[c.function]++;
    const char *sep = " (";
    for (const auto &f : byFunction)
        if (f.first != "Sleep") {
            printf("%s%s %d", sep, f.first.c_str(), f.second);
            sep = ", ";
        }
    printf("), %d pauses of 5 ms\n", byFunction["Sleep"]);
    printf("  reload requests: %zu for %d saves\n", reloads, runs + 1);
}

int main()
{
    bench::InstallTouchSim();
    bench::InstallDefaultParameters();
    touchDevice = OpenTouchDevice();
    if (touchDevice == INVALID_HANDLE_VALUE) {
        printf("no simulated controller\n");
        return 1;
    }
    InstallRegistryHooks();
    printf("SaveCalibrationAndApply under %s, simulated controller as \\\\.\\TessivarUsb\n",
           "Wine");
    // A first save warms the registry and the driver path up.
    int warm[CALIBRATION_LOADED_COUNT] = {0};
    SaveCalibrationAndApply(warm);

    Scenario("Every value reads back at once", 50, nullptr);
    Scenario("ScreenHigh never reads back (its write fails)", 10, "ScreenHigh");
    CloseHandle(touchDevice);
    return 0;
}
