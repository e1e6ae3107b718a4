// Access control of the driver's parameter key: on Windows Vista and later the
// setup program opens the key, and everything below it, to the built-in
// groups Users, Guests and Administrators, so that the calibration program
// can rewrite it for whoever runs it. The groups are named by their fixed
// identifiers, not their names, which a translated Windows spells otherwise.
// Every failure goes to the debug trace (which the setup log repeats); the
// installation's driver step fails with it, since the calibration program
// needs the key open to whoever runs it.
#ifndef KEYSECURITY_H
#define KEYSECURITY_H

#include <windows.h>
#include <accctrl.h>

// Grants the three groups full access to the parameter key, in that order,
// adding to what the key's access list already holds. Stops at the first
// grant that fails. Needs the security privilege (it enables it itself). The
// trace names each group as the system does (in English when it cannot).
// ERROR_SUCCESS, or the Win32 error of the step that failed, traced.
DWORD SetParametersKeySecurity(void);

// The same steps with accounts given by name, granted in turn until one
// fails: the seam through which a test makes an account fail to resolve.
void SetParametersKeySecurityFor(const char *const *accounts, int count);

// Gives trusteeName (an account name) full access to the object objectName
// ("MACHINE\" and a key path under HKEY_LOCAL_MACHINE, for objectType
// SE_REGISTRY_KEY), inherited by every subkey, replacing any entry that
// account had and keeping all others. 0, or the Win32 error of the failed
// step, traced.
DWORD GrantKeyAccess(const char *objectName, SE_OBJECT_TYPE objectType, const char *trusteeName);

// Enables privilegeName in processHandle's token. 1 when the system accepted
// the adjustment (also when the account does not hold the privilege, which
// the system does not count as a failure), otherwise the Win32 error of the
// failed step, traced.
DWORD EnablePrivilege(HANDLE processHandle, const char *privilegeName);

#endif
