// The calibration values under the driver's Parameters key: loaded when the
// window opens, stored after a finished pass (then the driver is told to
// reload), and written back on a cancel or "Adjust Again".
//
// The driver reads the same key with no lock, value by value. Every write is
// therefore flushed and each value re-read until it shows what was written,
// and only then is the driver told to take the values up.
#include "zentaroxusb.h"
#include "texts.h"
#include "touchdevice.h"
#include "registry.h"

enum {
    READBACK_RETRIES = 20,      // after the first read
    READBACK_PAUSE_MS = 5,      // so a value that never shows costs about 100 ms
};

// Reads one value into *value only when the read succeeds with exactly four
// bytes. RegQueryValueExA writes a shorter value's bytes over the start of the
// buffer and may leave a longer one's there too; reading into a scratch word
// keeps the destination whole. The type is not looked at: the driver's
// values have always been taken by their size.
static BOOL ReadParameterValue(HKEY key, const char *name, DWORD *value)
{
    DWORD data = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&data, &size) != ERROR_SUCCESS
        || size != sizeof(data))
        return FALSE;
    *value = data;
    return TRUE;
}

// One read-back: the key is opened for reading and closed again every time,
// so each attempt sees the registry as it is now.
static BOOL ReadBack(const char *name, DWORD *value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    BOOL read = ReadParameterValue(key, name, value);
    RegCloseKey(key);
    return read;
}

void WaitForRegistryValue(const char *name, DWORD expected)
{
    // Only a read that succeeds counts: a value that cannot be read has not
    // been read back, even when the expected value is 0.
    DWORD value = 0;
    if (ReadBack(name, &value) && value == expected)
        return;
    for (int i = 0; i < READBACK_RETRIES; i++) {
        BOOL read = ReadBack(name, &value);
        Sleep(READBACK_PAUSE_MS);
        if (read && value == expected)
            return;
    }
    // Giving up is silent; the caller goes on with the next value.
}

// The eleven values in their fixed order: ten given, then the flag.
static void WriteCalibrationValues(HKEY key, const int values[CALIBRATION_LOADED_COUNT],
                                   DWORD calibrated)
{
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++) {
        DWORD data = i < CALIBRATION_LOADED_COUNT ? (DWORD)values[i] : calibrated;
        // A failed write shows up as a value that does not read back.
        SetRegistryDword(key, CalibrationValueNames[i], data);
    }
}

static void WaitForCalibrationValues(const int values[CALIBRATION_LOADED_COUNT], DWORD calibrated)
{
    for (int i = 0; i < CALIBRATION_VALUE_COUNT; i++)
        WaitForRegistryValue(CalibrationValueNames[i],
                             i < CALIBRATION_LOADED_COUNT ? (DWORD)values[i] : calibrated);
}

void LoadCalibration(int values[CALIBRATION_LOADED_COUNT])
{
    // Full access, like every other open of this key by this program: the
    // key's access list is what decides whether a calibration may run at all.
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < CALIBRATION_LOADED_COUNT; i++) {
        DWORD value;
        if (ReadParameterValue(key, CalibrationValueNames[i], &value))
            values[i] = (int)value;
    }
    RegCloseKey(key);
}

void SaveCalibrationAndApply(const int values[CALIBRATION_LOADED_COUNT])
{
    // Only an existing key: a driver whose key has gone is not installed, and
    // nothing is created for it.
    HKEY key;
    if (OpenRegistryKey(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, KEY_ALL_ACCESS, REGISTRY_OPEN_ONLY, &key)
        != ERROR_SUCCESS)
        return;
    WriteCalibrationValues(key, values, 1);
    RegFlushKey(key);
    RegCloseKey(key);
    WaitForCalibrationValues(values, 1);
    if (touchDevice != INVALID_HANDLE_VALUE)
        UpdateDriverParameters(touchDevice);
}

void RestoreCalibration(const int values[CALIBRATION_LOADED_COUNT])
{
    HKEY key;
    if (OpenRegistryKey(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, KEY_ALL_ACCESS, REGISTRY_CREATE, &key)
        != ERROR_SUCCESS) {
        // The calibration window is topmost and covers the screen: an
        // ordinary box would open behind it, out of sight, and hold the
        // program until someone pressed Enter blind. MB_SYSTEMMODAL is
        // application-modal plus WS_EX_TOPMOST; Wine ignores MB_TOPMOST.
        MessageBoxA(NULL, REGISTRY_OPEN_FAIL_TEXT, ERROR_CAPTION, MB_OK | MB_SYSTEMMODAL);
        return;
    }
    // The driver is not told: it keeps what it took up last until the next
    // save or its own restart reads the key again.
    WriteCalibrationValues(key, values, 0);
    RegFlushKey(key);
    RegCloseKey(key);
    WaitForCalibrationValues(values, 0);
}
