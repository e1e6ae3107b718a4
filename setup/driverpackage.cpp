// Step 1 of the installation: the product's registry work and the driver
// package. On the NT class the driver installer Velqar.exe, shipped beside
// Install.exe, installs the package and is judged by its exit code alone
// (2 and a crash's status are failure, anything else success); on Vista and
// later the driver's parameter key is then opened to ordinary accounts. On
// the Windows 9x class the Setup API copies the installed INF and the device
// keys are updated.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "keysecurity.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "osclass.h"

// Both paths point into the medium (sourceDir), not the installation folder.
#define DRIVER_INSTALLER_FORMAT "%s\\Velqar.exe"
#define DRIVER_SETUP_FORMAT     "\"%s\\Velqar.exe\" \"%s\\Velqar.inf\" %d setup"
#define INSTALLED_INF_FORMAT    "%s\\ZentaroxUsb\\Velqar.inf"

typedef BOOL (WINAPI *SetupCopyOemInfProc)(PCSTR sourceInf, PCSTR mediaLocation, DWORD mediaType,
                                           DWORD copyStyle, PSTR destinationName, DWORD destinationSize,
                                           PDWORD requiredSize, PSTR *destinationComponent);

// Runs the driver installer hidden from sourceDir and waits for it without a
// time limit (installing a driver package may take long, and there is no
// sound point at which to give up on it), keeping the wizard's page painted
// and answering meanwhile. FALSE with the start's error when it cannot be
// started. Otherwise TRUE: ended tells whether the wait saw it end, with its
// exit code; lastError is the last error after the code was read, or the
// wait's error.
static BOOL RunDriverInstaller(BOOL *ended, DWORD *exitCode, DWORD *lastError)
{
    char application[SETUP_PATH_MAX];
    // Room for the longest sourceDir twice: the command line is never cut.
    char commandLine[2 * SETUP_PATH_MAX + 64];
    if (!FolderResolved(sourceDir)
        || !FormatBounded(application, sizeof(application), DRIVER_INSTALLER_FORMAT, sourceDir)
        || !FormatBounded(commandLine, sizeof(commandLine), DRIVER_SETUP_FORMAT, sourceDir, sourceDir, osClass))
        return FALSE;
    SetupLog("Driver installer: %s", commandLine);
    PROCESS_INFORMATION process;
    if (!StartSetupProcess(application, commandLine, sourceDir, SW_HIDE, &process)) {
        SetupLog("The driver installer could not be started: error %lu", GetLastError());
        return FALSE;
    }
    *ended = WaitForDriverInstaller(process.hProcess, exitCode);
    *lastError = GetLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

static int InstallNtDriverPackage(void)
{
    // Registration and parameter defaults come first: the driver reads its
    // parameters when the installer starts it. The result does not decide.
    ApplySetupRegistry(1);
    BOOL ended;
    DWORD exitCode, lastError;
    if (!RunDriverInstaller(&ended, &exitCode, &lastError))
        return -1;
    // A wait that failed has no exit code to report.
    if (ended)
        SetupTrace("Process \"%s\" return%d(%d:0x%08X)\n", sourceDir, osClass, (int)exitCode, lastError);
    // Whatever the installer reported: the key exists by now either way.
    if (IsVistaOrLaterClass(osClass))
        SetParametersKeySecurity();
    if (!ended || DriverInstallerFailed(exitCode)) {
        // The box's number: for a crash its exception status, which is what
        // a helpdesk looks up.
        SetLastError(ended && exitCode != DRIVER_INSTALLER_FAILED ? exitCode : lastError);
        return DRIVER_PACKAGE_FAILED;
    }
    if (exitCode == 0)
        SetLastError(0);
    return 0;
}

DWORD CopyOemInfPackage(void)
{
    char inf[SETUP_PATH_MAX];
    if (!FolderResolved(windowsDir) || !FormatBounded(inf, sizeof(inf), INSTALLED_INF_FORMAT, windowsDir))
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
    // Neither result stops the installation: without the Setup API the
    // device keys still name the driver.
    CopyOemInfPackage();
    UpdateLegacyDeviceRegistry(1);
    return 0;
}

int InstallDriverPackage(void)
{
    return IsWin9xClass(osClass) ? InstallLegacyDriverPackage() : InstallNtDriverPackage();
}
