// The driver's parameter schema, fixed in one place for the setup and
// calibration programs.
#include "touchparams.h"

const TouchParameter DefaultTouchParameters[TOUCH_PARAMETER_COUNT] = {
    { "SwapXY", 0 },
    { "ScreenWidth", 100 },
    { "ScreenHigh", 100 },
    { "DragDelay", 0 },
    { "ButtonMode", 0 },
    { "TopLeftOffsetX", 0 },
    { "TopLeftOffsetY", 0 },
    { "TopRightOffsetX", 0 },
    { "TopRightOffsetY", 0 },
    { "BottomLeftOffsetX", 0 },
    { "BottomLeftOffsetY", 0 },
    { "BottomRightOffsetX", 0 },
    { "BottomRightOffsetY", 0 },
    { "BeepMode", 2 },
    { "BeepFreq", 1000 },
    { "BeepTime", 11000 },      // not 1000: the driver's own default
    { "MouseMode", 3 },
    { "DblClickRegion", 10 },
    { "Calibration4Pt", 0 },
};

const char *const CalibrationValueNames[CALIBRATION_VALUE_COUNT] = {
    "TopLeftOffsetX", "TopLeftOffsetY",
    "TopRightOffsetX", "TopRightOffsetY",
    "BottomLeftOffsetX", "BottomLeftOffsetY",
    "BottomRightOffsetX", "BottomRightOffsetY",
    "ScreenWidth", "ScreenHigh",    // pixels; "High" is the driver's spelling
    "Calibration4Pt",
};
