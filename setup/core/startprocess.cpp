// StartSetupProcess starts the driver installer at installation and the
// calibration program after Finish: with the system's default error mode
// rather than the setup program's, no inherited handles, and the window shown
// as asked. (The removal starts the driver installer through the shell,
// ShellExecuteExA, in driverinstaller.cpp.)
#include <windows.h>
#include "install.h"

BOOL StartSetupProcess(const char *application, char *commandLine, const char *folder, WORD show,
                       PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    return CreateProcessA(application, commandLine, NULL, NULL, FALSE, CREATE_DEFAULT_ERROR_MODE, NULL, folder,
                          &startup, process);
}
