// Install.exe's entry: the version gate, the refusal of the 32-bit setup on
// 64-bit Windows, then either the removal ("/u") or the wizard on its
// full-screen backdrop. The program always ends with 0.
#include <windows.h>
#include "install.h"
#include "setupcontext.h"
#include "osclass.h"
#include "resource.h"

HINSTANCE appInstance;
char windowTitle[SETUP_TEXT_MAX];
char windowClassName[SETUP_TEXT_MAX];
HWND mainWindow;
int screenWidth, screenHeight;
int setupStep;

// Exactly "/u", compared byte for byte: "/U", "/u " or anything longer
// starts the wizard.
BOOL IsUninstallArgument(const char *commandTail)
{
    return commandTail && commandTail[0] == '/' && commandTail[1] == 'u' && commandTail[2] == '\0';
}

static void RunUninstallPrompt(void)
{
    if (MessageBoxA(NULL, "Are you sure to uninstall Zentarox USB Touchscreen?", UNINSTALL_CAPTION,
                    MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    // A removal that stopped early has said what it has to say.
    if (UninstallProduct() != 0)
        return;
    if (MessageBoxA(NULL, "To make the uninstallation valid,you must restart your computer.\nRestart now?",
                    UNINSTALL_CAPTION, MB_YESNO | MB_ICONINFORMATION) == IDYES)
        RestartSystem(NULL);
}

// The accelerators reach only this loop: while a wizard page is open its own
// modal loop runs instead.
static int RunMessageLoop(HACCEL accelerators)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand)
{
    LoadStringA(instance, IDS_SETUP_TITLE, windowTitle, SETUP_TEXT_MAX);
    LoadStringA(instance, IDS_SETUP_CLASS, windowClassName, SETUP_TEXT_MAX);
    // Before the argument test: an unsupported system is not touched at all,
    // not even to remove the product.
    osClass = QueryOsClass();
    if (osClass == OS_CLASS_UNSUPPORTED) {
        MessageBoxA(NULL, "NOT SUPPORT OS!", SETUP_CAPTION, MB_OK | MB_ICONERROR);
        return 0;
    }
    // The 32-bit setup on 64-bit Windows would put everything where the
    // system never loads it from and still report success: it refuses
    // before touching anything, the removal included.
    if (RunningUnderWow64()) {
        MessageBoxA(NULL, "This setup is for 32-bit Windows. Please run Install.exe from the x64 folder of the medium.",
                    SETUP_CAPTION, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (IsUninstallArgument(commandTail)) {
        RunUninstallPrompt();
        return 0;
    }
    RegisterMainWindowClass(instance);
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    RunMessageLoop(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_SETUP_ACCEL)));
    return 0;
}
