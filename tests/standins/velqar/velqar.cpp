// Stand-in for the driver installer Velqar.exe, which the setup program
// starts with two fixed command lines:
//   "<dir>\Velqar.exe" "<dir>\Velqar.inf" <os class> setup
//       registers the simulated controller (System32\Drivers\Velqar.sys) as
//       the kernel service "Drovik" and starts it;
//   uninstall <os class> delete
//       stops and deletes that service.
// Each run appends one line to C:\velqar.log:
//   <command line> TAB <current folder> TAB <STARTUPINFO show flag or ->
// and exits with the code the test put in HKLM\Software\VelqarStandIn
// (SetupExitCode / UninstallExitCode, else ExitCode, else 0).  With
// DoNothing = 1 it only records and exits; SetupDelayMs makes an
// installation take that long, as a real driver installer's does.
#include <windows.h>
#include <cstdio>
#include <cstring>

static DWORD ReadSetting(const char *name, DWORD fallback)
{
    HKEY key;
    DWORD value = fallback, size = sizeof(value), type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VelqarStandIn", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fallback;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE *)&value, &size) != ERROR_SUCCESS || type != REG_DWORD)
        value = fallback;
    RegCloseKey(key);
    return value;
}

static void Record(void)
{
    char line[2048], cwd[MAX_PATH] = "", show[16] = "-";
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    if (si.dwFlags & STARTF_USESHOWWINDOW)
        snprintf(show, sizeof(show), "%u", si.wShowWindow);
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    snprintf(line, sizeof(line), "%s\t%s\t%s\r\n", GetCommandLineA(), cwd, show);
    HANDLE log = CreateFileA("C:\\velqar.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD wrote;
    WriteFile(log, line, (DWORD)strlen(line), &wrote, nullptr);
    CloseHandle(log);
}

static void InstallService(void)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return;
    // Wine 8 resolves a kernel driver's image path only in the \SystemRoot\ form
    // (a bare "System32\..." fails to load with 1114).
    SC_HANDLE service = OpenServiceA(manager, "Drovik", SERVICE_ALL_ACCESS);
    if (!service)
        service = CreateServiceA(manager, "Drovik", "Drovik", SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                 SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "\\SystemRoot\\System32\\Drivers\\Velqar.sys",
                                 nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service) {
        StartServiceA(service, 0, nullptr);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

static void RemoveService(void)
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
        DeleteService(service);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

static bool EndsWithWord(const char *commandLine, const char *word)
{
    size_t n = strlen(commandLine), w = strlen(word);
    while (n > 0 && commandLine[n - 1] == ' ')
        n--;
    return n >= w && _strnicmp(commandLine + n - w, word, w) == 0;
}

int main(void)
{
    const char *commandLine = GetCommandLineA();
    Record();
    bool setup = EndsWithWord(commandLine, " setup");
    bool uninstall = !setup && strstr(commandLine, "uninstall ") != nullptr && EndsWithWord(commandLine, " delete");
    DWORD code = ReadSetting("ExitCode", 0);
    if (setup)
        code = ReadSetting("SetupExitCode", code);
    if (uninstall)
        code = ReadSetting("UninstallExitCode", code);
    if (!ReadSetting("DoNothing", 0)) {
        if (setup) {
            Sleep(ReadSetting("SetupDelayMs", 0));
            InstallService();
        }
        else if (uninstall)
            RemoveService();
    }
    return (int)code;
}
