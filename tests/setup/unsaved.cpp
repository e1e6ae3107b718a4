// A program with unsaved work: one window that answers Windows' question
// whether it may end with "no", as an editor with a modified document does
// before its user has answered. Ends after two minutes at the latest.
#include <windows.h>

static LRESULT CALLBACK UnsavedWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        return FALSE;
    case WM_TIMER:
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = UnsavedWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "UnsavedWork";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("UnsavedWork", "Unsaved work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                NULL, NULL, instance, NULL);
    SetTimer(window, 1, 120000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
