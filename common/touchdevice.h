// The touch driver's device object \\.\TessivarUsb and its control requests.
// Every buffer is one 32-bit word.
#ifndef TOUCHDEVICE_H
#define TOUCHDEVICE_H

#include <windows.h>
#include <winioctl.h>

#define TOUCH_DEVICE_PATH "\\\\.\\TessivarUsb"

#define IOCTL_TOUCH_GET_XY            CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_TOUCH_UPDATE_PARAMETERS CTL_CODE(FILE_DEVICE_UNKNOWN, 0x802, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_TOUCH_MOUSE_STATUS      CTL_CODE(FILE_DEVICE_UNKNOWN, 0x803, METHOD_NEITHER, FILE_ANY_ACCESS)

// Status word bits that mean right-button mode is still in effect.
#define TOUCH_STATUS_RIGHT_MODE_MASK 0x5u

// Exclusive read/write open; INVALID_HANDLE_VALUE with the system error on failure.
HANDLE OpenTouchDevice(void);

// Raw touch reading: X in the high 16 bits of the word, Y in the low 16.
// The word is zeroed first; returns the request's result (FALSE with the
// system error set when it failed).
BOOL ReadTouchXY(HANDLE device, DWORD *touchWord);
inline DWORD TouchWordX(DWORD touchWord) { return touchWord >> 16; }
inline DWORD TouchWordY(DWORD touchWord) { return touchWord & 0xFFFFu; }

// Asks the driver to take up the values now stored under its Parameters key.
// The result is of no interest to anyone.
void UpdateDriverParameters(HANDLE device);

// Right-button mode (1 on, 0 off). Opens the device, sends, closes. A device
// that cannot be opened means nothing is sent; a failed request is traced.
void SetMouseMode(DWORD mode);

// Polls right-button mode. FALSE when the device cannot be opened; otherwise
// TRUE with the status word in *status (0 after a failed request, traced).
BOOL GetMouseStatus(DWORD *status);

#endif
