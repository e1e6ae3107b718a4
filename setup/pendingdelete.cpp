// CancelPendingDeletes: a removal deletes what is in use (the running
// Install.exe, a loaded driver, the folders that hold them) when Windows
// starts next. An installation run before that restart, as a script that
// removes and installs again does, puts new files at those very paths, and
// the restart would delete them: the product would stay listed with its
// uninstall program gone. So before copying, the installation takes back the
// pending deletions of the places it writes. Pending renames (files in use
// replaced at the restart) stay as they are.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "osclass.h"
#include "zerofilled.h"

#define SESSION_MANAGER_KEY "SYSTEM\\CurrentControlSet\\Control\\Session Manager"
// Pairs of paths, each "\??\" in front: source and target, an empty target
// for a deletion. Read and written in UTF-16: other programs' paths in it
// may hold characters that the ANSI code page cannot, which an ANSI round
// trip would change.
static const WCHAR pendingValue[] = L"PendingFileRenameOperations";

enum { WRITTEN_PATH_MAX = 2 * SETUP_FILE_COUNT + 1 };

// The installation folder, its ten files and the second copies; how many.
static int CollectWrittenPaths(WCHAR paths[WRITTEN_PATH_MAX][SETUP_PATH_MAX])
{
    char path[SETUP_PATH_MAX];
    int count = 0;
    if (InstallFolderPath(path) && MultiByteToWideChar(CP_ACP, 0, path, -1, paths[count], SETUP_PATH_MAX))
        count++;
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            if (InstalledCopyPath(i, second, path)
                && MultiByteToWideChar(CP_ACP, 0, path, -1, paths[count], SETUP_PATH_MAX))
                count++;
    return count;
}

static BOOL IsWrittenPath(const WCHAR *entry, WCHAR paths[][SETUP_PATH_MAX], int count)
{
    if (entry[0] == L'\\' && entry[1] == L'?' && entry[2] == L'?' && entry[3] == L'\\')
        entry += 4;
    for (int i = 0; i < count; i++)
        if (!lstrcmpiW(entry, paths[i]))
            return TRUE;
    return FALSE;
}

// Drops the deletions of the written paths from the list of length
// characters (zero-padded beyond) in place. How many it dropped; the new
// length, the list's final zero included, goes to kept.
static int DropWrittenPathDeletions(WCHAR *list, DWORD length, WCHAR paths[][SETUP_PATH_MAX], int count,
                                    DWORD *kept)
{
    WCHAR *read = list, *write = list, *end = list + length;
    int dropped = 0;
    while (read < end && *read) {
        WCHAR *target = read + lstrlenW(read) + 1;
        WCHAR *next = target < end ? target + lstrlenW(target) + 1 : end;
        if (target < end && !*target && IsWrittenPath(read, paths, count)) {
            dropped++;
        } else {
            MoveMemory(write, read, (next - read) * sizeof(WCHAR));
            write += next - read;
        }
        read = next;
    }
    *write++ = L'\0';
    *kept = (DWORD)(write - list);
    return dropped;
}

void CancelPendingDeletes(void)
{
    // Windows 9x keeps its restart-time work elsewhere, and the removal
    // schedules none there.
    if (!IsNtClass(osClass) || !FolderResolved(windowsDir))
        return;
    ZERO_FILLED static WCHAR paths[WRITTEN_PATH_MAX][SETUP_PATH_MAX];
    int count = CollectWrittenPaths(paths);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key)
        != ERROR_SUCCESS)
        return;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, pendingValue, NULL, &type, NULL, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ) {
        // Two spare zeros end a list stored without its own.
        WCHAR *list = (WCHAR *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 2 * sizeof(WCHAR));
        if (list && RegQueryValueExW(key, pendingValue, NULL, &type, (BYTE *)list, &size) == ERROR_SUCCESS) {
            DWORD kept = 0;
            if (DropWrittenPathDeletions(list, size / sizeof(WCHAR), paths, count, &kept) > 0) {
                if (kept <= 1)
                    RegDeleteValueW(key, pendingValue);
                else
                    RegSetValueExW(key, pendingValue, 0, REG_MULTI_SZ, (const BYTE *)list, kept * sizeof(WCHAR));
            }
        }
        if (list)
            HeapFree(GetProcessHeap(), 0, list);
    }
    RegCloseKey(key);
}
