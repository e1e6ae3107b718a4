// The NT security functions of ADVAPI32 that Install.exe calls, looked up at
// run time rather than imported: the program must load on Windows 98 and
// Me, whose ADVAPI32 has at most stubs of them, and the loader refuses a
// program that imports a function the DLL does not export. They are called
// only on the NT class: the key security (keysecurity.cpp) uses all nine,
// the restart's shutdown privilege (restart.cpp) the three token functions.
//
// Each wrapper calls the function of the same name without the "Call" in
// front. Each one is looked up once, on its first call; a function that is
// missing is traced once, and every call of it then fails as the function
// itself fails, with the lookup's error (ERROR_PROC_NOT_FOUND, 127) as the
// last error or the result.
#ifndef NTSECURITY_H
#define NTSECURITY_H

#include <windows.h>
#include <aclapi.h>

BOOL CallOpenProcessToken(HANDLE process, DWORD access, HANDLE *token);
BOOL CallLookupPrivilegeValueA(const char *systemName, const char *name, LUID *luid);
BOOL CallAdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES *privileges);

BOOL CallInitializeSid(PSID sid, SID_IDENTIFIER_AUTHORITY *authority, BYTE subAuthorityCount);
// NULL when GetSidSubAuthority is missing.
DWORD *CallGetSidSubAuthority(PSID sid, DWORD index);
BOOL CallLookupAccountSidA(PSID sid, char *name, DWORD *nameSize, char *domain, DWORD *domainSize,
                           SID_NAME_USE *use);

// The DACL-only forms the key security needs; a Win32 error as the functions return.
DWORD CallGetNamedSecurityInfoA(const char *objectName, SE_OBJECT_TYPE type, PACL *dacl,
                                PSECURITY_DESCRIPTOR *descriptor);
DWORD CallSetEntriesInAclA(EXPLICIT_ACCESS_A *entry, PACL oldList, PACL *newList);
DWORD CallSetNamedSecurityInfoA(const char *objectName, SE_OBJECT_TYPE type, PACL dacl);

#endif
