// The fault sweep's driver (scripts/fault-sweep.sh): one of Install.exe's
// silent roads with faultseam.dll loaded into the program. With
// ZX_FAULT_ROAD=<road> it counts the calls of each function the seam knows
// (lines "SEAM-COUNT <road> <Function> <n>" and "SEAM-BOUND <road> <Function>
// import|lookup|unbound"); with ZX_FAULT_POINT="<road> <Function> <N or =text>
// <error>" that call fails and the run is judged:
//   a. no crash, no hang, no window;
//   b. a success exit code only with the whole result (after the restart);
//      a shortcut or double-click value missing only with the log naming the
//      failed call;
//   c. after a failure exit code, a machine that setup run again (the
//      registered removal, on the removal road) brings to the whole result;
//   d. a repair never loses the calibration or the settings;
//   e. after a failure exit code, the log names the failed call (its argument
//      and error) and ends with the exit code; not for the log's own calls.
// Each judgement that fails prints "SEAM-VERDICT <letter>: <reason>".
// The roads: install (/S on a fresh machine), repair (/S over a calibrated
// installation with one setting changed, while the driver is loaded, so that
// files in use are replaced at the restart) and removal (the registered quiet
// removal).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <regex>
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;

// The calibration, and one setting (BeepMode) changed, as the repair finds them.
static const std::map<std::string, DWORD> kCalibrated = {
    {"TopLeftOffsetX", 3901}, {"TopLeftOffsetY", 3902}, {"TopRightOffsetX", 203}, {"TopRightOffsetY", 3904},
    {"BottomLeftOffsetX", 3905}, {"BottomLeftOffsetY", 206}, {"BottomRightOffsetX", 207},
    {"BottomRightOffsetY", 208}, {"ScreenWidth", 1024}, {"ScreenHigh", 768}, {"Calibration4Pt", 1}, {"BeepMode", 0}};

struct Road {
    std::string name, exe, args;
    std::map<std::string, std::string> before;   // the machine before the road's first installation
};

// The call that the seam made fail.
struct Fault {
    bool happened = false;
    std::string function, argument;
    long call = 0;
    DWORD error = 0;
};

static std::string Lower(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

static void Verdict(bool holds, const std::string &judgement)
{
    if (holds)
        return;
    std::string line = judgement.substr(0, 400);
    for (char &c : line)
        c = isprint((unsigned char)c) ? c : ' ';
    printf("SEAM-VERDICT %s\n", line.c_str());
    fflush(stdout);
    ADD_FAILURE() << line;
}

static Road PrepareRoad(const std::string &name)
{
    PrepareMedium(kMedium);
    Road road = {name, Medium("Install.exe"), "/S", Snapshot()};
    if (name != "install" && name != "repair" && name != "removal")
        ADD_FAILURE() << "no road " << name;
    if (name == "install")
        return road;
    EXPECT_EQ(RunSilently(road.exe, "/S").exitCode, 3010u) << "the road's first installation";
    if (name == "repair") {
        // What the calibration program's OK leaves, and the user's setting.
        for (const auto &value : kCalibrated)
            bench::WriteDword(HKLM, kParamsKey, value.first, value.second);
        bench::DeleteValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ZentaroxUsb");
    } else {
        EXPECT_TRUE(SplitQuotedCommand(bench::ReadValue(HKLM, kRegistrationKey, "QuietUninstallString").AsString(),
                                       &road.exe, &road.args));
    }
    return road;
}

// The road's run with the seam, failing as fault says ("" only counts).
static SilentRun RunWithSeam(const Road &road, const std::string &fault, std::vector<std::string> *report)
{
    const char *runDir = getenv("ZX_RUN_DIR");
    std::string path = std::string(runDir ? runDir : "C:") + "\\seam-report.txt";
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA("ZX_SEAM_REPORT", path.c_str());
    SetEnvironmentVariableA("ZX_SEAM_FAIL", fault.empty() ? nullptr : fault.c_str());
    bench::InjectIntoNextStart(bench::BinDir() + "\\faultseam.dll");
    SilentRun run = RunSilently(road.exe, road.args);
    SetEnvironmentVariableA("ZX_SEAM_REPORT", nullptr);
    SetEnvironmentVariableA("ZX_SEAM_FAIL", nullptr);
    *report = ReadSetupLog(path).lines;
    return run;
}

// What a complete installation lacks, "" for nothing.
static std::string Lacks(bool calibrated)
{
    std::string lacks;
    for (const ::testing::AssertionResult &check :
         {HasInstalledFiles(false), HasProgramsAndFeaturesEntry(bench::WindowsDir(), InstalledKiB()),
          HasParameters(calibrated ? kCalibrated : std::map<std::string, DWORD>{})})
        if (!check)
            lacks += check.message();   // each ends with "; "
    if (!ParametersGrantGuests())
        lacks += "no grant on the parameters' key; ";
    // A kept calibration needs no calibration at the next logon.
    if (RunValue().exists == calibrated)
        lacks += calibrated ? "a Run value; " : "no Run value; ";
    return lacks;
}

// The shortcuts and double-click values missing: failures absorbed by design.
static std::string AbsorbedMissing()
{
    std::string missing;
    for (const char *link : {"Uninstall Zentarox", "Zentarox help", "Calibration", "Right Button", "HandWritting Demo"})
        if (!bench::FileExists(ProgramsFolder(true) + "\\Zentarox USB Touchscreen\\" + link + ".lnk"))
            missing += std::string(link) + ".lnk; ";
    for (const char *value : {"DoubleClickHeight", "DoubleClickWidth", "DoubleClickSpeed"})
        if (!bench::ReadValue(HKLM, kMouseKey, value).exists)
            missing += std::string(value) + "; ";
    return missing;
}

// A line of the log with the failed call's argument and its error, as
// "error N", "(N)" or "0x%08x" of N or of HRESULT_FROM_WIN32(N).
static bool LogNames(const SilentRun &run, const Fault &fault)
{
    char hex[32];
    snprintf(hex, sizeof(hex), "0x%08lx|0x%08lx", fault.error, (DWORD)HRESULT_FROM_WIN32(fault.error));
    std::string n = std::to_string(fault.error);
    std::regex error("(error " + n + "|\\(" + n + "\\)|" + hex + ")([^0-9a-z]|$)", std::regex::icase);
    for (const SetupLogFile &log : run.logs)
        for (const std::string &line : log.lines)
            if (Lower(line).find(Lower(fault.argument)) != std::string::npos && std::regex_search(line, error))
                return true;
    return false;
}

// After a removal and the restart: nothing of the product but what stays by design.
static void ExpectRemoved(const Road &road, const char *judgement)
{
    RestartWindows();
    std::vector<std::string> left = ProductDiff(road.before, Snapshot()), stays = DoubleClickStays();
    std::string more;
    for (const std::string &line : left)
        if (std::find(stays.begin(), stays.end(), line) == stays.end())
            more += line + "; ";
    Verdict(left == stays, judgement + (more.empty() ? "not the double-click settings" : more));
}

// d: the calibration and the changed setting as the user left them.
static void JudgeKept()
{
    std::string lost;
    for (const auto &value : kCalibrated)
        if (bench::ReadValue(HKLM, kParamsKey, value.first).AsDword() != value.second)
            lost += value.first + " ";
    Verdict(lost.empty(), "d: lost " + lost);
}

static void JudgeSuccess(const Road &road, const SilentRun &run, const Fault &fault)
{
    if (road.name == "removal")
        return ExpectRemoved(road, "b: success, but left: ");
    RestartWindows();
    bool repair = road.name == "repair";
    std::string lacks = Lacks(repair), missing = AbsorbedMissing();
    Verdict(lacks.empty(), "b: success, but lacks " + lacks);
    Verdict(missing.empty() || LogNames(run, fault), "b: success, " + missing + "missing, and the log does not say why");
    if (repair)
        JudgeKept();
}

static void JudgeFailure(const Road &road)
{
    if (road.name == "removal") {
        if (bench::ReadValue(HKLM, kRegistrationKey, "DisplayName").exists) {
            Verdict(bench::FileExists(Installed("Install.exe")) && bench::FileExists(Installed("Velqar.exe")),
                    "c: listed without its Install.exe and Velqar.exe");
            std::string program, arguments;
            SplitQuotedCommand(bench::ReadValue(HKLM, kRegistrationKey, "QuietUninstallString").AsString(),
                               &program, &arguments);
            DWORD again = RunSilently(program, arguments).exitCode;
            Verdict(again == 3010, "c: the registered removal run again ended with " + std::to_string(again));
        }
        return ExpectRemoved(road, "c: left after the failed removal: ");
    }
    bool repair = road.name == "repair";
    if (repair)
        JudgeKept();
    // What the failed run left must also survive the restart.
    RestartWindows();
    if (!repair || !Lacks(true).empty()) {
        DWORD again = RunSilently(Medium("Install.exe"), "/S").exitCode;
        Verdict(again == 3010, "c: setup run again ended with " + std::to_string(again));
        RestartWindows();
        std::string lacks = Lacks(repair);
        Verdict(lacks.empty(), "c: setup run again lacks " + lacks);
    }
}

static void Judge(const Road &road, const SilentRun &run, const Fault &fault)
{
    DWORD code = run.exitCode;
    bool crashed = (code & 0xF0000000) == 0xC0000000 || code == 0x80000003;
    bool hung = run.window.empty() && code == 0xFFFFFFFF;
    Verdict(run.window.empty(), "a: showed " + run.window);
    Verdict(!hung, "a: still running after the guard");
    Verdict(!crashed, "a: crashed with " + std::to_string(code));
    if (code == 0 || code == 3010)
        return JudgeSuccess(road, run, fault);
    // The log's own file and writes: judged by a to d only.
    std::string argument = Lower(fault.argument);
    bool logsOwn = fault.function == "WriteFile"
        || (fault.function == "CreateFileA" && argument.find("zentarox usb touchscreen setup") != std::string::npos
            && argument.find(".log") != std::string::npos);
    if (!logsOwn && !crashed && !hung && run.window.empty()) {
        Verdict(LogNames(run, fault), "e: the log does not name " + fault.function + " " + fault.argument + " error "
                                          + std::to_string(fault.error));
        std::string last = run.logs.empty() || run.logs[0].lines.empty() ? "" : run.logs[0].lines.back();
        Verdict(run.logs.size() == 1 && last.size() > 13 && last.substr(13) == "Exit code " + std::to_string((int)code),
                "e: the log does not end with exit code " + std::to_string((int)code) + ": " + last);
    }
    JudgeFailure(road);
}

TEST(Sweep, Point)
{
    const char *point = getenv("ZX_FAULT_POINT");
    if (!point)
        GTEST_SKIP() << "no ZX_FAULT_POINT";
    std::string text = point;
    size_t blank = text.find(' ');
    ASSERT_NE(blank, std::string::npos) << text;
    Road road = PrepareRoad(text.substr(0, blank));
    std::vector<std::string> report;
    SilentRun run = RunWithSeam(road, text.substr(blank + 1), &report);
    Fault fault;
    for (const std::string &line : report) {
        char function[64] = "";
        int argument = 0;
        if (sscanf(line.c_str(), "failed %63s %ld %lu %n", function, &fault.call, &fault.error, &argument) >= 3)
            fault.happened = true, fault.function = function, fault.argument = line.substr(argument);
    }
    if (!fault.happened)
        return Verdict(false, "seam: the call never came");
    printf("SEAM-FAILED %s %s %ld %lu %s: exit code %lu\n", road.name.c_str(), fault.function.c_str(), fault.call,
           fault.error, fault.argument.c_str(), run.exitCode);
    Judge(road, run, fault);
}

TEST(Sweep, Count)
{
    const char *name = getenv("ZX_FAULT_ROAD");
    if (!name)
        GTEST_SKIP() << "no ZX_FAULT_ROAD";
    Road road = PrepareRoad(name);
    std::vector<std::string> report;
    SilentRun run = RunWithSeam(road, "", &report);
    EXPECT_EQ(run.exitCode, 3010u) << "the road without a fault";
    std::map<std::string, std::string> bound;
    int counted = 0;
    for (const std::string &line : report) {
        char function[64] = "", how[16] = "";
        long calls = 0;
        if (sscanf(line.c_str(), "bound %63s %15s", function, how) == 2)
            bound[function] = how;
        if (sscanf(line.c_str(), "calls %63s %ld", function, &calls) == 2) {
            printf("SEAM-COUNT %s %s %ld\n", name, function, calls);
            printf("SEAM-BOUND %s %s %s\n", name, function, bound.count(function) ? bound[function].c_str() : "unbound");
            counted++;
        }
    }
    EXPECT_GT(counted, 0) << "no counts: Install.exe did not end normally, or the seam was not loaded";
}
