// Bench steps of the setup program's tests: see installbench.h.
#include "installbench.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <aclapi.h>
#include <algorithm>
#include <cstring>
#include <regex>

namespace setupbench {

const char *const kMedium = "C:\\medium";

std::string Medium(const std::string &file) { return std::string(kMedium) + "\\" + file; }

std::string StepFailureText(const char *format, DWORD error, int osClass)
{
    char text[128];
    wsprintfA(text, format, (int)error, osClass);
    return text;
}

const std::vector<std::string> &ProductFiles()
{
    static const std::vector<std::string> files = {
        "ZentaroxUsb.cpl", "ZentaroxUsb.exe", "Velqar.sys", "Velqar.inf", "ZentaroxUsb.chm",
        "Velqar.exe", "Install.exe", "Write.exe", "Kaplet.exe", "ReadMe.txt"};
    return files;
}

void PrepareMedium(const std::string &dir, bool withDriverInstaller)
{
    CreateDirectoryA(dir.c_str(), nullptr);
    // Our programs from the release folder, the rest from the stand-ins.
    // ZX_MEDIUM names another medium to take them from (a signed one, or
    // the x86 medium in the x86 run).
    const char *medium = getenv("ZX_MEDIUM");
    std::string release = medium && *medium ? std::string(medium) + "\\" : bench::BinDir() + "\\..\\media\\x64\\";
    for (const std::string &file : ProductFiles()) {
        bool ours = file == "Install.exe" || file == "ZentaroxUsb.exe" || file == "Kaplet.exe";
        if (file == "Velqar.exe" && !withDriverInstaller)
            continue;
        bench::CopyFileOrFail(ours ? release + file : bench::BinPath(file), dir + "\\" + file);
    }
}

::testing::AssertionResult HasInstalledFiles(bool win9x)
{
    std::vector<std::pair<std::string, std::string>> copies;   // where, and which file of the medium
    for (const std::string &file : ProductFiles())
        copies.push_back({Installed(file), file});
    std::vector<std::string> second = SecondCopies(win9x);
    for (size_t i = 0; i < second.size(); i++)
        copies.push_back({bench::WindowsDir() + "\\" + second[i], ProductFiles()[i]});
    std::string wrong;
    for (const auto &copy : copies) {
        DWORD attributes = GetFileAttributesA(copy.first.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            wrong += copy.first + " missing; ";
        else if ((attributes & FILE_ATTRIBUTE_READONLY)
                 || bench::ReadFileText(copy.first) != bench::ReadFileText(Medium(copy.second)))
            wrong += copy.first + " read-only or not the medium's; ";
    }
    if (wrong.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong;
}

DWORD InstalledKiB()
{
    size_t bytes = 1023;
    for (const std::string &file : ProductFiles())
        bytes += bench::ReadFileText(Installed(file)).size();
    for (const std::string &copy : SecondCopies(false))
        bytes += bench::ReadFileText(bench::WindowsDir() + "\\" + copy).size();
    return (DWORD)(bytes / 1024);
}

std::vector<std::string> DoubleClickStays()
{
    return {"+ HKLM\\Control Panel", "+ HKLM\\Control Panel\\Mouse", "+ HKLM\\Control Panel\\Mouse :DoubleClickHeight",
            "+ HKLM\\Control Panel\\Mouse :DoubleClickSpeed", "+ HKLM\\Control Panel\\Mouse :DoubleClickWidth"};
}

std::string InstallDir() { return bench::WindowsDir() + "\\ZentaroxUSB"; }
std::string Installed(const std::string &file) { return InstallDir() + "\\" + file; }

std::vector<std::string> SecondCopies(bool win9x)
{
    std::string system = win9x ? "System\\" : "System32\\";
    return {system + "ZentaroxUsb.cpl", system + "ZentaroxUsb.exe", "System32\\Drivers\\Velqar.sys",
            "inf\\Velqar.inf"};
}

bench::RegValue RunValue()
{
    return bench::ReadValue(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "ZentaroxUsb");
}

struct PageSearch {
    DWORD processId;
    const char *caption;   // null: any dialog that is no wizard page
    HWND found;
};

static BOOL CALLBACK MatchPage(HWND window, LPARAM param)
{
    PageSearch *search = (PageSearch *)param;
    DWORD pid = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, cls, sizeof(cls));
    if (pid != search->processId || !IsWindowVisible(window) || strcmp(cls, "#32770") != 0)
        return TRUE;
    std::string caption = bench::WindowText(window);
    bool page = caption == kWelcomeCaption || caption == kProgressCaption;
    if (search->caption ? caption != search->caption : page)
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND WaitForDialog(DWORD processId, const char *caption, DWORD timeoutMs)
{
    PageSearch search = {processId, caption, nullptr};
    bench::WaitUntil([&] {
        EnumWindows(MatchPage, (LPARAM)&search);
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

HWND WaitForPage(DWORD processId, const char *caption, DWORD timeoutMs)
{
    return WaitForDialog(processId, caption, timeoutMs);
}

bench::MessageBoxInfo WaitForBox(DWORD processId, DWORD timeoutMs)
{
    return bench::ReadMessageBox(WaitForDialog(processId, nullptr, timeoutMs));
}

void AnswerBox(const bench::MessageBoxInfo &box, int buttonId)
{
    bench::AnswerMessageBox(box, buttonId);
    EXPECT_TRUE(bench::WaitUntil([&] { return !IsWindow(box.window); })) << "box still open";
}

void ClickControl(HWND dialog, int controlId)
{
    RECT r;
    HWND control = GetDlgItem(dialog, controlId);
    ASSERT_TRUE(control && GetWindowRect(control, &r)) << "no control " << controlId;
    bench::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool Enabled(HWND dialog, int controlId) { return IsWindowEnabled(GetDlgItem(dialog, controlId)) != 0; }

HWND OpenProgressPage(DWORD processId)
{
    HWND welcome = WaitForPage(processId, kWelcomeCaption);
    if (!welcome) {
        ADD_FAILURE() << "no welcome page";
        return nullptr;
    }
    ClickControl(welcome, kNextButton);
    return WaitForPage(processId, kProgressCaption);
}

HWND RunWizardToFinish(bench::Program *program, DWORD timeoutMs, std::vector<int> *labelOrder)
{
    std::vector<int> order;
    DWORD pid = bench::ProgramId(program);
    HWND progress = OpenProgressPage(pid);
    // The steps run 100 ms apart: a 20 ms look sees each label come on.
    auto finished = [&] {
        for (int label : {kDeviceLabel, kFilesLabel, kShortcutsLabel})
            if (Enabled(progress, label) && std::find(order.begin(), order.end(), label) == order.end())
                order.push_back(label);
        return Enabled(progress, kFinishButton);
    };
    if (!progress || !bench::WaitUntil(finished, timeoutMs)) {
        bench::MessageBoxInfo box = WaitForBox(pid, 0);
        ADD_FAILURE() << "Finish never enabled; open box: \"" << box.caption << "\" \"" << box.text << "\"";
        return nullptr;
    }
    if (labelOrder)
        *labelOrder = order;
    return progress;
}

void InstallThroughWizard(const std::string &setupExe, int restartAnswer)
{
    if (setupExe.empty())
        PrepareMedium(kMedium);
    bench::Program *setup = bench::StartProgram(setupExe.empty() ? Medium("Install.exe") : setupExe);
    HWND progress = RunWizardToFinish(setup);
    ASSERT_TRUE(progress);
    ClickControl(progress, kFinishButton);
    AnswerBox(WaitForBox(bench::ProgramId(setup)), restartAnswer);
    ASSERT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, nullptr));
    bench::EndProgram(setup);
    if (restartAnswer != IDNO)
        return;
    std::string calibration = Installed("ZentaroxUsb.exe");
    bench::WaitUntil([&] { return !ProcessesOf(calibration).empty(); });
    EndProcesses(calibration);
}

std::vector<PendingRename> PendingRenames()
{
    bench::RegValue value = bench::ReadValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                             "PendingFileRenameOperations");
    std::vector<std::string> strings;
    std::string current;
    for (BYTE b : value.data) {
        if (b) {
            current += (char)b;
            continue;
        }
        strings.push_back(current);
        current.clear();
    }
    auto plain = [](std::string path) {
        if (!path.empty() && path[0] == '!')
            path.erase(0, 1);
        if (path.compare(0, 4, "\\??\\") == 0)
            path.erase(0, 4);
        return path;
    };
    std::vector<PendingRename> renames;
    // Pairs of strings; the list ends with an empty one.
    for (size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2)
        renames.push_back({plain(strings[i]), plain(strings[i + 1])});
    return renames;
}

bool RestartWillTouch(const std::string &path)
{
    for (const PendingRename &rename : PendingRenames())
        if (_stricmp(rename.source.c_str(), path.c_str()) == 0 || _stricmp(rename.target.c_str(), path.c_str()) == 0)
            return true;
    return false;
}

void RestartWindows()
{
    for (const std::string &file : ProductFiles())
        EndProcesses(Installed(file));
    bench::StopTouchSim();
    // wineboot's restart step runs the pending renames and deletions.
    EXPECT_EQ(bench::RunProgram(bench::WindowsDir() + "\\system32\\wineboot.exe", "-r", 60000), 0u);
}

std::vector<DWORD> ProcessesOf(const std::string &exe)
{
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        char image[MAX_PATH] = "";
        DWORD size = sizeof(image);
        if (process && QueryFullProcessImageNameA(process, 0, image, &size) && _stricmp(image, exe.c_str()) == 0)
            found.push_back(entry.th32ProcessID);
        if (process)
            CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

void EndProcesses(const std::string &exe)
{
    for (DWORD pid : ProcessesOf(exe)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process)
            continue;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

Link ReadLink(const std::string &path)
{
    Link link;
    CoInitialize(nullptr);
    IShellLinkA *shellLink = nullptr;
    IPersistFile *file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void **)&shellLink))
        && SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void **)&file))
        && SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[1024];
        link.exists = true;
        shellLink->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH);
        link.target = text;
        shellLink->GetArguments(text, sizeof(text));
        link.arguments = text;
        shellLink->GetDescription(text, sizeof(text));
        link.description = text;
        shellLink->GetWorkingDirectory(text, sizeof(text));
        link.workingDir = text;
    }
    if (file)
        file->Release();
    if (shellLink)
        shellLink->Release();
    CoUninitialize();
    return link;
}

std::string ProgramsFolder(bool allUsers)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, nullptr, 0, path);
    return path;
}

// --- snapshot -----------------------------------------------------------------------
static void SnapKey(HKEY root, const std::string &rootName, const std::string &path,
                    std::map<std::string, std::string> *out)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::string place = rootName + "\\" + path;
    (*out)[place] = "key";
    char name[512];
    BYTE data[4096];
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        std::string contents = "type " + std::to_string(type) + ":";
        for (DWORD b = 0; b < dataSize; b++)
            contents += " " + std::to_string(data[b]);
        (*out)[place + " :" + name] = contents;
    }
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        SnapKey(root, rootName, path + "\\" + name, out);
    }
    RegCloseKey(key);
}

static void SnapFolder(const std::string &path, bool recurse, std::map<std::string, std::string> *out)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName, place = path + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[place] = "folder";
            if (recurse)
                SnapFolder(place, true, out);
        } else {
            (*out)[place] = "file of " + std::to_string(found.nFileSizeLow) + " bytes";
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::map<std::string, std::string> Snapshot()
{
    std::map<std::string, std::string> out;
    SnapKey(HKEY_LOCAL_MACHINE, "HKLM", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", &out);
    SnapKey(HKEY_LOCAL_MACHINE, "HKLM", "System\\CurrentControlSet\\Services", &out);
    SnapKey(HKEY_LOCAL_MACHINE, "HKLM", "Control Panel", &out);
    SnapKey(HKEY_CURRENT_USER, "HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &out);
    SnapFolder("C:", false, &out);
    SnapFolder(bench::WindowsDir(), true, &out);
    SnapFolder(ProgramsFolder(true), true, &out);
    SnapFolder(ProgramsFolder(false), true, &out);
    return out;
}

std::vector<std::string> SnapshotDiff(const std::map<std::string, std::string> &before,
                                      const std::map<std::string, std::string> &after)
{
    std::vector<std::string> diff;
    for (const auto &entry : after) {
        auto old = before.find(entry.first);
        if (old == before.end())
            diff.push_back("+ " + entry.first);
        else if (old->second != entry.second)
            diff.push_back("~ " + entry.first);
    }
    for (const auto &entry : before)
        if (!after.count(entry.first))
            diff.push_back("- " + entry.first);
    return diff;
}

std::vector<std::string> ProductDiff(const std::map<std::string, std::string> &before,
                                     const std::map<std::string, std::string> &after)
{
    std::vector<std::string> ours;
    for (const std::string &line : SnapshotDiff(before, after))
        if (line.compare(2, strlen(kMedium), kMedium) != 0 && line.find(".log") == std::string::npos)
            ours.push_back(line);
    std::sort(ours.begin(), ours.end());
    return ours;
}

std::vector<std::string> SetupLogPaths()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(temp) + "Zentarox USB Touchscreen Setup *.log").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        paths.push_back(std::string(temp) + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return paths;
}

void ExpectOneLog(const SilentRun &run, const std::string &tail)
{
    ASSERT_EQ(run.logs.size(), 1u) << tail;
    const std::vector<std::string> &lines = run.logs[0].lines;
    std::regex name("\\\\Zentarox USB Touchscreen Setup \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d \\d+\\.log$");
    EXPECT_TRUE(std::regex_search(run.logs[0].path, name)) << run.logs[0].path;
    // Every line starts with the time it was written: a message's line break
    // does not split its line.
    std::string stamp = "\\d\\d:\\d\\d:\\d\\d\\.\\d{3} ";
    for (const std::string &line : lines)
        EXPECT_TRUE(std::regex_search(line, std::regex("^" + stamp))) << line;
    EXPECT_TRUE(HasLogLine(run.logs[0], "Command tail: \"" + tail + "\"")) << "no command tail";
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex(stamp + "Exit code " + std::to_string((int)run.exitCode))))
        << lines.back();
}

SilentRun RunSilently(const std::string &exe, const std::string &args, DWORD timeoutMs)
{
    SilentRun run;
    std::vector<std::string> logsBefore = SetupLogPaths();
    bench::Program *program = bench::StartProgram(exe, args);
    DWORD pid = bench::ProgramId(program);
    bool ended = bench::WaitUntil([&] {
        HWND window = bench::FindProcessWindow(pid, nullptr);
        if (window && run.window.empty()) {
            char cls[64] = "";
            GetClassNameA(window, cls, sizeof(cls));
            run.window = std::string(cls) + " \"" + bench::WindowText(window) + "\"";
        }
        // A window is failure enough: a box would wait for an answer.
        return !run.window.empty() || bench::WaitProgram(program, 0, &run.exitCode);
    }, timeoutMs);
    if (!ended)
        ADD_FAILURE() << exe << " " << args << " still running after " << timeoutMs << " ms";
    run.trace = bench::DebugOutput(program);
    bench::EndProgram(program);
    for (const std::string &path : SetupLogPaths()) {
        if (std::find(logsBefore.begin(), logsBefore.end(), path) != logsBefore.end())
            continue;
        run.logs.push_back(ReadSetupLog(path));
    }
    return run;
}

SetupLogFile ReadSetupLog(const std::string &path)
{
    SetupLogFile log = {path, {}};
    std::string text = bench::ReadFileText(path);
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        log.lines.push_back(text.substr(start, end - start));
    }
    return log;
}

bool HasLogLine(const SetupLogFile &log, const std::string &text)
{
    return std::any_of(log.lines.begin(), log.lines.end(),
                       [&](const std::string &line) { return line.size() > 13 && line.substr(13) == text; });
}

bool SplitQuotedCommand(const std::string &command, std::string *program, std::string *arguments)
{
    size_t close = command.find('"', 1);
    if (command.empty() || command[0] != '"' || close == std::string::npos)
        return false;
    *program = command.substr(1, close - 1);
    size_t start = command.find_first_not_of(' ', close + 1);
    *arguments = start == std::string::npos ? "" : command.substr(start);
    return true;
}

bool ParametersGrantGuests()
{
    BYTE guests[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(guests);
    CreateWellKnownSid(WinBuiltinGuestsSid, nullptr, guests, &size);
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA("MACHINE\\System\\CurrentControlSet\\Services\\Drovik\\Parameters",
                              SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    bool granted = false;
    for (DWORD i = 0; list && i < list->AceCount; i++) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        GetAce(list, i, (void **)&ace);
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, guests)
            && ace->Mask == KEY_ALL_ACCESS && ace->Header.AceFlags == 3)
            granted = true;
    }
    LocalFree(descriptor);
    return granted;
}

}  // namespace setupbench
