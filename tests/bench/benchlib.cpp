// Bench helpers; see benchlib.h. Failures of the bench itself (a file it
// cannot copy, a service it cannot start) are reported through GoogleTest so
// that a broken bench never passes for a working program.
#include "benchlib.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>

namespace bench {

// --- places -------------------------------------------------------------------
std::string BinDir()
{
    char buf[MAX_PATH] = "";
    if (GetEnvironmentVariableA("ZX_BIN_DIR", buf, sizeof(buf)) == 0) {
        GetModuleFileNameA(nullptr, buf, sizeof(buf));
        char *slash = strrchr(buf, '\\');
        if (slash)
            *slash = '\0';
    }
    return buf;
}

// The programs whose build a run tests. The bench may take them from another
// folder (ZX_PROGRAM_DIR: the x86 run gives the 32-bit builds there); the test
// programs, the stand-ins and the simulated controller always come from the
// test program's own 64-bit build, as Wine loads a kernel service registered
// by a 32-bit process as WOW64 and the driver then fails to start.
static bool IsProgramUnderTest(const std::string &file)
{
    for (const char *name : {"Install.exe", "ZentaroxUsb.exe", "Kaplet.exe", "commonprobe.exe", "setupprobe.exe"})
        if (_stricmp(file.c_str(), name) == 0)
            return true;
    return false;
}

std::string BinPath(const std::string &file)
{
    char programs[MAX_PATH] = "";
    if (IsProgramUnderTest(file) && GetEnvironmentVariableA("ZX_PROGRAM_DIR", programs, sizeof(programs)) > 0)
        return std::string(programs) + "\\" + file;
    return BinDir() + "\\" + file;
}

std::string WindowsDir()
{
    char buf[MAX_PATH] = "";
    GetWindowsDirectoryA(buf, sizeof(buf));
    return buf;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileText(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof(buf), &got, nullptr) && got > 0)
        text.append(buf, got);
    CloseHandle(file);
    return text;
}

void CopyFileOrFail(const std::string &from, const std::string &to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        ADD_FAILURE() << "bench: cannot copy " << from << " to " << to << " (" << GetLastError() << ")";
}

// --- registry -------------------------------------------------------------------
DWORD RegValue::AsDword() const
{
    DWORD v = 0xDEADBEEF;
    if (data.size() == 4)
        memcpy(&v, data.data(), 4);
    return v;
}

std::string RegValue::AsString() const
{
    std::string s(data.begin(), data.end());
    size_t zero = s.find('\0');
    return zero == std::string::npos ? s : s.substr(0, zero);
}

RegValue ReadValue(HKEY root, const std::string &path, const std::string &name)
{
    RegValue result;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        result.data.resize(size);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, size ? result.data.data() : nullptr, &size)
            == ERROR_SUCCESS) {
            result.exists = true;
            result.type = type;
            result.data.resize(size);
        }
    }
    RegCloseKey(key);
    return result;
}

bool KeyExists(HKEY root, const std::string &path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static void SetValue(HKEY root, const std::string &path, const std::string &name, DWORD type,
                     const void *data, DWORD size)
{
    HKEY key;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "bench: cannot create " << path;
    rc = RegSetValueExA(key, name.c_str(), 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "bench: cannot set " << path << "\\" << name;
}

void WriteDword(HKEY root, const std::string &path, const std::string &name, DWORD value)
{
    SetValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

void WriteString(HKEY root, const std::string &path, const std::string &name, const std::string &value)
{
    SetValue(root, path, name, REG_SZ, value.c_str(), (DWORD)value.size() + 1);
}

void WriteBinary(HKEY root, const std::string &path, const std::string &name, const void *data, DWORD size)
{
    SetValue(root, path, name, REG_BINARY, data, size);
}

void DeleteValue(HKEY root, const std::string &path, const std::string &name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

void DeleteTree(HKEY root, const std::string &path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    for (;;) {
        DWORD len = sizeof(child);
        if (RegEnumKeyExA(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string sub = path;
        if (!sub.empty() && sub.back() != '\\')
            sub += '\\';
        DeleteTree(root, sub + child);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

void SetProgramVersion(const std::string &exeName, const std::string &version)
{
    WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + exeName, "Version", version);
}

// --- the simulated touch controller ---------------------------------------------------
const char *const kTouchSimKey = "Software\\TouchSim";
const char *const kParametersKey = "System\\CurrentControlSet\\Services\\Drovik\\Parameters";

static const char *const kSimLog = "C:\\touchsim.log";

void InstallTouchSim()
{
    std::string image = WindowsDir() + "\\system32\\drivers\\Velqar.sys";
    CopyFileOrFail(BinPath("Velqar.sys"), image);
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr) << "bench: no service manager";
    // Wine 8 resolves a kernel driver's image path only in the \SystemRoot\ form
    // (a bare "System32\..." fails to load with 1114).
    SC_HANDLE service = OpenServiceA(manager, "Drovik", SERVICE_ALL_ACCESS);
    if (!service)
        service = CreateServiceA(manager, "Drovik", "Drovik", SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                 SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                 "\\SystemRoot\\System32\\drivers\\Velqar.sys", nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << "bench: cannot create service Drovik (" << GetLastError() << ")";
    BOOL started = StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    DWORD error = GetLastError();
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    ASSERT_TRUE(started) << "bench: cannot start the simulated controller (" << error << ")";
    HANDLE device = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 100 && device == INVALID_HANDLE_VALUE; i++) {
        device = CreateFileA("\\\\.\\TessivarUsb", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (device == INVALID_HANDLE_VALUE)
            Sleep(20);
    }
    ASSERT_NE(device, INVALID_HANDLE_VALUE) << "bench: the simulated controller's device does not open";
    CloseHandle(device);
}

void StopTouchSim()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return;
    SC_HANDLE service = OpenServiceA(manager, "Drovik", SERVICE_ALL_ACCESS);
    if (service) {
        SERVICE_STATUS status;
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 100; i++) {
            if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED)
                break;
            Sleep(20);
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

void SetTouchWords(const std::vector<DWORD> &words)
{
    WriteBinary(HKEY_LOCAL_MACHINE, kTouchSimKey, "TouchWords", words.data(), (DWORD)(words.size() * 4));
    WriteDword(HKEY_LOCAL_MACHINE, kTouchSimKey, "TouchIndex", 0);
}

void SetTouchSim(const std::string &name, DWORD value)
{
    WriteDword(HKEY_LOCAL_MACHINE, kTouchSimKey, name, value);
}

static bool TakeField(const std::string &token, const char *name, std::string *value)
{
    size_t n = strlen(name);
    if (token.compare(0, n, name) != 0 || token.size() <= n || token[n] != '=')
        return false;
    *value = token.substr(n + 1);
    return true;
}

std::vector<SimRequest> ReadSimLog()
{
    std::vector<SimRequest> requests;
    std::istringstream lines(ReadFileText(kSimLog));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        SimRequest r;
        std::istringstream tokens(line);
        std::string token, v;
        while (tokens >> token) {
            if (TakeField(token, "t", &v))
                r.timeUs = strtoull(v.c_str(), nullptr, 10);
            else if (TakeField(token, "code", &v))
                r.code = strtoul(v.c_str(), nullptr, 16);
            else if (TakeField(token, "in", &v))
                r.hasIn = v != "-", r.in = strtoul(v.c_str(), nullptr, 16);
            else if (TakeField(token, "out", &v))
                r.hasOut = v != "-", r.out = strtoul(v.c_str(), nullptr, 16);
            else if (TakeField(token, "status", &v))
                r.status = strtoul(v.c_str(), nullptr, 16);
            else if (TakeField(token, "params", &v)) {
                r.hasParams = true;
                std::istringstream items(v);
                std::string item;
                for (int i = 0; i < 11 && std::getline(items, item, ','); i++)
                    r.params[i] = item == "-" ? -1 : strtoll(item.c_str(), nullptr, 10);
            }
        }
        requests.push_back(r);
    }
    return requests;
}

void ClearSimLog() { DeleteFileA(kSimLog); }

void InstallDefaultParameters()
{
    static const struct { const char *name; DWORD value; } defaults[] = {
        {"SwapXY", 0}, {"ScreenWidth", 100}, {"ScreenHigh", 100}, {"DragDelay", 0}, {"ButtonMode", 0},
        {"TopLeftOffsetX", 0}, {"TopLeftOffsetY", 0}, {"TopRightOffsetX", 0}, {"TopRightOffsetY", 0},
        {"BottomLeftOffsetX", 0}, {"BottomLeftOffsetY", 0}, {"BottomRightOffsetX", 0},
        {"BottomRightOffsetY", 0}, {"BeepMode", 2}, {"BeepFreq", 1000}, {"BeepTime", 11000},
        {"MouseMode", 3}, {"DblClickRegion", 10}, {"Calibration4Pt", 0},
    };
    for (const auto &d : defaults)
        WriteDword(HKEY_LOCAL_MACHINE, kParametersKey, d.name, d.value);
}

// --- programs under test ------------------------------------------------------------
// Each program runs under the Win32 debug API on a thread of its own (the
// debugger must be the thread that created the process): that is how every
// OutputDebugStringA arrives whole, however long, with its line breaks.
struct Program {
    std::thread debugger;
    std::mutex lock;
    std::vector<std::string> output;
    HANDLE started = nullptr;      // set when the process exists (or failed to)
    HANDLE ended = nullptr;        // set when the process and the debugger are done
    DWORD processId = 0;
    DWORD exitCode = 0xFFFFFFFF;
    HANDLE process = nullptr;
    // A DLL loaded before the entry point runs: a breakpoint there (and the
    // byte it replaced) holds the main thread until the thread that runs
    // LoadLibraryA has ended.
    std::string inject;
    BYTE *entry = nullptr, saved = 0;
    HANDLE mainThread = nullptr;
    DWORD loaderThread = 0;
};

static std::string nextInjection;

void InjectIntoNextStart(const std::string &dllPath) { nextInjection = dllPath; }

// The image's AddressOfEntryPoint, read from its headers in the process.
static void ArmInjection(Program *p, HANDLE process, const CREATE_PROCESS_DEBUG_INFO &info)
{
    BYTE *base = (BYTE *)info.lpBaseOfImage, breakpoint = 0xCC;
    LONG header = 0;
    DWORD entry = 0;
    if (!ReadProcessMemory(process, base + 0x3C, &header, sizeof(header), nullptr)
        || !ReadProcessMemory(process, base + header + 0x28, &entry, sizeof(entry), nullptr)
        || !ReadProcessMemory(process, base + entry, &p->saved, 1, nullptr)
        || !WriteProcessMemory(process, base + entry, &breakpoint, 1, nullptr)) {
        ADD_FAILURE() << "bench: no breakpoint at the entry point (" << GetLastError() << ")";
        return;
    }
    FlushInstructionCache(process, base + entry, 1);
    p->entry = base + entry;
    p->mainThread = info.hThread;
}

// At the breakpoint: the byte back, the main thread set back on it and held.
static void LoadAtEntry(Program *p, HANDLE process)
{
    WriteProcessMemory(process, p->entry, &p->saved, 1, nullptr);
    FlushInstructionCache(process, p->entry, 1);
    CONTEXT context;
    ZeroMemory(&context, sizeof(context));
    context.ContextFlags = CONTEXT_CONTROL;
    GetThreadContext(p->mainThread, &context);
#ifdef _WIN64
    context.Rip = (DWORD64)p->entry;
#else
    context.Eip = (DWORD)p->entry;
#endif
    SetThreadContext(p->mainThread, &context);
    SuspendThread(p->mainThread);
    // Kernel32 lies at the same address in every process.
    auto load = (LPTHREAD_START_ROUTINE)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
    size_t size = p->inject.size() + 1;
    void *path = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    HANDLE thread = path && WriteProcessMemory(process, path, p->inject.c_str(), size, nullptr)
                        ? CreateRemoteThread(process, nullptr, 0, load, path, 0, &p->loaderThread)
                        : nullptr;
    if (thread) {
        CloseHandle(thread);
        return;
    }
    ADD_FAILURE() << "bench: cannot load " << p->inject << " (" << GetLastError() << ")";
    ResumeThread(p->mainThread);
}

static void Debug(Program *p, std::string commandLine, std::string currentDir)
{
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    ZeroMemory(&pi, sizeof(pi));
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    // Wine now and then loses a new process before it has started (the
    // child ends while it sets up its address space) and CreateProcessA
    // fails with ERROR_INTERNAL_ERROR; nothing of the program has run then,
    // so the start is tried again.
    BOOL created = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 3 && !created; attempt++) {
        created = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                                 currentDir.empty() ? nullptr : currentDir.c_str(), &si, &pi);
        error = created ? 0 : GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 2)
            break;
        fprintf(stderr, "bench: %s did not start (%lu), trying again\n", commandLine.c_str(), error);
        Sleep(200);
    }
    if (!created) {
        ADD_FAILURE() << "bench: cannot start " << commandLine << " (" << error << ")";
        SetEvent(p->started);
        SetEvent(p->ended);
        return;
    }
    p->processId = pi.dwProcessId;
    DuplicateHandle(GetCurrentProcess(), pi.hProcess, GetCurrentProcess(), &p->process, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    SetEvent(p->started);
    CloseHandle(pi.hThread);
    HANDLE processHandle = pi.hProcess;
    for (;;) {
        DEBUG_EVENT ev;
        if (!WaitForDebugEvent(&ev, INFINITE))
            break;
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO &info = ev.u.DebugString;
            std::string text(info.nDebugStringLength, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(processHandle, info.lpDebugStringData, &text[0], text.size(), &got);
            text.resize(got);
            size_t zero = text.find('\0');
            if (zero != std::string::npos)
                text.resize(zero);
            std::lock_guard<std::mutex> guard(p->lock);
            p->output.push_back(text);
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            else if (p->entry && ev.u.Exception.ExceptionRecord.ExceptionAddress == p->entry)
                LoadAtEntry(p, processHandle);
            break;
        case CREATE_PROCESS_DEBUG_EVENT:
            if (ev.u.CreateProcessInfo.hFile)
                CloseHandle(ev.u.CreateProcessInfo.hFile);
            if (!p->inject.empty() && ev.dwProcessId == pi.dwProcessId)
                ArmInjection(p, processHandle, ev.u.CreateProcessInfo);
            break;
        case EXIT_THREAD_DEBUG_EVENT:
            if (p->loaderThread && ev.dwThreadId == p->loaderThread)
                ResumeThread(p->mainThread);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (ev.u.LoadDll.hFile)
                CloseHandle(ev.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            if (ev.dwProcessId == pi.dwProcessId)
                p->exitCode = ev.u.ExitProcess.dwExitCode;
            break;
        }
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
        // A lost earlier start may still report its end; only ours ends the loop.
        if (ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT && ev.dwProcessId == pi.dwProcessId)
            break;
    }
    CloseHandle(processHandle);
    SetEvent(p->ended);
}

Program *StartProgram(const std::string &exe, const std::string &args, const std::string &currentDir)
{
    Program *p = new Program;
    p->started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    p->ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    p->inject.swap(nextInjection);
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty())
        commandLine += " " + args;
    p->debugger = std::thread(Debug, p, commandLine, currentDir);
    WaitForSingleObject(p->started, INFINITE);
    return p;
}

DWORD ProgramId(Program *program) { return program->processId; }

bool WaitProgram(Program *program, DWORD timeoutMs, DWORD *exitCode)
{
    if (WaitForSingleObject(program->ended, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        *exitCode = program->exitCode;
    return true;
}

std::vector<std::string> DebugOutput(Program *program)
{
    std::lock_guard<std::mutex> guard(program->lock);
    return program->output;
}

void EndProgram(Program *program)
{
    if (!program)
        return;
    if (WaitForSingleObject(program->ended, 0) != WAIT_OBJECT_0 && program->process)
        TerminateProcess(program->process, 0xDEAD);
    if (program->debugger.joinable())
        program->debugger.join();
    if (program->process)
        CloseHandle(program->process);
    CloseHandle(program->started);
    CloseHandle(program->ended);
    delete program;
}

DWORD RunProgram(const std::string &exe, const std::string &args, DWORD timeoutMs,
                 std::vector<std::string> *debugOutput)
{
    Program *p = StartProgram(exe, args);
    DWORD code = 0xFFFFFFFF;
    if (!WaitProgram(p, timeoutMs, &code)) {
        ADD_FAILURE() << "bench: " << exe << " did not end within " << timeoutMs << " ms";
        code = 0xFFFFFFFF;
    }
    if (debugOutput)
        *debugOutput = DebugOutput(p);
    EndProgram(p);
    return code;
}

// --- windows -----------------------------------------------------------------------
struct WindowSearch {
    DWORD processId;
    const char *className;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch *search = (WindowSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->className) {
        char cls[256] = "";
        GetClassNameA(window, cls, sizeof(cls));
        if (strcmp(cls, search->className) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const char *className)
{
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char *className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindProcessWindow(processId, className);
        if (window || GetTickCount() - start >= timeoutMs)
            return window;
        Sleep(20);
    }
}

std::string WindowText(HWND window)
{
    char buf[2048] = "";
    GetWindowTextA(window, buf, sizeof(buf));
    return buf;
}

static BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    MessageBoxInfo *info = (MessageBoxInfo *)param;
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof(cls));
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(cls, "Button") == 0 && IsWindowVisible(child))
        info->buttons.push_back(WindowText(child));
    // Wine's message box keeps its icon control visible, and empty, when the
    // box has no icon: only an icon actually set counts.
    else if (_stricmp(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)
             && SendMessageA(child, STM_GETICON, 0, 0) != 0)
        info->hasIcon = true;
    return TRUE;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    return ReadMessageBox(WaitForWindow(processId, "#32770", timeoutMs));
}

MessageBoxInfo ReadMessageBox(HWND window)
{
    MessageBoxInfo info;
    info.window = window;
    if (!info.window)
        return info;
    info.caption = WindowText(info.window);
    char text[2048] = "";
    GetDlgItemTextA(info.window, 0xFFFF, text, sizeof(text));
    info.text = text;
    EnumChildWindows(info.window, CollectChild, (LPARAM)&info);
    return info;
}

void ExpectOkBox(const MessageBoxInfo &box, const std::string &caption, const std::string &text,
                 bool hasIcon, const char *file, int line)
{
    ::testing::ScopedTrace caller(file, line, "message box checked here");
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.hasIcon, hasIcon);
}

void AnswerMessageBox(const MessageBoxInfo &box, int buttonId)
{
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 (LPARAM)GetDlgItem(box.window, buttonId));
}

void Pause(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Pause(20);
    }
}

// --- input and screen ------------------------------------------------------------------
void MoveTo(int x, int y)
{
    SetCursorPos(x, y);
    Pause(30);
}

void PressButton(bool down, bool rightButton)
{
    INPUT in;
    ZeroMemory(&in, sizeof(in));
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = rightButton ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                                : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof(in));
    Pause(30);
}

void ClickAt(int x, int y, bool rightButton)
{
    MoveTo(x, y);
    PressButton(true, rightButton);
    PressButton(false, rightButton);
}

void PressKey(WORD virtualKey)
{
    INPUT in[2];
    ZeroMemory(in, sizeof(in));
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = virtualKey;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    Pause(30);
}

int Screen::Count(const RECT &area, COLORREF colour) const
{
    int n = 0;
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            if (x >= 0 && y >= 0 && x < width && y < height && At(x, y) == colour)
                n++;
    return n;
}

// A 32-bit DIB, top row first, whose pixels read as 0x00RRGGBB.
static BITMAPINFO TopDownRgb32(int width, int height)
{
    BITMAPINFO bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

static COLORREF FromRgb32(DWORD v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

Screen CaptureScreen()
{
    Screen s;
    HDC screen = GetDC(nullptr);
    s.width = GetDeviceCaps(screen, HORZRES);
    s.height = GetDeviceCaps(screen, VERTRES);
    BITMAPINFO bi = TopDownRgb32(s.width, s.height);
    void *bits = nullptr;
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, s.width, s.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    s.pixels.resize((size_t)s.width * s.height);
    const DWORD *px = (const DWORD *)bits;
    for (size_t i = 0; i < s.pixels.size(); i++)
        s.pixels[i] = FromRgb32(px[i]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return s;
}

Picture LoadProgramBitmap(const std::string &exe, int id)
{
    Picture picture;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        ADD_FAILURE() << "bench: cannot open the resources of " << exe << " (" << GetLastError() << ")";
        return picture;
    }
    // A DIB section keeps the bitmap's own colour depth.
    HBITMAP bitmap = (HBITMAP)LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (bitmap) {
        BITMAP info;
        GetObjectA(bitmap, sizeof(info), &info);
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
        picture.bitCount = info.bmBitsPixel;
        BITMAPINFO bi = TopDownRgb32(picture.width, picture.height);
        std::vector<DWORD> raw((size_t)picture.width * picture.height);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, bitmap, 0, picture.height, raw.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        for (DWORD v : raw)
            picture.pixels.push_back(FromRgb32(v));
        DeleteObject(bitmap);
    }
    FreeLibrary(module);
    return picture;
}

int DifferingPixels(const Screen &screen, const Picture &picture, int left, int top)
{
    int differing = 0;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height
                || screen.At(sx, sy) != picture.At(x, y))
                differing++;
        }
    return differing;
}

void Screen::SaveBmp(const std::string &path) const
{
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    ZeroMemory(&fh, sizeof(fh));
    ZeroMemory(&ih, sizeof(ih));
    DWORD rowBytes = (DWORD)width * 3;
    rowBytes = (rowBytes + 3) & ~3u;
    DWORD imageBytes = rowBytes * height;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + imageBytes;
    ih.biSize = sizeof(ih);
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = imageBytes;
    std::vector<BYTE> image(imageBytes, 0);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            COLORREF c = At(x, height - 1 - y);
            BYTE *p = &image[(size_t)y * rowBytes + x * 3];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD wrote;
    WriteFile(file, &fh, sizeof(fh), &wrote, nullptr);
    WriteFile(file, &ih, sizeof(ih), &wrote, nullptr);
    WriteFile(file, image.data(), imageBytes, &wrote, nullptr);
    CloseHandle(file);
}

}  // namespace bench
