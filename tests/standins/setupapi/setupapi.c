/* Stand-in for the system's Setupapi.dll, for the Windows 9x path of the
 * setup program, which loads "Setupapi.dll" by name and calls
 * SetupCopyOEMInfA on the installed INF.  Placed beside Install.exe with
 * Wine told to prefer the native DLL for that program, it records each call
 * in C:\setupapi.log as
 *   SetupCopyOEMInfA <source> <media location or -> <media type> <copy style> <destination size>
 * and copies the INF to the Windows folder's inf\oem0.inf, as Windows files
 * an OEM INF.  (Wine's own copies it under its own name, where the setup
 * program's second copy of the INF already is.) */
#include <windows.h>
#include <stdio.h>
#include <string.h>

__declspec(dllexport) BOOL WINAPI SetupCopyOEMInfA(PCSTR source, PCSTR location, DWORD mediaType, DWORD style,
                                                   PSTR destination, DWORD size, PDWORD required, PSTR *component)
{
    char line[1024], target[MAX_PATH];
    HANDLE log;
    DWORD wrote;
    (void)required;
    (void)component;
    snprintf(line, sizeof(line), "SetupCopyOEMInfA %s %s %lu %lu %lu\r\n", source, location ? location : "-",
             (unsigned long)mediaType, (unsigned long)style, (unsigned long)size);
    log = CreateFileA("C:\\setupapi.log", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        WriteFile(log, line, (DWORD)strlen(line), &wrote, NULL);
        CloseHandle(log);
    }
    GetWindowsDirectoryA(target, sizeof(target));
    strcat(target, "\\inf\\oem0.inf");
    if (!CopyFileA(source, target, FALSE))
        return FALSE;
    if (destination && size > strlen(target))
        strcpy(destination, target);
    return TRUE;
}
