// Install.exe without a screen, for deployment tools and scripts:
// "Install.exe /S" installs and "Install.exe /u /S" removes with nothing
// shown, and both end with an exit code a script can act on. Every message
// box of the setup program goes through ShowSetupMessage, which in silent
// mode writes the box's text to the debug trace instead.
#ifndef SILENT_H
#define SILENT_H

#include <windows.h>

// --- setupmessage.cpp ------------------------------------------------------------
// Set by the program's entry, before anything can show a box, when the
// command tail asks for a silent run.
extern BOOL silentMode;

// MessageBoxA(owner, text, caption, type); in silent mode no box: the text
// goes to the debug trace word for word, on a line of its own, and the
// result is silentAnswer (the answer a silent run gives: IDOK, or IDYES /
// IDNO to a question). The thread's last error is the same after the call
// as before, so a caller can show a failure and still hand its error on.
int ShowSetupMessage(HWND owner, const char *text, const char *caption, UINT type, int silentAnswer);

// --- silent.cpp --------------------------------------------------------------------
// The command tails that ask for something other than the wizard, each
// compared byte for byte: exactly "/u" (the removal), "/S" (the silent
// installation) and "/u /S" (the silent removal). Anything else ("/U",
// "/u ", "/s", "/S ", "/u  /S") starts the wizard.
BOOL IsUninstallArgument(const char *commandTail);
BOOL IsSilentArgument(const char *commandTail);
BOOL IsSilentUninstallArgument(const char *commandTail);

// Exit codes of the silent modes; the interactive modes always end with 0.
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

// A failed run's exit code: the failure's last error, or 1603 when it is 0.
DWORD FailureExitCode(DWORD lastError);

// What the program ends with: silentCode in silent mode, 0 otherwise.
int SetupExitCode(DWORD silentCode);

// The wizard's installation without the wizard: the same steps in the same
// order, the same clean-up after a failed step, and after a complete run
// the Run value that Finish writes; no restart, and the calibration program
// is not started (the Run value brings it up at the next logon). 3010 when
// complete, otherwise FailureExitCode of the failed step's error.
DWORD RunSilentInstallation(void);

#endif
