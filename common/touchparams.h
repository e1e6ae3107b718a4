// The touch driver's parameter store: nineteen REG_DWORD values under its
// service key, with their fixed order and installed defaults, and the eleven
// of them that a calibration writes.
#ifndef TOUCHPARAMS_H
#define TOUCHPARAMS_H

#include <windows.h>

// Under HKEY_LOCAL_MACHINE. The spelling and the trailing backslash are the
// ones the driver package has always used; registry names ignore case.
#define TOUCH_PARAMETERS_KEY "System\\Currentcontrolset\\Services\\Drovik\\Parameters\\"
#define TOUCH_SERVICE_KEY    "System\\Currentcontrolset\\Services\\Drovik"
#define TOUCH_SERVICES_KEY   "System\\Currentcontrolset\\Services"
#define TOUCH_SERVICE_NAME   "Drovik"

struct TouchParameter {
    const char *name;
    DWORD defaultValue;
};

enum { TOUCH_PARAMETER_COUNT = 19 };

// In the order the setup program writes and deletes them.
extern const TouchParameter DefaultTouchParameters[TOUCH_PARAMETER_COUNT];

// The calibration value set, in the order of every write, read and wait:
// the four corners' raw x and y, the screen size in pixels, then the flag.
enum {
    CAL_TOP_LEFT_X, CAL_TOP_LEFT_Y, CAL_TOP_RIGHT_X, CAL_TOP_RIGHT_Y,
    CAL_BOTTOM_LEFT_X, CAL_BOTTOM_LEFT_Y, CAL_BOTTOM_RIGHT_X, CAL_BOTTOM_RIGHT_Y,
    CAL_SCREEN_WIDTH, CAL_SCREEN_HIGH, CAL_CALIBRATION_4PT,
    CALIBRATION_VALUE_COUNT,               // 11 values written
    CALIBRATION_LOADED_COUNT = CAL_CALIBRATION_4PT  // 10 values loaded and passed around
};

extern const char *const CalibrationValueNames[CALIBRATION_VALUE_COUNT];

#endif
