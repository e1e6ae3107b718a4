// Step 2 of the installation: the Start-menu folder "Zentarox USB
// Touchscreen" with its five shortcuts into the installation folder, saved as
// .lnk files through the shell's own link object. A shortcut that cannot be
// made is passed over, and the log names it: the product works without it,
// and the step never fails.
#include <windows.h>
#include <shlobj.h>
#include "install.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "setuplog.h"

struct StartMenuShortcut {
    const char *linkFile;
    const char *targetFile;      // in the installation folder
    const char *description;
    const char *arguments;       // NULL for none
};

static const StartMenuShortcut startMenuShortcuts[] = {
    { "Uninstall Zentarox.lnk", "Install.exe", "Uninstall", "/u" },
    { "Zentarox help.lnk", "ZentaroxUsb.chm", "Zentarox USB Touchscreen Help", NULL },
    { "Calibration.lnk", "ZentaroxUsb.exe", "Calibration", NULL },
    { "Right Button.lnk", "Kaplet.exe", "Right Button", NULL },
    { "HandWritting Demo.lnk", "Write.exe", "HandWritting Demo", NULL },
};

int CreateShellLink(const char *target, const char *linkPath, const char *description,
                    const char *workingDir, const char *arguments)
{
    IShellLinkA *link = NULL;
    HRESULT made = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link);
    if (FAILED(made)) {
        SetupLog("Could not make the shortcut %s: HRESULT 0x%08lX", linkPath, (DWORD)made);
        return 0;
    }
    if (arguments)
        link->SetArguments(arguments);
    link->SetDescription(description);
    // S_FALSE while the target does not exist yet is fine: the link still
    // points there.
    link->SetPath(target);
    link->SetWorkingDirectory(workingDir);
    IPersistFile *file = NULL;
    made = link->QueryInterface(IID_IPersistFile, (void **)&file);
    if (FAILED(made)) {
        SetupLog("Could not make the shortcut %s: HRESULT 0x%08lX", linkPath, (DWORD)made);
        link->Release();
        return 0;
    }
    WCHAR widePath[MAX_PATH];
    int saved = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0;
    // Asked to save, the link counts as made whatever Save says; the log
    // says when it was not.
    if (!saved)
        SetupLog("Could not save the shortcut %s: error %lu", linkPath, GetLastError());
    else if (FAILED(made = file->Save(widePath, TRUE)))
        SetupLog("Could not save the shortcut %s: HRESULT 0x%08lX", linkPath, (DWORD)made);
    file->Release();
    link->Release();
    return saved;
}

// Every path whole or the shortcut is skipped: a cut link path would save
// the link under some other name, a cut target would point elsewhere.
static void CreateStartMenuShortcut(const StartMenuShortcut *shortcut, const char *folder,
                                    const char *workingDir)
{
    char linkPath[SETUP_PATH_MAX], target[SETUP_PATH_MAX];
    if (!FormatBounded(linkPath, sizeof(linkPath), "%s\\%s", folder, shortcut->linkFile)
        || !InstallFolderFilePath(INSTALL_FOLDER_NAME, shortcut->targetFile, target))
        return;
    CreateShellLink(target, linkPath, shortcut->description, workingDir, shortcut->arguments);
}

int CreateStartMenuShortcuts(void)
{
    HRESULT com = CoInitialize(NULL);
    char folder[SETUP_PATH_MAX], workingDir[SETUP_PATH_MAX];
    // Without the programs folder or the Windows folder there is nowhere
    // sound to put the shortcuts or for them to point.
    if (StartMenuFolderPath(folder) && InstallFolderPath(workingDir)) {
        // ERROR_ALREADY_EXISTS also comes for a file at the folder's name.
        DWORD error = CreateDirectoryA(folder, NULL) ? ERROR_SUCCESS : GetLastError();
        DWORD attributes = GetFileAttributesA(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            SetupLog("No shortcuts: the folder %s could not be made: error %lu", folder,
                     error != ERROR_SUCCESS ? error : GetLastError());
        // A link (a junction) would put them where the removal, which
        // empties only a folder of its own, never takes them back.
        else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            SetupLog("No shortcuts: %s is not a folder of ours", folder);
        else
            for (size_t i = 0; i < sizeof(startMenuShortcuts) / sizeof(startMenuShortcuts[0]); i++)
                CreateStartMenuShortcut(&startMenuShortcuts[i], folder, workingDir);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
