// Registry helpers of the three programs: opening a key the way these
// programs always have (opened first, created only when that fails), and
// writing a string or a number. Each caller says which open and which
// create it uses, since each key has always been reached its own way.
#ifndef REGISTRY_H
#define REGISTRY_H

#include <windows.h>

// How OpenRegistryKey gets a key that does not open.
enum RegistryCreate {
    REGISTRY_OPEN_ONLY,      // not at all: the open's error
    REGISTRY_CREATE,         // RegCreateKeyExA with the same access, missing parents too
    REGISTRY_CREATE_PLAIN    // RegCreateKeyA, which asks for no particular access
};

// Opens root\path with access (RegOpenKeyExA), or creates it as create
// says; the registry's error of the last call made.
LONG OpenRegistryKey(HKEY root, const char *path, REGSAM access, RegistryCreate create, HKEY *key);

// A REG_SZ value of size bytes of text: the length with the terminating
// zero, or without it for the strings that have always been stored so.
LONG SetRegistryString(HKEY key, const char *name, const char *text, DWORD size);

// A REG_DWORD value, 4 bytes.
LONG SetRegistryDword(HKEY key, const char *name, DWORD value);

#endif
