// UpdateLegacyDeviceRegistry: the controller's Windows 9x device keys. The
// device instances the controller may have been enumerated as (INST_0 to
// INST_9) name their class keys in their Driver value; installation points
// both at the touch driver, removal puts the class driver's own description
// and the plain HID driver back. Strings are stored without their
// terminating zero, as Windows 9x has always seen them.
#include <windows.h>
#include "legacydevice.h"
#include "setupregistry.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "registry.h"
#include "setuplog.h"

#define LEGACY_INSTANCE_KEY_FORMAT "Enum\\USB\\VID_3C5E&PID_0001\\INST_%d"
#define LEGACY_CLASS_KEY_FORMAT    "System\\CurrentControlSet\\Services\\Class\\%s"
#define LEGACY_DEVICE_DESCRIPTION  "Zentarox USB Touchscreen"
#define LEGACY_DRIVERS_INSTALLED   "Velqar.sys,HidUsb.Sys"
#define LEGACY_DRIVERS_REMOVED     "HidUsb.Sys"

enum {
    LEGACY_INSTANCE_COUNT = 10,
    LEGACY_DESCRIPTION_MAX = 64     // the class driver's description as read back
};

// REG_SZ without its terminating zero; a failure is logged.
static LONG SetStringWithoutZero(HKEY key, const char *name, const char *text)
{
    LONG result = SetRegistryString(key, name, text, (DWORD)lstrlenA(text));
    if (result != ERROR_SUCCESS)
        LogFailure("write the device's ", name, (DWORD)result);
    return result;
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

// The first write that failed, or ERROR_SUCCESS (also for an instance
// that is not there or has no usable class key).
static LONG UpdateLegacyDeviceInstance(int instance, DWORD install)
{
    char instancePath[SETUP_PATH_MAX];
    if (!FormatBounded(instancePath, sizeof(instancePath), LEGACY_INSTANCE_KEY_FORMAT, instance))
        return ERROR_SUCCESS;
    HKEY instanceKey, classKey;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, instancePath, &instanceKey) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    if (!OpenLegacyClassKey(instanceKey, &classKey)) {
        RegCloseKey(instanceKey);
        return ERROR_SUCCESS;
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
    LONG result = SetStringWithoutZero(instanceKey, "DeviceDesc", description);
    LONG driverList = SetStringWithoutZero(classKey, "NTMPDriver", drivers);
    RegCloseKey(classKey);
    RegCloseKey(instanceKey);
    return result != ERROR_SUCCESS ? result : driverList;
}

LONG UpdateLegacyDeviceKeys(DWORD install)
{
    LONG first = ERROR_SUCCESS;
    for (int i = 0; i < LEGACY_INSTANCE_COUNT; i++) {
        LONG result = UpdateLegacyDeviceInstance(i, install);
        if (first == ERROR_SUCCESS)
            first = result;
    }
    return first;
}

int UpdateLegacyDeviceRegistry(DWORD install)
{
    LONG keys = UpdateLegacyDeviceKeys(install);
    int result = ApplySetupRegistry(install);
    // The installation fails when the device would not name the driver.
    if (install && result == SETUP_REGISTRY_DONE && keys != ERROR_SUCCESS) {
        SetLastError(keys);
        return SETUP_REGISTRY_NO_KEY;
    }
    return result;
}
