// Step 0 of the installation: the product files from the medium into the
// installation folder, and the second copies of four of them into the
// system folders. An existing target is replaced: its attributes are cleared
// first, since CopyFileA will not overwrite a read-only or hidden file.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"

// Clears target's attributes and copies source over it. FALSE, with the
// copy's error as the last error, when it fails.
static BOOL ReplaceFile(const char *source, const char *target)
{
    SetFileAttributesA(target, 0);
    return CopyFileA(source, target, FALSE);
}

// A path that does not fit its buffer fails the copy it was meant for
// (FormatBounded leaves ERROR_FILENAME_EXCED_RANGE as the last error):
// cut short it would name some other file.
static BOOL CopySetupFile(const SetupFile *file)
{
    char source[SETUP_PATH_MAX], target[SETUP_PATH_MAX];
    if (!FormatBounded(source, sizeof(source), "%s\\%s", sourceDir, file->fileName)
        || !FormatBounded(target, sizeof(target), "%s\\" INSTALL_FOLDER_NAME "\\%s", windowsDir, file->fileName)
        || !ReplaceFile(source, target))
        return FALSE;
    const char *secondCopy = SecondCopyPath(file);
    if (!secondCopy[0])
        return TRUE;
    return FormatBounded(target, sizeof(target), "%s\\%s", windowsDir, secondCopy)
        && ReplaceFile(source, target);
}

int CopySetupFiles(void)
{
    if (!FolderResolved(sourceDir) || !FolderResolved(windowsDir))
        return -1;
    char folder[SETUP_PATH_MAX];
    if (!FormatBounded(folder, sizeof(folder), "%s\\" INSTALL_FOLDER_NAME, windowsDir))
        return -1;
    // An existing folder is fine: installing again replaces the files in it.
    CreateDirectoryA(folder, NULL);
    for (int i = 0; i < SETUP_FILE_COUNT; i++)
        if (!CopySetupFile(&setupFiles[i]))
            return -1;
    return 0;
}
