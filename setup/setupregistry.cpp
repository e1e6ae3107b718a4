// ApplySetupRegistry, DeleteRegistrySubkey and UpdateLegacyDeviceRegistry.
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

#define UNINSTALL_COMMAND_FORMAT "%s\\" INSTALL_FOLDER_NAME "\\Install.exe /u"

#define LEGACY_INSTANCE_KEY_FORMAT "Enum\\USB\\VID_3C5E&PID_0001\\INST_%d"
#define LEGACY_CLASS_KEY_FORMAT    "System\\CurrentControlSet\\Services\\Class\\%s"
#define LEGACY_DEVICE_DESCRIPTION  "Zentarox USB Touchscreen"
#define LEGACY_DRIVERS_INSTALLED   "Velqar.sys,HidUsb.Sys"
#define LEGACY_DRIVERS_REMOVED     "HidUsb.Sys"

enum {
    UNINSTALL_TEXT_MAX = 512,
    LEGACY_INSTANCE_COUNT = 10,
    LEGACY_DESCRIPTION_MAX = 64     // the class driver's description as read back
};

// REG_SZ with the data size either with or without the terminating zero.
static LONG SetStringValue(HKEY key, const char *name, const char *text, BOOL withZero)
{
    DWORD size = (DWORD)lstrlenA(text) + (withZero ? 1 : 0);
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, size);
}

static LONG OpenOrCreateKey(const char *path, HKEY *key)
{
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    // Creates missing parent keys with it.
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, key, NULL);
}

// The uninstall command: the installed copy of Install.exe with "/u". No
// Windows folder resolved, or one too long for the buffer, gives no command.
static LONG BuildUninstallCommand(char *command, int size)
{
    if (!windowsDir[0])
        return ERROR_BAD_PATHNAME;
    if (!FormatBounded(command, size, UNINSTALL_COMMAND_FORMAT, windowsDir))
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

// The registration in the system's list of removable software.
static LONG WriteUninstallRegistration(const char *command)
{
    HKEY key;
    LONG result = OpenOrCreateKey(UNINSTALL_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    SetStringValue(key, "DisplayName", UNINSTALL_DISPLAY_NAME, TRUE);
    SetStringValue(key, "UninstallString", command, TRUE);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

static LONG WriteDefaultParameters(void)
{
    HKEY key;
    LONG result = OpenOrCreateKey(TOUCH_PARAMETERS_KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    // Single values that cannot be set are passed over: the driver falls back
    // on its own default for a missing value.
    for (int i = 0; i < TOUCH_PARAMETER_COUNT; i++) {
        DWORD value = DefaultTouchParameters[i].defaultValue;
        RegSetValueExA(key, DefaultTouchParameters[i].name, 0, REG_DWORD, (const BYTE *)&value, sizeof(value));
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
    SetStringValue(key, "DoubleClickHeight", "25", FALSE);
    SetStringValue(key, "DoubleClickWidth", "25", FALSE);
    SetStringValue(key, "DoubleClickSpeed", "100", FALSE);
    RegCloseKey(key);
}

static int InstallRegistry(void)
{
    // Without a sound uninstall command the product is not registered at all
    // (a registration that starts some other program, or none, is worse than
    // none), but the driver still gets its parameters.
    char command[UNINSTALL_TEXT_MAX];
    LONG commandResult = BuildUninstallCommand(command, sizeof(command));
    if (commandResult == ERROR_SUCCESS) {
        LONG result = WriteUninstallRegistration(command);
        if (result != ERROR_SUCCESS) {
            SetLastError(result);
            return SETUP_REGISTRY_NO_KEY;
        }
    }
    LONG result = WriteDefaultParameters();
    if (result != ERROR_SUCCESS) {
        SetLastError(result);
        return SETUP_REGISTRY_NO_KEY;
    }
    WriteDoubleClickSettings();
    if (commandResult != ERROR_SUCCESS) {
        SetLastError(commandResult);
        return SETUP_REGISTRY_NO_KEY;
    }
    return SETUP_REGISTRY_DONE;
}

// Every deletion is one level deep: a key that still holds subkeys stays,
// with everything below it.
static int UninstallRegistry(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "DisplayName");
        RegDeleteValueA(key, "UninstallString");
        RegCloseKey(key);
    }
    DeleteRegistrySubkey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT_KEY, UNINSTALL_KEY_NAME);

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
    return SETUP_REGISTRY_DONE;
}

int ApplySetupRegistry(DWORD install)
{
    return install ? InstallRegistry() : UninstallRegistry();
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

// Opens the class key named by the instance's Driver value. FALSE when the
// value is missing, empty (which would name the Class key itself) or makes a
// path too long for the buffer, or when that key does not exist.
static BOOL OpenLegacyClassKey(HKEY instanceKey, HKEY *classKey)
{
    // One byte beyond the 260 the read may fill, so that a string stored
    // without its terminating zero still ends inside the buffer.
    char className[SETUP_PATH_MAX + 1];
    ZeroMemory(className, sizeof(className));
    DWORD size = SETUP_PATH_MAX;
    if (RegQueryValueExA(instanceKey, "Driver", NULL, NULL, (BYTE *)className, &size) != ERROR_SUCCESS)
        return FALSE;
    if (!className[0])
        return FALSE;
    char classPath[SETUP_PATH_MAX];
    if (!FormatBounded(classPath, sizeof(classPath), LEGACY_CLASS_KEY_FORMAT, className))
        return FALSE;
    return RegOpenKeyA(HKEY_LOCAL_MACHINE, classPath, classKey) == ERROR_SUCCESS;
}

static void UpdateLegacyDeviceInstance(int instance, DWORD install)
{
    char instancePath[SETUP_PATH_MAX];
    if (!FormatBounded(instancePath, sizeof(instancePath), LEGACY_INSTANCE_KEY_FORMAT, instance))
        return;
    HKEY instanceKey, classKey;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, instancePath, &instanceKey) != ERROR_SUCCESS)
        return;
    if (!OpenLegacyClassKey(instanceKey, &classKey)) {
        RegCloseKey(instanceKey);
        return;
    }
    char description[LEGACY_DESCRIPTION_MAX + 1];
    ZeroMemory(description, sizeof(description));
    const char *drivers;
    if (install) {
        lstrcpynA(description, LEGACY_DEVICE_DESCRIPTION, sizeof(description));
        drivers = LEGACY_DRIVERS_INSTALLED;
    } else {
        // A description missing or too long for its 64 bytes leaves the
        // device without one: a failed read leaves the buffer's contents
        // undefined, so they are not used.
        DWORD size = LEGACY_DESCRIPTION_MAX;
        if (RegQueryValueExA(classKey, "DriverDesc", NULL, NULL, (BYTE *)description, &size) != ERROR_SUCCESS)
            ZeroMemory(description, sizeof(description));
        drivers = LEGACY_DRIVERS_REMOVED;
    }
    SetStringValue(instanceKey, "DeviceDesc", description, FALSE);
    SetStringValue(classKey, "NTMPDriver", drivers, FALSE);
    RegCloseKey(classKey);
    RegCloseKey(instanceKey);
}

int UpdateLegacyDeviceRegistry(DWORD install)
{
    for (int i = 0; i < LEGACY_INSTANCE_COUNT; i++)
        UpdateLegacyDeviceInstance(i, install);
    return ApplySetupRegistry(install);
}
