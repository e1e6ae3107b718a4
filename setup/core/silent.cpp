// The command tails that choose a road, and the installation road without
// the wizard. It runs the wizard's step table (setupsteps.cpp) in the same
// order with the same clean-up, so that a silent installation leaves
// exactly what the wizard leaves; the silent removal is the "/u" road
// itself, with its questions answered by ShowSetupMessage.
#include <windows.h>
#include "silent.h"
#include "exitcode.h"
#include "install.h"
#include "setupcontext.h"
#include "setuplog.h"

// Byte for byte: a locale's string comparison may take "/s" for "/S".
static BOOL TailIs(const char *commandTail, const char *expected)
{
    if (!commandTail)
        return FALSE;
    while (*expected && *commandTail == *expected) {
        commandTail++;
        expected++;
    }
    return *commandTail == '\0' && *expected == '\0';
}

BOOL IsUninstallArgument(const char *commandTail)
{
    return TailIs(commandTail, "/u");
}

BOOL IsSilentArgument(const char *commandTail)
{
    return TailIs(commandTail, "/S");
}

BOOL IsSilentUninstallArgument(const char *commandTail)
{
    return TailIs(commandTail, "/u /S");
}

DWORD RunSilentInstallation(void)
{
    // As the progress page does when it opens: a folder that cannot be
    // resolved stays empty, and the first step fails with the reason.
    ResolveSetupFolders();
    for (int step = 0; step < SETUP_STEP_COUNT; step++) {
        int result = RunInstallStep(step);
        if (result >= 0)
            continue;
        DWORD error = ReportStepFailure(NULL, step);
        CleanUpFailedStep(step);
        return StepFailureExitCode(result, error);
    }
    // What Finish does after a complete run, with No to its question. The
    // logon entry is part of a complete installation: without it nothing
    // asks for the calibration, so the run does not report success.
    LogStageStart("finish");
    LONG runEntry;
    FinishInstallation(NULL, &runEntry);
    LogStageEnd("finish", runEntry == ERROR_SUCCESS ? 0 : -1, (DWORD)runEntry);
    return runEntry == ERROR_SUCCESS ? (DWORD)SETUP_EXIT_RESTART_NEEDED : FailureExitCode((DWORD)runEntry);
}
