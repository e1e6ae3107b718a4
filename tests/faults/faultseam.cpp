// faultseam.dll: loaded by the bench into Install.exe before its entry point
// (bench::InjectIntoNextStart), it puts a wrapper in the program's own import
// table for each function below, and in place of what GetProcAddress returns
// for one, and counts their calls. With ZX_SEAM_FAIL = "<Function> <N>
// <error>" the Nth call of that function fails with that error, with
// "<Function> =<text> <error>" the first one whose recorded argument holds
// text (letter case aside); that call never reaches Windows, every other
// call goes to the real function. Reg* and SetNamedSecurityInfoA return the
// error, CoCreateInstance and SHGetSpecialFolderLocation HRESULT_FROM_WIN32
// of it with the out pointer null, the rest their failure value with the
// error as the last error. Lines appended to the file ZX_SEAM_REPORT:
// "bound <Function> import|lookup", "failed <Function> <N> <error> <argument>",
// and at a normal end "calls <Function> <count>" for each function.
#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <cstdio>
#include <cstring>

// name, result, parameters, argument names, recorded argument, failure
#define SEAM_FUNCTIONS(X) \
    X(CopyFileA, BOOL, (LPCSTR a, LPCSTR b, BOOL c), (a, b, c), b, LAST(FALSE)) \
    X(CreateDirectoryA, BOOL, (LPCSTR a, LPSECURITY_ATTRIBUTES b), (a, b), a, LAST(FALSE)) \
    X(DeleteFileA, BOOL, (LPCSTR a), (a), a, LAST(FALSE)) \
    X(RemoveDirectoryA, BOOL, (LPCSTR a), (a), a, LAST(FALSE)) \
    X(MoveFileExA, BOOL, (LPCSTR a, LPCSTR b, DWORD c), (a, b, c), a, LAST(FALSE)) \
    X(SetFileAttributesA, BOOL, (LPCSTR a, DWORD b), (a, b), a, LAST(FALSE)) \
    X(GetFileAttributesA, DWORD, (LPCSTR a), (a), a, LAST(INVALID_FILE_ATTRIBUTES)) \
    X(FindFirstFileA, HANDLE, (LPCSTR a, LPWIN32_FIND_DATAA b), (a, b), a, LAST(INVALID_HANDLE_VALUE)) \
    X(CreateFileA, HANDLE, (LPCSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g), \
      (a, b, c, d, e, f, g), a, LAST(INVALID_HANDLE_VALUE)) \
    X(WriteFile, BOOL, (HANDLE a, LPCVOID b, DWORD c, LPDWORD d, LPOVERLAPPED e), (a, b, c, d, e), "", \
      { if (d) *d = 0; LAST(FALSE); }) \
    X(GetTempFileNameA, UINT, (LPCSTR a, LPCSTR b, UINT c, LPSTR d), (a, b, c, d), a, LAST(0)) \
    X(CreateProcessA, BOOL, (LPCSTR a, LPSTR b, LPSECURITY_ATTRIBUTES c, LPSECURITY_ATTRIBUTES d, BOOL e, \
      DWORD f, LPVOID g, LPCSTR h, LPSTARTUPINFOA i, LPPROCESS_INFORMATION j), (a, b, c, d, e, f, g, h, i, j), \
      a, LAST(FALSE)) \
    X(ShellExecuteExA, BOOL, (SHELLEXECUTEINFOA *a), (a), a->lpFile, LAST(FALSE)) \
    X(RegCreateKeyExA, LONG, (HKEY a, LPCSTR b, DWORD c, LPSTR d, DWORD e, REGSAM f, LPSECURITY_ATTRIBUTES g, \
      PHKEY h, LPDWORD i), (a, b, c, d, e, f, g, h, i), b, RETURN) \
    X(RegCreateKeyA, LONG, (HKEY a, LPCSTR b, PHKEY c), (a, b, c), b, RETURN) \
    X(RegOpenKeyExA, LONG, (HKEY a, LPCSTR b, DWORD c, REGSAM d, PHKEY e), (a, b, c, d, e), b, RETURN) \
    X(RegOpenKeyA, LONG, (HKEY a, LPCSTR b, PHKEY c), (a, b, c), b, RETURN) \
    X(RegQueryValueExA, LONG, (HKEY a, LPCSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f), \
      (a, b, c, d, e, f), b, RETURN) \
    X(RegQueryValueExW, LONG, (HKEY a, LPCWSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f), \
      (a, b, c, d, e, f), Narrow(b), RETURN) \
    X(RegSetValueExA, LONG, (HKEY a, LPCSTR b, DWORD c, DWORD d, const BYTE *e, DWORD f), \
      (a, b, c, d, e, f), b, RETURN) \
    X(RegSetValueExW, LONG, (HKEY a, LPCWSTR b, DWORD c, DWORD d, const BYTE *e, DWORD f), \
      (a, b, c, d, e, f), Narrow(b), RETURN) \
    X(RegDeleteKeyA, LONG, (HKEY a, LPCSTR b), (a, b), b, RETURN) \
    X(RegDeleteValueA, LONG, (HKEY a, LPCSTR b), (a, b), b, RETURN) \
    X(RegDeleteValueW, LONG, (HKEY a, LPCWSTR b), (a, b), Narrow(b), RETURN) \
    X(RegFlushKey, LONG, (HKEY a), (a), "", RETURN) \
    X(SetNamedSecurityInfoA, DWORD, (LPSTR a, SE_OBJECT_TYPE b, SECURITY_INFORMATION c, PSID d, PSID e, PACL f, \
      PACL g), (a, b, c, d, e, f, g), a, RETURN) \
    X(CoCreateInstance, HRESULT, (REFCLSID a, LPUNKNOWN b, DWORD c, REFIID d, LPVOID *e), (a, b, c, d, e), "", \
      { *e = nullptr; return HRESULT_FROM_WIN32(error); }) \
    X(SHGetSpecialFolderLocation, HRESULT, (HWND a, int b, PIDLIST_ABSOLUTE *c), (a, b, c), "", \
      { *c = nullptr; return HRESULT_FROM_WIN32(error); }) \
    X(ExitWindowsEx, BOOL, (UINT a, DWORD b), (a, b), "", LAST(FALSE))

#define LAST(value) { SetLastError(error); return value; }
#define RETURN return error;

#define SEAM_ID(name, ...) ID_##name,
enum { SEAM_FUNCTIONS(SEAM_ID) SEAM_COUNT };

struct Hook {
    const char *name;
    void *wrapper;
    void *real;            // what the import table or GetProcAddress gave
    LONG calls;
};
static Hook hooks[SEAM_COUNT];

static char reportPath[MAX_PATH], failText[MAX_PATH];
static int failId = -1;
static LONG failCall;
static DWORD failError;
static LONG fired;

static void Report(const char *format, ...)
{
    DWORD lastError = GetLastError();
    FILE *report = fopen(reportPath, "ab");
    if (report) {
        va_list args;
        va_start(args, format);
        vfprintf(report, format, args);
        va_end(args);
        fputs("\r\n", report);
        fclose(report);
    }
    SetLastError(lastError);
}

static const char *Narrow(LPCWSTR text)
{
    static char narrow[1024];
    if (!text || !WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr))
        narrow[0] = '\0';
    return narrow;
}

// Counts the call; true, with the error to give, when it is the one to fail.
static bool Faulted(int id, const char *argument, DWORD *error)
{
    LONG call = InterlockedIncrement(&hooks[id].calls);
    if (!argument)
        argument = "";
    if (id != failId || (failText[0] ? !StrStrIA(argument, failText) : call != failCall)
        || InterlockedExchange(&fired, 1))
        return false;
    Report("failed %s %ld %lu %s", hooks[id].name, call, failError, argument);
    *error = failError;
    return true;
}

#define SEAM_WRAPPER(name, result, params, args, recorded, failure) \
    static result WINAPI Seam##name params \
    { \
        DWORD error = 0; \
        if (Faulted(ID_##name, recorded, &error)) \
            failure \
        return ((result(WINAPI *) params)hooks[ID_##name].real) args; \
    }
SEAM_FUNCTIONS(SEAM_WRAPPER)

static Hook *Find(const char *name)
{
    for (Hook &hook : hooks)
        if (!strcmp(hook.name, name))
            return &hook;
    return nullptr;
}

static FARPROC(WINAPI *realGetProcAddress)(HMODULE, LPCSTR);

// A listed name (not an ordinal) gets its wrapper, which calls what Windows gave.
static FARPROC WINAPI SeamGetProcAddress(HMODULE module, LPCSTR name)
{
    FARPROC real = realGetProcAddress(module, name);
    Hook *hook = real && !IS_INTRESOURCE(name) ? Find(name) : nullptr;
    if (!hook)
        return real;
    if (!hook->real) {
        hook->real = (void *)real;
        Report("bound %s lookup", name);
    }
    return (FARPROC)hook->wrapper;
}

static void Patch(ULONG_PTR *slot, void *wrapper)
{
    DWORD protection;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    *slot = (ULONG_PTR)wrapper;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

static void BindImports(BYTE *base)
{
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (IMAGE_IMPORT_DESCRIPTOR *dll = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports); imports && dll->Name; dll++) {
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + dll->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char *name = (const char *)((IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData))->Name;
            Hook *hook = Find(name);
            if (!strcmp(name, "GetProcAddress")) {
                realGetProcAddress = (FARPROC(WINAPI *)(HMODULE, LPCSTR))slots->u1.Function;
                Patch(&slots->u1.Function, (void *)SeamGetProcAddress);
            } else if (hook) {
                hook->real = (void *)slots->u1.Function;
                Patch(&slots->u1.Function, hook->wrapper);
                Report("bound %s import", name);
            }
        }
    }
}

// "<Function> <N> <error>" or "<Function> =<text> <error>"; the text may hold blanks.
static void ReadFault(void)
{
    char fault[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("ZX_SEAM_FAIL", fault, sizeof(fault)))
        return;
    char *first = strchr(fault, ' '), *last = strrchr(fault, ' ');
    if (!first || last == first)
        return;
    *first = *last = '\0';
    Hook *hook = Find(fault);
    failId = hook ? (int)(hook - hooks) : -1;
    failError = strtoul(last + 1, nullptr, 10);
    if (first[1] == '=')
        lstrcpynA(failText, first + 2, sizeof(failText));
    else
        failCall = strtol(first + 1, nullptr, 10);
}

#define SEAM_HOOK(name, ...) hooks[ID_##name] = {#name, (void *)Seam##name, nullptr, 0};

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        SEAM_FUNCTIONS(SEAM_HOOK)
        GetEnvironmentVariableA("ZX_SEAM_REPORT", reportPath, sizeof(reportPath));
        ReadFault();
        BindImports((BYTE *)GetModuleHandleA(nullptr));
    } else if (reason == DLL_PROCESS_DETACH) {
        for (const Hook &hook : hooks)
            Report("calls %s %ld", hook.name, hook.calls);
    }
    return TRUE;
}
