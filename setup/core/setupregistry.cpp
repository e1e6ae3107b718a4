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

// The registration's values in the order they are written: six strings
// stored with their zero, then three numbers. NoModify and NoRepair:
// removal is the only maintenance there is, so Programs and Features
// offers neither Change nor Repair.
enum { REGISTRATION_STRING_COUNT = 6, REGISTRATION_VALUE_COUNT = 9 };
static const char *const registrationValues[REGISTRATION_VALUE_COUNT] = {
    "DisplayName", "UninstallString", "QuietUninstallString", "DisplayVersion", "DisplayIcon", "InstallLocation",
    "EstimatedSize", "NoModify", "NoRepair" };

static LONG OpenOrCreateLoggedKey(const char *path, HKEY *key)
{
    LONG result = OpenOrCreateKey(path, key);
    if (result != ERROR_SUCCESS)
        LogFailure("open or create HKLM\\", path, (DWORD)result);
    return result;
}

LONG WriteUninstallRegistration(void)
{
    RegistrationTexts texts;
    LONG result = BuildRegistrationTexts(&texts);
    if (result != ERROR_SUCCESS)
        return result;
    HKEY key;
    result = OpenOrCreateLoggedKey(UNINSTALL_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    const char *strings[REGISTRATION_STRING_COUNT] = { UNINSTALL_DISPLAY_NAME, texts.uninstallCommand,
        texts.quietUninstallCommand, ZX_PRODUCT_VERSION, texts.displayIcon, texts.installLocation };
    DWORD numbers[REGISTRATION_VALUE_COUNT - REGISTRATION_STRING_COUNT] = { InstalledKiB(), 1, 1 };
    // A registration without one of its values is not one: the first that
    // cannot be written fails it.
    for (int i = 0; i < REGISTRATION_VALUE_COUNT && result == ERROR_SUCCESS; i++) {
        result = i < REGISTRATION_STRING_COUNT
            ? SetStringWithZero(key, registrationValues[i], strings[i])
            : SetRegistryDword(key, registrationValues[i], numbers[i - REGISTRATION_STRING_COUNT]);
        if (result != ERROR_SUCCESS)
            LogFailure("write the registration's ", registrationValues[i], (DWORD)result);
    }
    RegCloseKey(key);
    return result;
}

ZERO_FILLED BOOL keptCalibration;

// Reads name as the driver reads it: ERROR_SUCCESS for a 4-byte REG_DWORD;
// ERROR_FILE_NOT_FOUND when it is missing or in another form (another
// type or size), which the driver ignores; any other error means that the
// value cannot be told, which is logged.
static LONG ReadDwordValue(HKEY key, const char *name, DWORD *value)
{
    DWORD type = 0, size = sizeof(*value);
    LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size);
    if (result == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof(*value)))
        result = ERROR_FILE_NOT_FOUND;
    if (result == ERROR_MORE_DATA)
        result = ERROR_FILE_NOT_FOUND;
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        LogFailure("read the parameter ", name, (DWORD)result);
    return result;
}

static BOOL IsCalibrationValue(const char *name)
{
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++)
        if (!lstrcmpiA(name, CalibrationValueNames[i]))
            return TRUE;
    return FALSE;
}

// Whether the calibration is there whole: ERROR_SUCCESS and keep TRUE when
// all eleven are in the driver's form, keep FALSE when one is not; a value
// that cannot be read is an error, never taken for a missing calibration.
static LONG FindCalibration(HKEY key, BOOL *keep, DWORD *calibrated)
{
    *keep = TRUE;
    DWORD value = 0;
    for (int i = 0; i < CALIBRATION_VALUE_COUNT && *keep; i++) {
        LONG result = ReadDwordValue(key, CalibrationValueNames[i], i == CAL_CALIBRATION_4PT ? calibrated : &value);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            return result;
        *keep = result == ERROR_SUCCESS;
    }
    return ERROR_SUCCESS;
}

// A repair or an upgrade keeps what the user set: the calibration (its
// eleven values only mean something together, so they are kept whole or
// all written anew) and each other setting that is there in the driver's
// form. What is missing or of another type or size gets its default; a
// first installation therefore writes all nineteen in the table's order.
// Every value must be there for the driver: the first that cannot be read
// or written fails the whole, with its name in the log.
static LONG WriteDefaultParameters(void)
{
    HKEY key;
    LONG result = OpenOrCreateLoggedKey(TOUCH_PARAMETERS_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    BOOL keepCalibration;
    DWORD value = 0, calibrated = 0;
    result = FindCalibration(key, &keepCalibration, &calibrated);
    keptCalibration = result == ERROR_SUCCESS && keepCalibration && calibrated == 1;
    if (result == ERROR_SUCCESS)
        SetupLog(keepCalibration ? "Parameters: the calibration is kept"
                                 : "Parameters: the calibration is written with its defaults");
    for (int i = 0; i < TOUCH_PARAMETER_COUNT && result == ERROR_SUCCESS; i++) {
        const char *name = DefaultTouchParameters[i].name;
        BOOL calibration = IsCalibrationValue(name);
        if (calibration ? keepCalibration : (result = ReadDwordValue(key, name, &value)) == ERROR_SUCCESS)
            continue;
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            break;
        value = DefaultTouchParameters[i].defaultValue;
        result = SetRegistryDword(key, name, value);
        if (result != ERROR_SUCCESS)
            LogFailure("write the parameter ", name, (DWORD)result);
        else if (!calibration)
            SetupLog("Parameters: %s written with its default %lu", name, value);
    }
    RegCloseKey(key);
    return result;
}

// Written at every installation, never removed. They are the user's own
// settings: one that cannot be written is passed over, and the log says so.
static void WriteDoubleClickSettings(void)
{
    HKEY key;
    LONG result = RegCreateKeyA(HKEY_LOCAL_MACHINE, MOUSE_SETTINGS_KEY, &key);
    if (result != ERROR_SUCCESS) {
        LogFailure("open HKLM\\", MOUSE_SETTINGS_KEY, (DWORD)result);
        return;
    }
    // Without their terminating zeros, as they have always been stored.
    static const char *const settings[][2] = {
        { "DoubleClickHeight", "25" }, { "DoubleClickWidth", "25" }, { "DoubleClickSpeed", "100" } };
    for (int i = 0; i < 3; i++) {
        result = SetRegistryString(key, settings[i][0], settings[i][1], (DWORD)lstrlenA(settings[i][1]));
        if (result != ERROR_SUCCESS)
            LogFailure("write the double-click setting ", settings[i][0], (DWORD)result);
    }
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

// Whether root\path holds subkeys: a key that Windows refuses to delete
// only for them is kept by another program's keys, not by a failure.
static BOOL KeyHasSubkeys(HKEY root, const char *path)
{
    HKEY key;
    DWORD subkeys = 0;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return FALSE;
    LONG result = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subkeys > 0;
}

// Deletes the subkey name of the open key parent (parentPath under HKLM),
// one level deep: ERROR_SUCCESS when it is gone or was not there, or when
// subkeys of its own keep it (*kept TRUE then, logged); otherwise the error,
// logged.
static LONG DeleteOwnKey(HKEY parent, const char *parentPath, const char *name, BOOL *kept)
{
    *kept = FALSE;
    LONG result = RegDeleteKeyA(parent, name);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    char path[SETUP_PATH_MAX];
    if (FormatBounded(path, sizeof(path), "%s\\%s", parentPath, name) && KeyHasSubkeys(HKEY_LOCAL_MACHINE, path)) {
        SetupLog("HKLM\\%s stays: it holds subkeys of its own", path);
        *kept = TRUE;
        return ERROR_SUCCESS;
    }
    LogFailure("delete the key ", name, (DWORD)result);
    return result;
}

// Opens HKLM\path with full access to delete in it: ERROR_SUCCESS with key,
// ERROR_FILE_NOT_FOUND (key NULL) when it is not there, else the error, logged.
static LONG OpenToDelete(const char *path, HKEY *key)
{
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key);
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND)
        return ERROR_FILE_NOT_FOUND;
    if (result != ERROR_SUCCESS)
        LogFailure("open HKLM\\", path, (DWORD)result);
    return result;
}

// Deletes each of names in the open key; the first error, logged.
static LONG DeleteValues(HKEY key, const char *const *names, int count)
{
    LONG first = ERROR_SUCCESS;
    for (int i = 0; i < count; i++) {
        LONG result = RegDeleteValueA(key, names[i]);
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
            continue;
        LogFailure("delete the value ", names[i], (DWORD)result);
        if (first == ERROR_SUCCESS)
            first = result;
    }
    return first;
}

LONG RemoveUninstallRegistration(void)
{
    HKEY parent;
    LONG result = OpenToDelete(UNINSTALL_PARENT_KEY, &parent);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    // The key whole first: its values go with it.
    BOOL kept;
    result = DeleteOwnKey(parent, UNINSTALL_PARENT_KEY, UNINSTALL_KEY_NAME, &kept);
    if (result == ERROR_SUCCESS && kept) {
        // Another program's subkey keeps the key: only our values go, and
        // with DisplayName gone the product is no longer listed. A value that
        // stays puts the registration back whole.
        HKEY key;
        result = OpenToDelete(UNINSTALL_KEY, &key);
        if (result == ERROR_SUCCESS) {
            result = DeleteValues(key, registrationValues, REGISTRATION_VALUE_COUNT);
            RegCloseKey(key);
        }
        if (result != ERROR_SUCCESS)
            WriteUninstallRegistration();
    }
    if (result == ERROR_SUCCESS)
        SetupLog("The registration (" UNINSTALL_KEY_NAME ") is gone");
    // The registry reaches the disk lazily: after a power cut the key could
    // come back while the installation folder, deleted next, would not.
    LONG flushed = RegFlushKey(parent);
    if (flushed != ERROR_SUCCESS)
        LogFailure("flush HKLM\\", UNINSTALL_PARENT_KEY, (DWORD)flushed);
    RegCloseKey(parent);
    return result;
}

LONG RemoveDriverRegistry(void)
{
    HKEY key;
    LONG first = ERROR_SUCCESS, result = OpenToDelete(TOUCH_PARAMETERS_KEY, &key);
    if (result == ERROR_SUCCESS) {
        const char *names[TOUCH_PARAMETER_COUNT];
        for (int i = 0; i < TOUCH_PARAMETER_COUNT; i++)
            names[i] = DefaultTouchParameters[i].name;
        first = DeleteValues(key, names, TOUCH_PARAMETER_COUNT);
        RegCloseKey(key);
    } else if (result != ERROR_FILE_NOT_FOUND) {
        first = result;
    }
    // Each one level deep: a key that still holds subkeys of another's stays,
    // with everything below it.
    static const char *const serviceKeys[][2] = {
        { TOUCH_SERVICE_KEY, "Parameters" }, { TOUCH_SERVICE_KEY, "Enum" }, { TOUCH_SERVICE_KEY, "Security" },
        { TOUCH_SERVICES_KEY, TOUCH_SERVICE_NAME } };
    for (int i = 0; i < 4; i++) {
        BOOL kept;
        result = OpenToDelete(serviceKeys[i][0], &key);
        if (result == ERROR_SUCCESS) {
            result = DeleteOwnKey(key, serviceKeys[i][0], serviceKeys[i][1], &kept);
            RegCloseKey(key);
        }
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND && first == ERROR_SUCCESS)
            first = result;
    }
    return first;
}

int ApplySetupRegistry(DWORD install)
{
    if (install)
        return InstallRegistry();
    RemoveUninstallRegistration();
    RemoveDriverRegistry();
    return SETUP_REGISTRY_DONE;
}

LONG FindUninstallRegistration(BOOL *found)
{
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key);
    *found = result == ERROR_SUCCESS;
    if (*found)
        RegCloseKey(key);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND)
        return ERROR_SUCCESS;
    // Cannot tell: it counts as there.
    LogFailure("check HKLM\\", UNINSTALL_KEY, (DWORD)result);
    *found = TRUE;
    return result;
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
