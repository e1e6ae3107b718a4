// RestrictDllSearch: see dllsearch.h.
#include <windows.h>
#include "dllsearch.h"

typedef BOOL (WINAPI *SetDefaultDllDirectoriesProc)(DWORD directoryFlags);
typedef BOOL (WINAPI *SetDllDirectoryProc)(LPCSTR path);

void RestrictDllSearch(void)
{
    // Already loaded in every process: looking it up loads nothing.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    SetDefaultDllDirectoriesProc setDefaultDllDirectories =
        (SetDefaultDllDirectoriesProc)(void (*)(void))GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryProc setDllDirectory =
        (SetDllDirectoryProc)(void (*)(void))GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDllDirectory)
        setDllDirectory("");
}
