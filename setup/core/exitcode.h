// What Install.exe ends with. The interactive modes always end with 0; the
// silent modes ("/S", "/u /S") end with a code a deployment tool can act on.
// Below both the installation's steps and the silent road, which decide
// nothing here but hand over what happened.
#ifndef EXITCODE_H
#define EXITCODE_H

#include <windows.h>

// Exit codes of the silent modes.
enum {
    // Done; a restart (or replugging the controller) finishes it: every
    // complete installation or removal.
    SETUP_EXIT_RESTART_NEEDED = ERROR_SUCCESS_REBOOT_REQUIRED,     // 3010
    // Failed, and the failure left no Windows error to pass on.
    SETUP_EXIT_FAILED = ERROR_INSTALL_FAILURE,                     // 1603
    // The version gate refused this Windows (OS class 0).
    SETUP_EXIT_OLD_WINDOWS = ERROR_OLD_WIN_VERSION,                // 1150
    // Another setup program is already running.
    SETUP_EXIT_ALREADY_RUNNING = ERROR_INSTALL_ALREADY_RUNNING,    // 1618
    // The 32-bit setup program on a 64-bit Windows.
    SETUP_EXIT_WRONG_MACHINE = ERROR_EXE_MACHINE_TYPE_MISMATCH     // 216
};

// What the driver step and the removal return when the driver installer ran
// and did not do its work (it failed, crashed, or could not be waited for),
// as against -1 for a failure before it ran: a silent run ends with 1603 for
// it, whatever number the failure box shows.
enum { DRIVER_PACKAGE_FAILED = -2 };

// A failed run's exit code: the failure's last error, or 1603 when it is 0.
DWORD FailureExitCode(DWORD lastError);

// The exit code of a step or removal that returned result, with error as
// its box's number: 1603 when the driver installer ran and failed, else
// FailureExitCode(error).
DWORD StepFailureExitCode(int result, DWORD error);

// What the program ends with: silentCode in silent mode, 0 otherwise.
int SetupExitCode(DWORD silentCode);

#endif
