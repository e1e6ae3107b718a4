// Deletes one value of HKCU\...\Run. Opening comes first and creation only
// when that fails, as everywhere in these programs; a missing value is no error.
#include <windows.h>
#include "runentry.h"

void RemoveRunEntry(const char *valueName)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY_PATH, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS
        && RegCreateKeyA(HKEY_CURRENT_USER, RUN_KEY_PATH, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}
