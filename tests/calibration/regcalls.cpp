// Import-table hooks for the registry calls of the calibration storage; see
// regcalls.h. Everything runs on the test's one thread while recording.
#include "regcalls.h"

#include <cstring>

namespace {

bool recording = false;
std::vector<RegistryCall> calls;
std::string failingWrite;

decltype(&RegOpenKeyExA) realOpen;
decltype(&RegCreateKeyExA) realCreate;
decltype(&RegQueryValueExA) realQuery;
decltype(&RegSetValueExA) realSet;
decltype(&RegFlushKey) realFlush;
decltype(&RegCloseKey) realClose;
decltype(&Sleep) realSleep;

void Record(const char *function, const char *name, REGSAM access = 0, DWORD sleepMs = 0)
{
    if (!recording)
        return;
    RegistryCall call;
    call.function = function;
    call.name = name ? name : "";
    call.access = access;
    call.sleepMs = sleepMs;
    calls.push_back(call);
}

LSTATUS WINAPI HookOpen(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    Record("RegOpenKeyExA", subKey, access);
    return realOpen(key, subKey, options, access, result);
}

LSTATUS WINAPI HookCreate(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR cls, DWORD options,
                          REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                          LPDWORD disposition)
{
    Record("RegCreateKeyExA", subKey, access);
    return realCreate(key, subKey, reserved, cls, options, access, security, result, disposition);
}

LSTATUS WINAPI HookQuery(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size)
{
    Record("RegQueryValueExA", name);
    return realQuery(key, name, reserved, type, data, size);
}

LSTATUS WINAPI HookSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    Record("RegSetValueExA", name);
    if (!failingWrite.empty() && name && _stricmp(name, failingWrite.c_str()) == 0)
        return ERROR_ACCESS_DENIED;
    return realSet(key, name, reserved, type, data, size);
}

LSTATUS WINAPI HookFlush(HKEY key)
{
    Record("RegFlushKey", nullptr);
    return realFlush(key);
}

LSTATUS WINAPI HookClose(HKEY key)
{
    Record("RegCloseKey", nullptr);
    return realClose(key);
}

void WINAPI HookSleep(DWORD ms)
{
    Record("Sleep", nullptr, 0, ms);
    realSleep(ms);
}

// Points this program's import slots for dll!function at replacement and
// returns what the first of them held. The static link may list one DLL in
// more than one import descriptor, so every descriptor is patched.
void *Patch(const char *dll, const char *function, void *replacement)
{
    BYTE *base = (BYTE *)GetModuleHandleA(nullptr);
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    void *first = nullptr;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); d->Name; d++) {
        if (_stricmp((const char *)(base + d->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME *byName = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (strcmp((const char *)byName->Name, function) != 0)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
            if (!first)
                first = (void *)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
        }
    }
    return first;
}

template <typename F>
void PatchOrDie(const char *dll, const char *function, F replacement, F *real)
{
    *real = (F)Patch(dll, function, (void *)replacement);
    if (!*real) {
        // Without the hook every count would silently read zero.
        OutputDebugStringA("regcalls: import slot not found\n");
        ExitProcess(98);
    }
}

}  // namespace

void InstallRegistryHooks()
{
    if (realOpen)
        return;
    PatchOrDie("advapi32.dll", "RegOpenKeyExA", &HookOpen, &realOpen);
    PatchOrDie("advapi32.dll", "RegCreateKeyExA", &HookCreate, &realCreate);
    PatchOrDie("advapi32.dll", "RegQueryValueExA", &HookQuery, &realQuery);
    PatchOrDie("advapi32.dll", "RegSetValueExA", &HookSet, &realSet);
    PatchOrDie("advapi32.dll", "RegFlushKey", &HookFlush, &realFlush);
    PatchOrDie("advapi32.dll", "RegCloseKey", &HookClose, &realClose);
    PatchOrDie("kernel32.dll", "Sleep", &HookSleep, &realSleep);
}

void StartRecording()
{
    InstallRegistryHooks();
    calls.clear();
    recording = true;
}

std::vector<RegistryCall> StopRecording()
{
    recording = false;
    return calls;
}

void FailWritesOf(const std::string &name) { failingWrite = name; }

int CountCalls(const std::vector<RegistryCall> &list, const std::string &function, const std::string &name)
{
    int n = 0;
    for (const RegistryCall &c : list)
        if (c.function == function && (name.empty() || _stricmp(c.name.c_str(), name.c_str()) == 0))
            n++;
    return n;
}

int CountRegistryCalls(const std::vector<RegistryCall> &list)
{
    int n = 0;
    for (const RegistryCall &c : list)
        if (c.function != "Sleep")
            n++;
    return n;
}
