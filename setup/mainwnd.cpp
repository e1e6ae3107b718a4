// The backdrop: a window over the whole screen in the active-caption colour,
// behind the wizard pages. It draws nothing itself (its class brush fills
// it); 300 ms after it appears it opens the welcome page.
#include <windows.h>
#include "wizard.h"
#include "resource.h"
#include "zerofilled.h"

enum { STARTUP_TIMER_ID = 101, STARTUP_DELAY_MS = 300 };

// The screen size in pixels, measured once when the backdrop is made: the
// backdrop's size and what every page is centred on.
ZERO_FILLED static int screenWidth;
ZERO_FILLED static int screenHeight;

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_ACTIVECAPTION + 1);
    wc.lpszClassName = windowClassName;
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP_SMALL));
    return RegisterClassExA(&wc);
}

BOOL CreateMainWindow(HINSTANCE instance, int showCommand)
{
    appInstance = instance;
    // Measured once: every page is centred on this size, the whole screen
    // rather than the work area.
    HDC screen = GetDC(NULL);
    screenWidth = GetDeviceCaps(screen, HORZRES);
    screenHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(NULL, screen);
    // WS_OVERLAPPED: title bar and border, but no system menu to close it by.
    HWND window = CreateWindowExA(0, windowClassName, windowTitle, WS_OVERLAPPED, 0, 0, screenWidth,
                                  screenHeight, NULL, NULL, instance, NULL);
    if (!window)
        return FALSE;
    mainWindow = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return TRUE;
}

void CenterOnScreen(HWND window)
{
    WINDOWPLACEMENT placement;
    ZeroMemory(&placement, sizeof(placement));
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    RECT *r = &placement.rcNormalPosition;
    int width = r->right - r->left, height = r->bottom - r->top;
    r->left = (screenWidth - width) / 2;
    r->top = (screenHeight - height) / 2;
    r->right = r->left + width;
    r->bottom = r->top + height;
    SetWindowPlacement(window, &placement);
}

static LRESULT OnCreate(HWND window)
{
    SetTimer(window, STARTUP_TIMER_ID, STARTUP_DELAY_MS, NULL);
    return 0;
}

// The welcome page runs modally inside this message; so does the progress
// page after it, and the program's end is posted from there.
static LRESULT OnTimer(HWND window)
{
    KillTimer(window, STARTUP_TIMER_ID);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_WELCOME), window, WelcomeDlgProc, 0);
    return 0;
}

static LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_TIMER:
        return OnTimer(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == CMD_ABOUT) {
            DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDlgProc, 0);
            return 0;
        }
        break;
    case WM_PAINT:
        return OnPaint(window);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
