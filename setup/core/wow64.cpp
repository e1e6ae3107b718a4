// Whether Install.exe runs as a 32-bit program on 64-bit Windows (WoW64).
// There the system folder it would copy into is SysWOW64, where Windows never
// looks for a driver, and the 32-bit driver could not load anyway, so the
// 32-bit setup must not run at all. IsWow64Process is looked up at run time:
// Windows 2000 and XP before SP2 lack it, and on them nothing runs under WoW64.
#include <windows.h>
#include "install.h"

typedef BOOL(WINAPI *IsWow64ProcessProc)(HANDLE process, PBOOL wow64);

BOOL RunningUnderWow64(void)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return FALSE;
    IsWow64ProcessProc isWow64Process =
        (IsWow64ProcessProc)(void (*)(void))GetProcAddress(kernel, "IsWow64Process");
    BOOL wow64 = FALSE;
    if (!isWow64Process || !isWow64Process(GetCurrentProcess(), &wow64))
        return FALSE;
    return wow64;
}
