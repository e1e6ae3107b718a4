// WinMain: decides whether the calibration may run at all (rights, Windows
// version, driver present), clears the one-time start entry, measures the
// display and runs the full-screen calibration window until it closes.
//
// Each failing check ends the program at once, before anything of a later
// step happens; the order is what the user sees first.
#include "zentaroxusb.h"
#include "texts.h"
#include "debugtrace.h"
#include "osclass.h"
#include "touchdevice.h"
#include "resource.h"
#include "dllsearch.h"

#define RUNONCE_KEY_PATH "Software\\Microsoft\\Windows\\CurrentVersion\\Runonce"
#define RUNONCE_VALUE "Tessivar"

enum { EXIT_REFUSED = -1 };

// The driver's key only opens with full access for an administrator (the
// setup program opens it to ordinary accounts on Vista and later), and it is
// missing when the driver is not installed: either way there is nothing this
// program may do.
static BOOL CanWriteDriverParameters(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TOUCH_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(key);
    return TRUE;
}

static void ReportDriverOpenFailure(DWORD error)
{
    char text[64];
    wsprintfA(text, DRIVER_OPEN_FAIL_TEXT, (int)error);
    MessageBoxA(NULL, text, CALIBRATION_CAPTION, MB_OK | MB_ICONERROR);
}

// No program of this system writes that value; it is cleared on every start
// that gets this far, quietly, and the key is never created.
static void RemoveRunOnceEntry(void)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, RUNONCE_KEY_PATH, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, RUNONCE_VALUE);
    RegCloseKey(key);
}

static ATOM RegisterCalibrationClass(HINSTANCE instance)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    // No CS_DBLCLKS: a quick second tap must arrive as an ordinary press and
    // release, since it is the next target's touch.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CalibrationWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    // Every erase paints the whole screen white.
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = CALIBRATION_CLASS_NAME;
    return RegisterClassA(&wc);
}

// Once: a change of display mode while the program runs is not followed, and
// the stored screen size is the one the targets were drawn for.
static void MeasureDisplay(void)
{
    HDC display = CreateDCA("DISPLAY", NULL, NULL, NULL);
    screenWidth = GetDeviceCaps(display, HORZRES);
    screenHeight = GetDeviceCaps(display, VERTRES);
    DeleteDC(display);
}

// A bitmap that fails to load only makes its drawing call fail later.
static void LoadCalibrationBitmaps(HINSTANCE instance)
{
    crossBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_CROSS));
    tickBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_TICK));
    fingerBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_FINGER));
}

static int RunMessageLoop(void)
{
    MSG msg;
    // GetMessageA's -1 (an error) must not be taken for a message.
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // It runs as administrator, also from the medium: DLLs from System32 only.
    RestrictDllSearch();
    osClass = QueryOsClass();

    // Rights come first: without them the user is told so even on a system
    // the program would not run on anyway.
    if (!CanWriteDriverParameters()) {
        MessageBoxA(NULL, ADMIN_RIGHTS_TEXT, ERROR_CAPTION, MB_OK);
        return EXIT_REFUSED;
    }
    if (osClass == OS_CLASS_UNSUPPORTED)
        return EXIT_REFUSED;
    touchDevice = OpenTouchDevice();
    if (touchDevice == INVALID_HANDLE_VALUE) {
        ReportDriverOpenFailure(GetLastError());
        return EXIT_REFUSED;
    }

    RemoveRunOnceEntry();

    if (!RegisterCalibrationClass(instance)) {
        MessageBoxA(NULL, NT_REQUIRED_TEXT, NT_REQUIRED_CAPTION, MB_OK | MB_ICONERROR);
        return 0;
    }
    MeasureDisplay();
    LoadCalibrationBitmaps(instance);

    // Topmost and covering the whole primary display from (0, 0). The
    // window's creation step loads the stored values and hides the pointer.
    HWND window = CreateWindowExA(WS_EX_TOPMOST, CALIBRATION_CLASS_NAME, CALIBRATION_WINDOW_TITLE,
                                  WS_POPUP | WS_VISIBLE, 0, 0, screenWidth, screenHeight, NULL, NULL,
                                  instance, NULL);
    if (!window) {
        // Without a window nothing would ever end the message loop, and the
        // exclusive device handle would lock every other user of the device
        // out for as long as the invisible process lived.
        DebugTrace(0, WINDOW_CREATE_FAIL_TRACE, (int)GetLastError());
        CloseHandle(touchDevice);
        touchDevice = INVALID_HANDLE_VALUE;
        return EXIT_REFUSED;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    // Once the window is up, the device handle stays open to the end; the
    // system closes it.
    return RunMessageLoop();
}
