// The NT security functions through GetProcAddress (ntsecurity.h).
#include <windows.h>
#include <aclapi.h>
#include "ntsecurity.h"
#include "setuplog.h"
#include "zerofilled.h"

enum {
    OPEN_PROCESS_TOKEN,
    LOOKUP_PRIVILEGE_VALUE,
    ADJUST_TOKEN_PRIVILEGES,
    INITIALIZE_SID,
    GET_SID_SUB_AUTHORITY,
    LOOKUP_ACCOUNT_SID,
    GET_NAMED_SECURITY_INFO,
    SET_ENTRIES_IN_ACL,
    SET_NAMED_SECURITY_INFO,
    NT_SECURITY_FUNCTIONS
};

static const char *const ntSecurityNames[NT_SECURITY_FUNCTIONS] = {
    "OpenProcessToken",
    "LookupPrivilegeValueA",
    "AdjustTokenPrivileges",
    "InitializeSid",
    "GetSidSubAuthority",
    "LookupAccountSidA",
    "GetNamedSecurityInfoA",
    "SetEntriesInAclA",
    "SetNamedSecurityInfoA",
};

// A function's address once looked up; its lookup's error when it is missing.
ZERO_FILLED static FARPROC ntSecurityProcs[NT_SECURITY_FUNCTIONS];
ZERO_FILLED static DWORD ntSecurityErrors[NT_SECURITY_FUNCTIONS];
ZERO_FILLED static BYTE ntSecurityLookedUp[NT_SECURITY_FUNCTIONS];

// The address, or NULL with the lookup's error as the last error.
static FARPROC NtSecurityProc(int which)
{
    if (!ntSecurityLookedUp[which]) {
        ntSecurityLookedUp[which] = 1;
        // The program imports ADVAPI32's registry functions: it is loaded.
        HMODULE advapi = GetModuleHandleA("advapi32.dll");
        ntSecurityProcs[which] = advapi ? GetProcAddress(advapi, ntSecurityNames[which]) : NULL;
        if (!ntSecurityProcs[which]) {
            ntSecurityErrors[which] = GetLastError() ? GetLastError() : ERROR_PROC_NOT_FOUND;
            SetupTrace("Get proc address of %s fail(%d)\n", ntSecurityNames[which], ntSecurityErrors[which]);
        }
    }
    if (!ntSecurityProcs[which])
        SetLastError(ntSecurityErrors[which]);
    return ntSecurityProcs[which];
}

typedef BOOL(WINAPI *OpenProcessTokenProc)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI *LookupPrivilegeValueProc)(LPCSTR, LPCSTR, PLUID);
typedef BOOL(WINAPI *AdjustTokenPrivilegesProc)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
typedef BOOL(WINAPI *InitializeSidProc)(PSID, PSID_IDENTIFIER_AUTHORITY, BYTE);
typedef PDWORD(WINAPI *GetSidSubAuthorityProc)(PSID, DWORD);
typedef BOOL(WINAPI *LookupAccountSidProc)(LPCSTR, PSID, LPSTR, LPDWORD, LPSTR, LPDWORD, PSID_NAME_USE);
typedef DWORD(WINAPI *GetNamedSecurityInfoProc)(LPCSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID *, PSID *, PACL *,
                                                PACL *, PSECURITY_DESCRIPTOR *);
typedef DWORD(WINAPI *SetEntriesInAclProc)(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL *);
typedef DWORD(WINAPI *SetNamedSecurityInfoProc)(LPSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);

// Entry which as a pointer to a function of type Proc.
#define NT_SECURITY_PROC(Proc, which) ((Proc)(void (*)(void))NtSecurityProc(which))

BOOL CallOpenProcessToken(HANDLE process, DWORD access, HANDLE *token)
{
    OpenProcessTokenProc call = NT_SECURITY_PROC(OpenProcessTokenProc, OPEN_PROCESS_TOKEN);
    return call && call(process, access, token);
}

BOOL CallLookupPrivilegeValueA(const char *systemName, const char *name, LUID *luid)
{
    LookupPrivilegeValueProc call = NT_SECURITY_PROC(LookupPrivilegeValueProc, LOOKUP_PRIVILEGE_VALUE);
    return call && call(systemName, name, luid);
}

BOOL CallAdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES *privileges)
{
    AdjustTokenPrivilegesProc call = NT_SECURITY_PROC(AdjustTokenPrivilegesProc, ADJUST_TOKEN_PRIVILEGES);
    return call && call(token, disableAll, privileges, 0, NULL, NULL);
}

BOOL CallInitializeSid(PSID sid, SID_IDENTIFIER_AUTHORITY *authority, BYTE subAuthorityCount)
{
    InitializeSidProc call = NT_SECURITY_PROC(InitializeSidProc, INITIALIZE_SID);
    return call && call(sid, authority, subAuthorityCount);
}

DWORD *CallGetSidSubAuthority(PSID sid, DWORD index)
{
    GetSidSubAuthorityProc call = NT_SECURITY_PROC(GetSidSubAuthorityProc, GET_SID_SUB_AUTHORITY);
    return call ? call(sid, index) : NULL;
}

BOOL CallLookupAccountSidA(PSID sid, char *name, DWORD *nameSize, char *domain, DWORD *domainSize,
                           SID_NAME_USE *use)
{
    LookupAccountSidProc call = NT_SECURITY_PROC(LookupAccountSidProc, LOOKUP_ACCOUNT_SID);
    return call && call(NULL, sid, name, nameSize, domain, domainSize, use);
}

DWORD CallGetNamedSecurityInfoA(const char *objectName, SE_OBJECT_TYPE type, PACL *dacl,
                                PSECURITY_DESCRIPTOR *descriptor)
{
    GetNamedSecurityInfoProc call = NT_SECURITY_PROC(GetNamedSecurityInfoProc, GET_NAMED_SECURITY_INFO);
    return call ? call(objectName, type, DACL_SECURITY_INFORMATION, NULL, NULL, dacl, NULL, descriptor)
                : GetLastError();
}

DWORD CallSetEntriesInAclA(EXPLICIT_ACCESS_A *entry, PACL oldList, PACL *newList)
{
    SetEntriesInAclProc call = NT_SECURITY_PROC(SetEntriesInAclProc, SET_ENTRIES_IN_ACL);
    return call ? call(1, entry, oldList, newList) : GetLastError();
}

DWORD CallSetNamedSecurityInfoA(const char *objectName, SE_OBJECT_TYPE type, PACL dacl)
{
    SetNamedSecurityInfoProc call = NT_SECURITY_PROC(SetNamedSecurityInfoProc, SET_NAMED_SECURITY_INFO);
    return call ? call((LPSTR)objectName, type, DACL_SECURITY_INFORMATION, NULL, NULL, dacl, NULL)
                : GetLastError();
}
