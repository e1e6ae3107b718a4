// Step 1 of the installation: the product's registry work and the driver
// package. On the NT class the driver installer Velqar.exe, shipped beside
// Install.exe, installs the package and is judged by its exit code alone
// (2 and a crash's status are failure, anything else success); on Vista and
// later the driver's parameter key is then opened to ordinary accounts. On
// the Windows 9x class the Setup API copies the installed INF and the device
// keys are updated. The registration, the parameters, the device keys and
// the key's access rights are all the step's work: each that cannot be
// written fails it, with the registry's error.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "legacydevice.h"
#include "driverinstaller.h"
#include "exitcode.h"
#include "keysecurity.h"
#include "setuplog.h"
#include "osclass.h"

typedef BOOL (WINAPI *SetupCopyOemInfProc)(PCSTR sourceInf, PCSTR mediaLocation, DWORD mediaType,
                                           DWORD copyStyle, PSTR destinationName, DWORD destinationSize,
                                           PDWORD requiredSize, PSTR *destinationComponent);

static int InstallNtDriverPackage(void)
{
    // Registration and parameter defaults come first: the driver reads its
    // parameters when the installer starts it, and without them it is not
    // started at all.
    if (ApplySetupRegistry(1) != SETUP_REGISTRY_DONE)
        return -1;
    DriverInstallerRun run;
    if (!RunDriverSetup(&run))
        return -1;
    // A wait that failed has no exit code to report.
    if (run.ended)
        SetupTrace("Process \"%s\" return%d(%d:0x%08X)\n", sourceDir, osClass, (int)run.exitCode, run.error);
    // Whatever the installer reported: the key exists by now either way.
    DWORD security = IsVistaOrLaterClass(osClass) ? SetParametersKeySecurity() : ERROR_SUCCESS;
    if (DriverInstallerRunFailed(&run)) {
        // The box's number: for a crash its exception status, which is what
        // a helpdesk looks up.
        SetLastError(run.ended && run.exitCode != DRIVER_INSTALLER_FAILED ? run.exitCode : run.error);
        return DRIVER_PACKAGE_FAILED;
    }
    if (security != ERROR_SUCCESS) {
        SetLastError(security);
        return -1;
    }
    if (run.exitCode == 0)
        SetLastError(0);
    return 0;
}

DWORD CopyOemInfPackage(void)
{
    // The installed copy, in the spelling the Setup API has always been given.
    char inf[SETUP_PATH_MAX];
    if (!InstallFolderFilePath(INSTALL_FOLDER_RUN_SPELLING, "Velqar.inf", inf))
        return GetLastError();
    // Loaded by name: the NT-class path never needs it.
    HMODULE setupApi = LoadLibraryA("Setupapi.dll");
    if (!setupApi)
        return GetLastError();
    SetupCopyOemInfProc copyOemInf =
        (SetupCopyOemInfProc)(void (*)(void))GetProcAddress(setupApi, "SetupCopyOEMInfA");
    if (!copyOemInf) {
        DWORD error = GetLastError();
        FreeLibrary(setupApi);
        return error;
    }
    char destination[SETUP_PATH_MAX];
    ZeroMemory(destination, sizeof(destination));
    BOOL copied = copyOemInf(inf, NULL, 0 /* SPOST_NONE */, 0, destination, sizeof(destination), NULL, NULL);
    DWORD error = copied ? 0 : GetLastError();
    FreeLibrary(setupApi);
    return error;
}

static int InstallLegacyDriverPackage(void)
{
    // Without the Setup API the device keys still name the driver; without
    // the device keys or the registry nothing would.
    CopyOemInfPackage();
    return UpdateLegacyDeviceRegistry(1) == SETUP_REGISTRY_DONE ? 0 : -1;
}

int InstallDriverPackage(void)
{
    return IsWin9xClass(osClass) ? InstallLegacyDriverPackage() : InstallNtDriverPackage();
}
