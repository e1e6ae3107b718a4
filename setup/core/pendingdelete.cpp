// The product's entries in Windows' list of restart-time work
// (PendingFileRenameOperations, NT class), taken back where they would undo
// what the running setup does.
//
// CancelPendingDeletes: a removal deletes what is in use (the running
// Install.exe, a loaded driver, the folders that hold them) when Windows
// starts next. An installation run before that restart, as a script that
// removes and installs again does, puts new files at those very paths, and
// the restart would delete them: the product would stay listed with its
// uninstall program gone. So the installation takes back the pending
// deletions of the places it writes.
//
// TakeBackStagedCopies: a setup run again while the driver was loaded (a
// repair) leaves new copies staged to replace the files in use at the
// restart. A removal before that restart would otherwise have the restart
// put them back, unlisted, for good.
//
// DropPendingRenamesFrom: a failed step's staged copies that cannot be
// deleted lose their renames, so the restart does not apply a failed run.
//
// A list that cannot be read or written is logged and reported to the
// caller, never taken for an empty one.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "setuplog.h"
#include "osclass.h"
#include "zerofilled.h"

#define SESSION_MANAGER_KEY "SYSTEM\\CurrentControlSet\\Control\\Session Manager"
// Pairs of paths, each "\??\" in front: source and target ("!" in front of
// a target that is to be replaced), an empty target for a deletion. Read
// and written in UTF-16: other programs' paths in it may hold characters
// that the ANSI code page cannot, which an ANSI round trip would change.
static const WCHAR pendingValue[] = L"PendingFileRenameOperations";
static const char pendingValueName[] = "PendingFileRenameOperations";

enum { PRODUCT_PATH_MAX = 2 * SETUP_FILE_COUNT + 1 };

// Which of the product's places CollectProductPaths takes.
enum { PLACE_FOLDER = 1, PLACE_FIRST_COPIES = 2, PLACE_SECOND_COPIES = 4 };

struct ProductPaths {
    WCHAR paths[PRODUCT_PATH_MAX][SETUP_PATH_MAX];
    int count;
};

// The installation folder, its ten files and the second copies, as places
// asks.
static void CollectProductPaths(int places, ProductPaths *found)
{
    char path[SETUP_PATH_MAX];
    found->count = 0;
    if ((places & PLACE_FOLDER) && InstallFolderPath(path)
        && MultiByteToWideChar(CP_ACP, 0, path, -1, found->paths[found->count], SETUP_PATH_MAX))
        found->count++;
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        for (int second = 0; second < 2; second++)
            if ((places & (second ? PLACE_SECOND_COPIES : PLACE_FIRST_COPIES)) && InstalledCopyPath(i, second, path)
                && MultiByteToWideChar(CP_ACP, 0, path, -1, found->paths[found->count], SETUP_PATH_MAX))
                found->count++;
}

const WCHAR *PendingEntryPath(const WCHAR *entry)
{
    if (entry[0] == L'!')
        entry++;
    if (entry[0] == L'\\' && entry[1] == L'?' && entry[2] == L'?' && entry[3] == L'\\')
        entry += 4;
    return entry;
}

static BOOL IsProductPath(const WCHAR *entry, const ProductPaths *product)
{
    entry = PendingEntryPath(entry);
    for (int i = 0; i < product->count; i++)
        if (!lstrcmpiW(entry, product->paths[i]))
            return TRUE;
    return FALSE;
}

int FilterPendingList(WCHAR *list, DWORD length, PendingPairTest drop, void *context, DWORD *kept)
{
    WCHAR *read = list, *write = list, *end = list + length;
    int dropped = 0;
    while (read < end && *read) {
        WCHAR *target = read + lstrlenW(read) + 1;
        WCHAR *next = target < end ? target + lstrlenW(target) + 1 : end;
        if (target < end && drop(read, target, context)) {
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

// Reads the list, drops the pairs drop names and writes back what is left,
// every other program's entry as it was (NT class only). ERROR_SUCCESS when
// the list was read (or there is none) and, where something was dropped,
// written back; otherwise the error, logged: the list is then as it was.
static LONG FilterPendingOperations(PendingPairTest drop, void *context)
{
    if (!IsNtClass(osClass))
        return ERROR_SUCCESS;
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        LogFailure("open HKLM\\", SESSION_MANAGER_KEY, (DWORD)result);
        return result;
    }
    WCHAR *list = NULL;
    DWORD type = 0, size = 0;
    // Another program may add to the list between the two reads: read again.
    for (int attempt = 0; attempt < 3; attempt++) {
        if (list)
            HeapFree(GetProcessHeap(), 0, list);
        list = NULL;
        result = RegQueryValueExW(key, pendingValue, NULL, &type, NULL, &size);
        if (result != ERROR_SUCCESS || type != REG_MULTI_SZ)
            break;
        // Two spare zeros end a list stored without its own.
        list = (WCHAR *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 2 * sizeof(WCHAR));
        result = list ? RegQueryValueExW(key, pendingValue, NULL, &type, (BYTE *)list, &size)
                      : (LONG)ERROR_NOT_ENOUGH_MEMORY;
        if (result != ERROR_MORE_DATA)
            break;
    }
    if (result == ERROR_SUCCESS && type != REG_MULTI_SZ)
        result = ERROR_INVALID_DATA;
    if (result == ERROR_SUCCESS) {
        DWORD kept = 0;
        if (FilterPendingList(list, size / sizeof(WCHAR), drop, context, &kept) > 0) {
            result = kept <= 1 ? RegDeleteValueW(key, pendingValue)
                               : RegSetValueExW(key, pendingValue, 0, REG_MULTI_SZ, (const BYTE *)list,
                                                kept * sizeof(WCHAR));
            if (result != ERROR_SUCCESS)
                LogFailure("write ", pendingValueName, (DWORD)result);
        }
    } else if (result == ERROR_FILE_NOT_FOUND) {
        result = ERROR_SUCCESS;
    } else {
        LogFailure("read ", pendingValueName, (DWORD)result);
    }
    if (list)
        HeapFree(GetProcessHeap(), 0, list);
    RegCloseKey(key);
    return result;
}

// A deletion (empty target) of one of the product's places.
static BOOL IsProductDeletion(const WCHAR *source, const WCHAR *target, void *context)
{
    return !*target && IsProductPath(source, (const ProductPaths *)context);
}

LONG CancelPendingDeletes(BOOL installFolderOnly)
{
    if (!FolderResolved(windowsDir))
        return ERROR_SUCCESS;
    ZERO_FILLED static ProductPaths written;
    CollectProductPaths(PLACE_FOLDER | PLACE_FIRST_COPIES | (installFolderOnly ? 0 : PLACE_SECOND_COPIES), &written);
    return FilterPendingOperations(IsProductDeletion, &written);
}

// Whether source names a copy that CopySetupFiles staged beside target:
// GetTempFileNameA's "zxXXXX.tmp" in target's own folder.
static BOOL IsStagedCopyFor(const WCHAR *source, const WCHAR *target)
{
    const WCHAR *name = source, *targetName = target;
    for (const WCHAR *p = source; *p; p++)
        if (*p == L'\\')
            name = p + 1;
    for (const WCHAR *p = target; *p; p++)
        if (*p == L'\\')
            targetName = p + 1;
    int folderLength = (int)(name - source), nameLength = lstrlenW(name);
    return folderLength == targetName - target
        && CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, source, folderLength, target, folderLength)
               == CSTR_EQUAL
        && nameLength > 6 && (name[0] | 0x20) == L'z' && (name[1] | 0x20) == L'x'
        && !lstrcmpiW(name + nameLength - 4, L".tmp");
}

// A replacement of one of the product's copies by a staged copy: the staged
// copy is deleted now, so that the rename finds nothing at the restart, and
// only where that fails does its pair leave the list.
static BOOL TakeBackStagedCopy(const WCHAR *source, const WCHAR *target, void *context)
{
    if (!*target || !IsProductPath(target, (const ProductPaths *)context))
        return FALSE;
    source = PendingEntryPath(source);
    if (!IsStagedCopyFor(source, PendingEntryPath(target)))
        return FALSE;
    char path[SETUP_PATH_MAX];
    if (!WideCharToMultiByte(CP_ACP, 0, source, -1, path, sizeof(path), NULL, NULL))
        return TRUE;
    SetupLog("Taking back the replacement that waits for the restart: %s", path);
    return !DeleteStagedCopy(path);
}

LONG TakeBackStagedCopies(BOOL secondCopies)
{
    if (!FolderResolved(windowsDir))
        return ERROR_SUCCESS;
    ZERO_FILLED static ProductPaths copies;
    CollectProductPaths(secondCopies ? PLACE_SECOND_COPIES : PLACE_FIRST_COPIES, &copies);
    return FilterPendingOperations(TakeBackStagedCopy, &copies);
}

// A rename whose source is one of the staged copies in context.
static BOOL IsRenameFrom(const WCHAR *source, const WCHAR *target, void *context)
{
    return *target && IsProductPath(source, (const ProductPaths *)context);
}

LONG DropPendingRenamesFrom(const char (*sources)[SETUP_PATH_MAX], int count)
{
    ZERO_FILLED static ProductPaths staged;
    staged.count = 0;
    for (int i = 0; i < count && staged.count < PRODUCT_PATH_MAX; i++)
        if (MultiByteToWideChar(CP_ACP, 0, sources[i], -1, staged.paths[staged.count], SETUP_PATH_MAX))
            staged.count++;
    return FilterPendingOperations(IsRenameFrom, &staged);
}
