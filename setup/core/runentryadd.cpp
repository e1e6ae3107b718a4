// AddRunEntry: makes a program of the installation folder start at every
// logon of the current user, until a confirmed calibration removes the value
// again. The data is the bare path, without quotes or arguments, as the
// calibration program and the removal have always expected it.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "runentry.h"
#include "registry.h"
#include "setuplog.h"

// Windows Vista gets no Run value: it blocks a program that asks for
// elevation from starting at logon, with a warning in the notification area.
static BOOL IsWindowsVista(void)
{
    OSVERSIONINFOEXA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA((OSVERSIONINFOA *)&version))
        return FALSE;
    return version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

LONG AddRunEntry(const char *valueName, const char *programFile)
{
    if (IsWindowsVista()) {
        SetupLog("No logon entry %s written: Windows Vista would block it", valueName);
        return ERROR_SUCCESS;
    }
    // The value name doubles as the installation folder's name in the path.
    char data[SETUP_PATH_MAX];
    LONG result;
    HKEY key;
    if (!InstallFolderFilePath(valueName, programFile, data)) {
        result = (LONG)GetLastError();
    } else if ((result = OpenRegistryKey(HKEY_CURRENT_USER, RUN_KEY_PATH, KEY_ALL_ACCESS, REGISTRY_CREATE_PLAIN,
                                         &key)) == ERROR_SUCCESS) {
        // Without the terminating zero, as it has always been stored.
        result = SetRegistryString(key, valueName, data, (DWORD)lstrlenA(data));
        RegCloseKey(key);
    }
    if (result == ERROR_SUCCESS)
        SetupLog("Wrote the logon entry %s: %s", valueName, data);
    else
        LogFailure("write the logon entry ", valueName, (DWORD)result);
    return result;
}
