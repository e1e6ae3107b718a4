// Deletes one value of HKCU\...\Run. Opening comes first and creation only
// when that fails, as everywhere in these programs; a missing value is no error.
#include <windows.h>
#include "runentry.h"
#include "registry.h"

void RemoveRunEntry(const char *valueName)
{
    HKEY key;
    if (OpenRegistryKey(HKEY_CURRENT_USER, RUN_KEY_PATH, KEY_ALL_ACCESS, REGISTRY_CREATE_PLAIN, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}
