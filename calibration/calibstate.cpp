// The calibration program's process-wide state. Start-up fills the first
// half; the calibration window owns the rest. One thread touches all of it.
#include "zentaroxusb.h"
#include "zerofilled.h"

ZERO_FILLED int osClass = 0;
HANDLE touchDevice = INVALID_HANDLE_VALUE;
ZERO_FILLED int screenWidth = 0;
ZERO_FILLED int screenHeight = 0;
ZERO_FILLED HBITMAP crossBitmap = NULL;
ZERO_FILLED HBITMAP tickBitmap = NULL;
ZERO_FILLED HBITMAP fingerBitmap = NULL;

int calibStep = 1;
ZERO_FILLED POINT rawReadings[4];
ZERO_FILLED int savedCalibration[CALIBRATION_LOADED_COUNT];
