// The installation as a sequence of steps, with no window code: the wizard's
// progress page runs one step per timer tick, and any other road through the
// installation runs the same table. A step that fails leaves its message and
// the clean-up of what the run made to the caller.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"

struct SetupStepEntry {
    int (*run)(void);
    const char *failureFormat;   // last error, OS class code
    BOOL cleanUp;                // remove what the run made after a failure
};

static const SetupStepEntry setupSteps[SETUP_STEP_COUNT] = {
    { CopySetupFiles, "Setup file fail(%d:%d).", TRUE },
    { InstallDriverPackage, "Setup driver fail(%d:%d).", TRUE },
    // Never fails as written; a failure would stop here and keep what is done.
    { CreateStartMenuShortcuts, "Create shutcut fail(%d:%d).", FALSE },
};

void BeginInstallation(void)
{
}

int RunInstallStep(int step)
{
    return setupSteps[step].run();
}

void FormatStepFailure(int step, DWORD error, char *text, int size)
{
    FormatBounded(text, size, setupSteps[step].failureFormat, (int)error, osClass);
}

void CleanUpFailedStep(int step)
{
    if (setupSteps[step].cleanUp)
        RemoveInstalledFiles();
}
