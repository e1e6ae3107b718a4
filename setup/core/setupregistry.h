// The setup program's registry work for the product itself: the uninstall
// registration, the driver's parameter defaults, the double-click settings
// and their removal. (The controller's Windows 9x device keys: legacydevice.h.)
#ifndef SETUPREGISTRY_H
#define SETUPREGISTRY_H

#include <windows.h>

// Under HKEY_LOCAL_MACHINE, like every key of this file ("Control Panel\Mouse"
// included).
#define UNINSTALL_PARENT_KEY   "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define UNINSTALL_KEY_NAME     "Tessivar"
#define UNINSTALL_KEY          UNINSTALL_PARENT_KEY "\\" UNINSTALL_KEY_NAME "\\"
#define UNINSTALL_DISPLAY_NAME "Zentarox USB Touchscreen Driver"
#define MOUSE_SETTINGS_KEY     "Control Panel\\Mouse"

// The returns of ApplySetupRegistry.
enum {
    SETUP_REGISTRY_DONE = 0,
    SETUP_REGISTRY_NO_KEY = -3
};

// install nonzero (callers pass 1): registers the product for removal
// (WriteUninstallRegistration), writes the driver parameters' defaults and
// the three double-click settings. Over an earlier installation the
// calibration (the eleven values a calibration writes) is kept whole when
// all eleven are 4-byte REG_DWORDs, else all eleven get their defaults; each
// other parameter keeps a 4-byte REG_DWORD and otherwise gets its default.
// 0 when it ran to its end; -3, with the last error set and the failure
// logged, when the registration or the parameters could not be written
// whole: a key that could neither be opened nor created, a value of either
// that could not be written, a parameter that could not be read (the
// registration then stays as far as it was written), or texts that could
// not be built from windowsDir (empty, or too long: the registration is
// then not written at all, the rest is). A double-click setting that cannot
// be written is passed over and logged.
// install 0: removes the registration, the parameter values, the Parameters,
// Enum and Security keys and the service key, each one level deep; always 0.
int ApplySetupRegistry(DWORD install);
// Set by install mode: TRUE when it kept a completed calibration
// (Calibration4Pt 1), which Finish then does not ask for again.
extern BOOL keptCalibration;
// The two halves of ApplySetupRegistry(0). RemoveUninstallRegistration
// deletes the registration key whole; when only another program's subkey
// keeps it, our values go instead (and come back whole if one of them
// stays). Then the Uninstall key is flushed to disk. RemoveDriverRegistry:
// the driver's parameter values, its Parameters, Enum and Security keys
// and its service key, each one level deep (a key kept by subkeys of its
// own stays, which is no failure). Each: ERROR_SUCCESS when what is ours is
// gone (or was not there), otherwise the first error, logged with its key.
LONG RemoveUninstallRegistration(void);
LONG RemoveDriverRegistry(void);

// The product's entry in Programs and Features (the uninstall registration
// key under HKLM): DisplayName, UninstallString, QuietUninstallString,
// DisplayVersion (the build's version), DisplayIcon, InstallLocation,
// EstimatedSize (KiB of the installed files as they are now), NoModify and
// NoRepair; written whole each time, so it also restores an entry that a
// removal took away. ERROR_SUCCESS; ERROR_BAD_PATHNAME or
// ERROR_FILENAME_EXCED_RANGE, with nothing written, when windowsDir is empty
// or too long to build the texts on; otherwise the registry's error, logged,
// when the key can neither be opened nor created or a value not written.
LONG WriteUninstallRegistration(void);

// Whether the registration key is there: ERROR_SUCCESS and found, or the
// error (logged) when that cannot be told, found being TRUE then.
LONG FindUninstallRegistration(BOOL *found);

// Deletes the subkey name of root\parentPath (one level: a subkey that has
// subkeys of its own stays). The open's error when parentPath does not open
// with full access, otherwise the close's result.
LONG DeleteRegistrySubkey(HKEY root, const char *parentPath, const char *name);

#endif
