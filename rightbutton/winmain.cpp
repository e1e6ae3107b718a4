// Start-up of Kaplet.exe: load the pictures, register "SwapBottun", show the
// 80 x 100 topmost window in the top-left corner and run the message loop.
// The command line and the start-up show state are ignored; the exit code is
// always 0. The tool never shows a message box: a start-up that cannot work
// ends quietly, leaving a trace line, instead of leaving an invisible process.
#include "kaplet.h"
#include "texts.h"
#include "debugtrace.h"

// WS_POPUP | WS_CAPTION | WS_SYSMENU: a caption with only the close button,
// no minimise or maximise box, no sizing border.
#define RIGHT_BUTTON_STYLE (WS_POPUP | WS_CAPTION | WS_SYSMENU)
enum { WINDOW_WIDTH = 80, WINDOW_HEIGHT = 100 };   // outer size, frame included

static BOOL RegisterRightButtonClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RightButtonWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    windowClass.lpszClassName = RIGHT_BUTTON_CLASS;
    return RegisterClassA(&windowClass) != 0;
}

static int RunMessageLoop(void)
{
    MSG msg;
    ZeroMemory(&msg, sizeof(msg));
    // GetMessageA returns -1 on failure; looping on it would spin for ever.
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Without its pictures the window could not show which mode it is in,
    // and a click would switch the driver blind.
    if (!LoadPictures(instance)) {
        DebugTrace(0, PICTURE_LOAD_FAIL_TRACE, (int)GetLastError());
        ReleasePictures();
        return 0;
    }
    if (!RegisterRightButtonClass(instance)) {
        ReleasePictures();
        return 0;
    }
    mainWindow = CreateWindowExA(WS_EX_TOPMOST, RIGHT_BUTTON_CLASS, RIGHT_BUTTON_TITLE, RIGHT_BUTTON_STYLE,
                                 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, instance, NULL);
    if (!mainWindow) {
        DebugTrace(0, WINDOW_CREATE_FAIL_TRACE, (int)GetLastError());
        ReleasePictures();
        return 0;
    }
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    return RunMessageLoop();
}
