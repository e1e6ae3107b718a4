// Requests to the touch driver. The calibration program keeps one handle for
// its whole run; the right-button tool opens the device for every request.
#include "touchdevice.h"
#include "debugtrace.h"

HANDLE OpenTouchDevice(void)
{
    return CreateFileA(TOUCH_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

BOOL ReadTouchXY(HANDLE device, DWORD *touchWord)
{
    DWORD returned = 0;
    *touchWord = 0;
    return DeviceIoControl(device, IOCTL_TOUCH_GET_XY, NULL, 0, touchWord, sizeof(*touchWord),
                           &returned, NULL);
}

void UpdateDriverParameters(HANDLE device)
{
    DWORD returned = 0;
    DeviceIoControl(device, IOCTL_TOUCH_UPDATE_PARAMETERS, NULL, 0, NULL, 0, &returned, NULL);
}

// The same text for both directions of the mouse-status request: the word is
// the mode sent, or the status word as it stood after the request.
static void TraceMouseStatusFailure(DWORD word, DWORD returned)
{
    DebugTrace(0, "Get current mouse status fail(%d:%d:%d)\n", (int)word, (int)returned,
               (int)GetLastError());
}

void SetMouseMode(DWORD mode)
{
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE)
        return;
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_TOUCH_MOUSE_STATUS, &mode, sizeof(mode), NULL, 0,
                         &returned, NULL))
        TraceMouseStatusFailure(mode, returned);
    CloseHandle(device);
}

BOOL GetMouseStatus(DWORD *status)
{
    *status = 0;
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_TOUCH_MOUSE_STATUS, NULL, 0, status, sizeof(*status),
                         &returned, NULL))
        TraceMouseStatusFailure(*status, returned);
    CloseHandle(device);
    return TRUE;
}
