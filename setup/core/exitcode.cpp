// See exitcode.h.
#include <windows.h>
#include "exitcode.h"
#include "setupmessage.h"

DWORD FailureExitCode(DWORD lastError)
{
    return lastError != ERROR_SUCCESS ? lastError : (DWORD)SETUP_EXIT_FAILED;
}

DWORD StepFailureExitCode(int result, DWORD error)
{
    return result == DRIVER_PACKAGE_FAILED ? (DWORD)SETUP_EXIT_FAILED : FailureExitCode(error);
}

int SetupExitCode(DWORD silentCode)
{
    return silentMode ? (int)silentCode : 0;
}
