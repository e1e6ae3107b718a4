// ApplySetupRegistry and DeleteRegistrySubkey: the product's registration,
// the driver's parameters and the double-click settings, and their removal.
// Keys are opened with full access first and created only when that fails.
// Some strings are stored with their terminating zero and some without, as
// Windows 9x and the driver have always seen them; on the NT family the
// registry appends the zero itself to a string written without one, so
// there the difference does not show.
#include <windows.h>
#include "setupregistry.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "touchparams.h"
#include "setuplog.h"
#include "zerofilled.h"
#include "registry.h"

// UninstallString has always been stored without quotes. The quiet command
// is new and meant for deployment tools, which hand it to CreateProcess as
// it stands: quoted, a blank in the Windows folder's path cannot make it
// start some other program.
#define UNINSTALL_COMMAND_FORMAT       "%s\\" INSTALL_FOLDER_NAME "\\Install.exe /u"
#define QUIET_UNINSTALL_COMMAND_FORMAT "\"%s\\" INSTALL_FOLDER_NAME "\\Install.exe\" /u /S"
// Install.exe's first icon (the lowest-numbered group) stands for the product.
#define DISPLAY_ICON_FORMAT            "%s\\" INSTALL_FOLDER_NAME "\\Install.exe,0"
#define INSTALL_LOCATION_FORMAT        "%s\\" INSTALL_FOLDER_NAME

enum { UNINSTALL_TEXT_MAX = 512 };

// REG_SZ with its terminating zero stored.
static LONG SetStringWithZero(HKEY key, const char *name, const char *text)
{
    return SetRegistryString(key, name, text, (DWORD)lstrlenA(text) + 1);
}

// Full access, and created with its missing parents when it does not open.
static LONG OpenOrCreateKey(const char *path, HKEY *key)
{
    return OpenRegistryKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, REGISTRY_CREATE, key);
}

// The registration's texts, all built on windowsDir before anything is
// written.
struct RegistrationTexts {
    char uninstallCommand[UNINSTALL_TEXT_MAX];
    char quietUninstallCommand[UNINSTALL_TEXT_MAX];
    char displayIcon[UNINSTALL_TEXT_MAX];
    char installLocation[UNINSTALL_TEXT_MAX];
};

// No Windows folder resolved, or one too long for the buffers, gives no
// texts: a registration that starts some other program, or none, is worse
// than none.
static LONG BuildRegistrationTexts(RegistrationTexts *texts)
{
    if (!windowsDir[0])
        return ERROR_BAD_PATHNAME;
    if (!FormatBounded(texts->uninstallCommand, UNINSTALL_TEXT_MAX, UNINSTALL_COMMAND_FORMAT, windowsDir)
        || !FormatBounded(texts->quietUninstallCommand, UNINSTALL_TEXT_MAX, QUIET_UNINSTALL_COMMAND_FORMAT,
                          windowsDir)
        || !FormatBounded(texts->displayIcon, UNINSTALL_TEXT_MAX, DISPLAY_ICON_FORMAT, windowsDir)
        || !FormatBounded(texts->installLocation, UNINSTALL_TEXT_MAX, INSTALL_LOCATION_FORMAT, windowsDir))
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

// Whether WriteUninstallRegistration's result says that windowsDir gave no
// sound texts (nothing written) rather than that the key was refused.
static BOOL RegistrationUnbuildable(LONG result)
{
    return result == ERROR_BAD_PATHNAME || result == ERROR_FILENAME_EXCED_RANGE;
}

// The disk space of the installed product in KiB, rounded up: the ten files
// of the installation folder and the second copies of the running OS class.
// Files that are not there count nothing.
static DWORD InstalledKiB(void)
{
    ULONGLONG bytes = 0;
    char path[SETUP_PATH_MAX];
    WIN32_FILE_ATTRIBUTE_DATA data;
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            if (InstalledCopyPath(i, second, path) && GetFileAttributesExA(path, GetFileExInfoStandard, &data))
                bytes += ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    return (DWORD)((bytes + 1023) / 1024);
}

LONG WriteUninstallRegistration(void)
{
    RegistrationTexts texts;
    LONG result = BuildRegistrationTexts(&texts);
    if (result != ERROR_SUCCESS)
        return result;
    HKEY key;
    result = OpenOrCreateKey(UNINSTALL_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    SetStringWithZero(key, "DisplayName", UNINSTALL_DISPLAY_NAME);
    SetStringWithZero(key, "UninstallString", texts.uninstallCommand);
    SetStringWithZero(key, "QuietUninstallString", texts.quietUninstallCommand);
    SetStringWithZero(key, "DisplayVersion", ZX_PRODUCT_VERSION);
    SetStringWithZero(key, "DisplayIcon", texts.displayIcon);
    SetStringWithZero(key, "InstallLocation", texts.installLocation);
    SetRegistryDword(key, "EstimatedSize", InstalledKiB());
    // Removal is the only maintenance there is: Programs and Features then
    // offers neither Change nor Repair.
    SetRegistryDword(key, "NoModify", 1);
    SetRegistryDword(key, "NoRepair", 1);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

ZERO_FILLED BOOL keptCalibration;

// Whether name holds a 4-byte REG_DWORD, the only form the driver reads.
static BOOL HasDwordValue(HKEY key, const char *name, DWORD *value)
{
    DWORD type = 0, size = sizeof(*value);
    return RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size) == ERROR_SUCCESS && type == REG_DWORD
        && size == sizeof(*value);
}

static BOOL IsCalibrationValue(const char *name)
{
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++)
        if (!lstrcmpiA(name, CalibrationValueNames[i]))
            return TRUE;
    return FALSE;
}

// A repair or an upgrade keeps what the user set: the calibration (its
// eleven values only mean something together, so they are kept whole or
// all written anew) and each other setting that is there in the driver's
// form. What is missing or of another type or size gets its default; a
// first installation therefore writes all nineteen in the table's order.
static LONG WriteDefaultParameters(void)
{
    HKEY key;
    LONG result = OpenOrCreateKey(TOUCH_PARAMETERS_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    BOOL keepCalibration = TRUE;
    DWORD value = 0, calibrated = 0;
    for (int i = 0; i < CALIBRATION_VALUE_COUNT && keepCalibration; i++)
        keepCalibration = HasDwordValue(key, CalibrationValueNames[i], i == CAL_CALIBRATION_4PT ? &calibrated : &value);
    keptCalibration = keepCalibration && calibrated == 1;
    SetupLog(keepCalibration ? "Parameters: the calibration is kept"
                             : "Parameters: the calibration is written with its defaults");
    // Single values that cannot be set are passed over: the driver falls back
    // on its own default for a missing value.
    for (int i = 0; i < TOUCH_PARAMETER_COUNT; i++) {
        const char *name = DefaultTouchParameters[i].name;
        BOOL calibration = IsCalibrationValue(name);
        if (calibration ? keepCalibration : HasDwordValue(key, name, &value))
            continue;
        value = DefaultTouchParameters[i].defaultValue;
        SetRegistryDword(key, name, value);
        if (!calibration)
            SetupLog("Parameters: %s written with its default %lu", name, value);
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

// Written at every installation, never removed.
static void WriteDoubleClickSettings(void)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, MOUSE_SETTINGS_KEY, &key) != ERROR_SUCCESS)
        return;
    // Without their terminating zeros, as they have always been stored.
    SetRegistryString(key, "DoubleClickHeight", "25", 2);
    SetRegistryString(key, "DoubleClickWidth", "25", 2);
    SetRegistryString(key, "DoubleClickSpeed", "100", 3);
    RegCloseKey(key);
}

static int InstallRegistry(void)
{
    keptCalibration = FALSE;
    // Without sound texts the product is not registered at all, but the
    // driver still gets its parameters.
    LONG registration = WriteUninstallRegistration();
    if (registration != ERROR_SUCCESS && !RegistrationUnbuildable(registration)) {
        SetLastError(registration);
        return SETUP_REGISTRY_NO_KEY;
    }
    LONG result = WriteDefaultParameters();
    if (result != ERROR_SUCCESS) {
        SetLastError(result);
        return SETUP_REGISTRY_NO_KEY;
    }
    WriteDoubleClickSettings();
    if (registration != ERROR_SUCCESS) {
        SetLastError(registration);
        return SETUP_REGISTRY_NO_KEY;
    }
    return SETUP_REGISTRY_DONE;
}

// Every deletion is one level deep: a key that still holds subkeys stays,
// with everything below it.
void RemoveUninstallRegistration(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "DisplayName");
        RegDeleteValueA(key, "UninstallString");
        RegCloseKey(key);
    }
    DeleteRegistrySubkey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT_KEY, UNINSTALL_KEY_NAME);
}

void RemoveDriverRegistry(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (int i = 0; i < TOUCH_PARAMETER_COUNT; i++)
            RegDeleteValueA(key, DefaultTouchParameters[i].name);
        RegCloseKey(key);
    }
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TOUCH_SERVICE_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteKeyA(key, "Parameters");
        RegDeleteKeyA(key, "Enum");
        RegDeleteKeyA(key, "Security");
        RegCloseKey(key);
    }
    DeleteRegistrySubkey(HKEY_LOCAL_MACHINE, TOUCH_SERVICES_KEY, TOUCH_SERVICE_NAME);
}

int ApplySetupRegistry(DWORD install)
{
    if (install)
        return InstallRegistry();
    RemoveUninstallRegistration();
    RemoveDriverRegistry();
    return SETUP_REGISTRY_DONE;
}

LONG DeleteRegistrySubkey(HKEY root, const char *parentPath, const char *name)
{
    HKEY parent;
    LONG result = RegOpenKeyExA(root, parentPath, 0, KEY_ALL_ACCESS, &parent);
    if (result != ERROR_SUCCESS)
        return result;
    RegDeleteKeyA(parent, name);
    return RegCloseKey(parent);
}
