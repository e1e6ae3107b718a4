// SetParametersKeySecurity, GrantKeyAccess and EnablePrivilege. The trace is
// their only report; its lines keep their long-standing wording, misspellings
// included ("tocken"), since logs from the field are matched against it. The
// security functions are called through ntsecurity.h: Windows 98 would not
// load a program that imported them.
#include <windows.h>
#include <aclapi.h>
#include "keysecurity.h"
#include "ntsecurity.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"
#include "touchparams.h"

// ACCESS_SYSTEM_SECURITY | WRITE_DAC | READ_CONTROL | KEY_ENUMERATE_SUB_KEYS |
// KEY_QUERY_VALUE: the system grants ACCESS_SYSTEM_SECURITY only while the
// security privilege is enabled in the token, so this open is the test that
// the privilege took.
#define SECURITY_TEST_ACCESS 0x01060009

// A group or account name as the system spells it, zero included.
enum { ACCOUNT_NAME_MAX = 257 };

// The built-in groups the key is opened to, in grant order, by their relative
// id in the BUILTIN domain: a translated Windows has other names for them but
// the same ids. The English name only stands in for the trace.
struct BuiltinGroup {
    DWORD rid;
    const char *englishName;
};
static const BuiltinGroup parameterKeyGroups[] = {
    { DOMAIN_ALIAS_RID_USERS, "Users" },
    { DOMAIN_ALIAS_RID_GUESTS, "Guests" },
    { DOMAIN_ALIAS_RID_ADMINS, "Administrators" },
};

static DWORD GrantBuiltinGroupAccess(const char *objectName, const BuiltinGroup &group);

// The steps every set of grants starts with; the error when there is
// nothing to grant on. objectName receives the key's name for the security
// functions.
static DWORD PrepareParametersKeyGrants(char *objectName, int size)
{
    SetupTrace("Set Security.\n");
    // Traces its own failure; whether the privilege took shows in the open below.
    EnablePrivilege(GetCurrentProcess(), SE_SECURITY_NAME);

    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, NULL, 0, SECURITY_TEST_ACCESS, &key);
    if (result != ERROR_SUCCESS) {
        SetupTrace("Open register key fail(%d)\n", result);
        return (DWORD)result;
    }
    RegCloseKey(key);

    // The security functions name a key under HKEY_LOCAL_MACHINE "MACHINE\...";
    // the parameter key's fixed path always fits.
    return FormatBounded(objectName, size, "MACHINE\\%s", TOUCH_PARAMETERS_KEY) ? ERROR_SUCCESS : GetLastError();
}

DWORD SetParametersKeySecurity(void)
{
    char objectName[SETUP_PATH_MAX];
    DWORD result = PrepareParametersKeyGrants(objectName, sizeof(objectName));
    // Grants made before a failure stay; the groups after it are skipped.
    const int count = sizeof(parameterKeyGroups) / sizeof(parameterKeyGroups[0]);
    for (int i = 0; i < count && result == ERROR_SUCCESS; i++)
        result = GrantBuiltinGroupAccess(objectName, parameterKeyGroups[i]);
    return result;
}

void SetParametersKeySecurityFor(const char *const *accounts, int count)
{
    char objectName[SETUP_PATH_MAX];
    if (PrepareParametersKeyGrants(objectName, sizeof(objectName)) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < count; i++)
        if (GrantKeyAccess(objectName, SE_REGISTRY_KEY, accounts[i]) != ERROR_SUCCESS)
            return;
}

// The one body of both grants: trustee is the account by name or by
// identifier, trusteeName how the trace names it.
static DWORD GrantTrusteeKeyAccess(const char *objectName, SE_OBJECT_TYPE objectType,
                                   const TRUSTEE_A &trustee, const char *trusteeName)
{
    if (!objectName) {
        SetupTrace("Object Name is NULL\n");
        return ERROR_INVALID_PARAMETER;
    }
    PACL oldList = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    DWORD result = CallGetNamedSecurityInfoA(objectName, objectType, &oldList, &descriptor);
    if (result != ERROR_SUCCESS) {
        SetupTrace("Get the security info of the '%s' key(for '%s') fail(0x%08X)\n",
                   objectName, trusteeName, result);
        return result;
    }

    // SET_ACCESS replaces whatever the list held for this account, so a
    // second run leaves one entry, not two. Object and container inherit:
    // the entry reaches every subkey and value below the key.
    EXPLICIT_ACCESS_A entry;
    ZeroMemory(&entry, sizeof(entry));
    entry.grfAccessPermissions = KEY_ALL_ACCESS;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee = trustee;

    PACL newList = NULL;
    result = CallSetEntriesInAclA(&entry, oldList, &newList);
    if (result != ERROR_SUCCESS) {
        // Windows reports an account that does not resolve as 1332, Wine as 87.
        LocalFree(descriptor);
        if (newList)
            LocalFree(newList);
        SetupTrace("Set the entries in acl of the '%s' key(for '%s') fail(0x%08X)\n",
                   objectName, trusteeName, result);
        return result;
    }

    result = CallSetNamedSecurityInfoA(objectName, objectType, newList);
    if (result != ERROR_SUCCESS)
        SetupTrace("Set Named Security '%s' fail(0x%08X)\n", objectName, result);
    LocalFree(descriptor);
    LocalFree(newList);
    return result;
}

DWORD GrantKeyAccess(const char *objectName, SE_OBJECT_TYPE objectType, const char *trusteeName)
{
    TRUSTEE_A trustee;
    ZeroMemory(&trustee, sizeof(trustee));
    trustee.TrusteeForm = TRUSTEE_IS_NAME;
    trustee.ptstrName = (LPSTR)trusteeName;
    return GrantTrusteeKeyAccess(objectName, objectType, trustee, trusteeName);
}

// The trace names the group as this system does (LookupAccountSidA), so a
// line from a translated Windows names what its administrator sees.
static DWORD GrantBuiltinGroupAccess(const char *objectName, const BuiltinGroup &group)
{
    // Built with InitializeSid: CreateWellKnownSid is missing from Windows
    // 2000, where this program must still load. DWORDs keep the SID aligned.
    DWORD sidBuffer[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    PSID sid = (PSID)sidBuffer;
    SID_IDENTIFIER_AUTHORITY ntAuthority = { SECURITY_NT_AUTHORITY };
    DWORD *domainRid = NULL, *groupRid = NULL;
    // Only a missing function fails here: the lookup traced it.
    if (!CallInitializeSid(sid, &ntAuthority, 2) || !(domainRid = CallGetSidSubAuthority(sid, 0))
        || !(groupRid = CallGetSidSubAuthority(sid, 1)))
        return GetLastError();
    *domainRid = SECURITY_BUILTIN_DOMAIN_RID;
    *groupRid = group.rid;

    char name[ACCOUNT_NAME_MAX], domain[ACCOUNT_NAME_MAX];
    DWORD nameSize = sizeof(name), domainSize = sizeof(domain);
    SID_NAME_USE use;
    if (!CallLookupAccountSidA(sid, name, &nameSize, domain, &domainSize, &use))
        lstrcpynA(name, group.englishName, sizeof(name));

    TRUSTEE_A trustee;
    ZeroMemory(&trustee, sizeof(trustee));
    trustee.TrusteeForm = TRUSTEE_IS_SID;
    trustee.ptstrName = (LPSTR)sid;
    return GrantTrusteeKeyAccess(objectName, SE_REGISTRY_KEY, trustee, name);
}

DWORD EnablePrivilege(HANDLE processHandle, const char *privilegeName)
{
    HANDLE token;
    if (!CallOpenProcessToken(processHandle, TOKEN_ALL_ACCESS, &token)) {
        DWORD error = GetLastError();
        SetupTrace("Open process tocken fail(%d)\n", error);
        return error;
    }
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof(privileges));
    if (!CallLookupPrivilegeValueA(NULL, privilegeName, &privileges.Privileges[0].Luid)) {
        DWORD error = GetLastError();
        SetupTrace("Lookup privilege fail(%d)\n", error);
        CloseHandle(token);
        return error;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Succeeds with ERROR_NOT_ALL_ASSIGNED when the account lacks the
    // privilege; that is not a failure here.
    if (!CallAdjustTokenPrivileges(token, FALSE, &privileges)) {
        DWORD error = GetLastError();
        SetupTrace("Adjust token privilege fail(%d)\n", error);
        CloseHandle(token);
        return error;
    }
    CloseHandle(token);
    return 1;
}
