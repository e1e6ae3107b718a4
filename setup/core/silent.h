// Install.exe without a screen, for deployment tools and scripts:
// "Install.exe /S" installs and "Install.exe /u /S" removes with nothing
// shown (setupmessage.h), and both end with an exit code a script can act
// on (exitcode.h). Here: the command tails that choose a road, and the
// installation road without the wizard.
#ifndef SILENT_H
#define SILENT_H

#include <windows.h>

// The command tails that ask for something other than the wizard, each
// compared byte for byte: exactly "/u" (the removal), "/S" (the silent
// installation) and "/u /S" (the silent removal). Anything else ("/U",
// "/u ", "/s", "/S ", "/u  /S") starts the wizard.
BOOL IsUninstallArgument(const char *commandTail);
BOOL IsSilentArgument(const char *commandTail);
BOOL IsSilentUninstallArgument(const char *commandTail);

// The wizard's installation without the wizard: the same steps in the same
// order, the same clean-up after a failed step, and after a complete run
// what Finish does (the Run value unless a calibration was kept); no
// restart, and the calibration program is not started (the Run value brings
// it up at the next logon). 3010 when complete, the logon entry included;
// otherwise the failed step's StepFailureExitCode, or the error of a logon
// entry that could not be written.
DWORD RunSilentInstallation(void);

#endif
