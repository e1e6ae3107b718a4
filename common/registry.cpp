// See registry.h.
#include "registry.h"

LONG OpenRegistryKey(HKEY root, const char *path, REGSAM access, RegistryCreate create, HKEY *key)
{
    LONG result = RegOpenKeyExA(root, path, 0, access, key);
    if (result == ERROR_SUCCESS || create == REGISTRY_OPEN_ONLY)
        return result;
    if (create == REGISTRY_CREATE_PLAIN)
        return RegCreateKeyA(root, path, key);
    return RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, key, NULL);
}

LONG SetRegistryString(HKEY key, const char *name, const char *text, DWORD size)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, size);
}

LONG SetRegistryDword(HKEY key, const char *name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof(value));
}
