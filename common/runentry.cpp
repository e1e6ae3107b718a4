// Deletes one value of HKCU\...\Run. Opening comes first and creation only
// when that fails, as everywhere in these programs; a missing value is no error.
#include <windows.h>
#include "runentry.h"
#include "registry.h"

LONG RemoveRunEntry(const char *valueName)
{
    HKEY key;
    LONG result = OpenRegistryKey(HKEY_CURRENT_USER, RUN_KEY_PATH, KEY_ALL_ACCESS, REGISTRY_CREATE_PLAIN, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}
