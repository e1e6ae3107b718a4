// RightButtonWndProc, the window procedure of class "SwapBottun": paints the
// picture of the mode shown and turns left-button clicks into mode switches.
// Everything else (moving by the caption, closing) is the default processing.
#include "kaplet.h"
#include "touchdevice.h"
#include "zerofilled.h"

ZERO_FILLED HWND mainWindow;

static LRESULT OnCreate(HWND window)
{
    rightModeOn = 0;
    // -1 makes CreateWindowExA fail, and start-up then ends the program.
    return CreatePictureSurfaces(window) ? 0 : -1;
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintPicture(dc, rightModeOn);
    EndPaint(window, &paint);
}

static void OnLeftButtonUp(HWND window)
{
    if (!TakePendingClick())
        return;
    // The new mode stands whatever becomes of the request: without a device
    // the picture still flips, and the user can flip it back.
    SetMouseMode((DWORD)FlipRightMode());
    if (rightModeOn)
        StartStatusPolling();
    else
        StopStatusPolling();
    // No erase: the picture covers its own area, so this paints without flicker.
    InvalidateRect(window, NULL, FALSE);
}

static void OnDestroy(void)
{
    // Nothing goes to the driver: a right-button mode that is on stays on.
    ReleasePictures();
    PostQuitMessage(0);
}

LRESULT CALLBACK RightButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_LBUTTONDOWN:
        NoteLeftPress();
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(window);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
