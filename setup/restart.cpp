// RestartSystem: the restart that makes the driver take over and completes
// the file replacements and deletions waiting for it. On the NT class the
// process first enables its shutdown privilege, without which ExitWindowsEx
// refuses, and the restart is not forced: every program is asked to end and
// one with unsaved work may say no (only a hung one is ended), which stops
// the restart until the user restarts later. The two error texts differ in
// one letter and tell which of the two paths failed. The token functions are
// looked up at run time (ntsecurity.h), once for this and the key security.
#include <windows.h>
#include <reason.h>
#include "wizard.h"
#include "texts.h"
#include "setupmessage.h"
#include "exitcode.h"
#include "setupcontext.h"
#include "osclass.h"
#include "setuplog.h"
#include "ntsecurity.h"

// Once asked, Windows may end the program at any moment: the log gets its
// exit code line first, and loses it again when Windows refuses.
static BOOL AskForRestart(UINT flags, DWORD reason)
{
    SetupLog("Asking Windows to restart");
    LogExitCodeAhead(SetupExitCode(SETUP_EXIT_RESTART_NEEDED));
    if (ExitWindowsEx(flags, reason))
        return TRUE;
    WithdrawExitCodeAhead();
    return FALSE;
}

// NULL when Windows took the restart on, otherwise the message to show.
static const char *TryRestart(void)
{
    if (osClass < OS_CLASS_WIN2000)
        return AskForRestart(EWX_REBOOT | EWX_FORCE, 0) ? NULL : RESTART_FAILED_TEXT;
    HANDLE token;
    if (!CallOpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return RESTART_FAILED_TEXT;
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof(privileges));
    CallLookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    CallAdjustTokenPrivileges(token, FALSE, &privileges);
    // ERROR_NOT_ALL_ASSIGNED also counts: the account lacks the privilege.
    DWORD adjustError = GetLastError();
    CloseHandle(token);
    if (adjustError != ERROR_SUCCESS)
        return PRIVILEGE_REFUSED_TEXT;
    // Windows 2000 takes no reason and ignores it.
    return AskForRestart(EWX_REBOOT | EWX_FORCEIFHUNG,
                         SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED)
        ? NULL : RESTART_FAILED_TEXT;
}

void RestartSystem(HWND owner)
{
    const char *failure = TryRestart();
    if (failure)
        ShowSetupMessage(owner, failure, SETUP_CAPTION, MB_OK | MB_ICONERROR, IDOK);
}
