// StartSetupProcess: the one way the setup program starts another program
// (the driver installer, the calibration program): with the system's default
// error mode rather than the setup program's, no inherited handles, and the
// window shown as asked.
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
