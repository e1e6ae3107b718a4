// The calibration program's process-wide state. Start-up fills the first
// half; the calibration window owns the rest. One thread touches all of it.
#include "zentaroxusb.h"

int osClass = 0;
HANDLE touchDevice = INVALID_HANDLE_VALUE;
int screenWidth = 0;
int screenHeight = 0;
HBITMAP crossBitmap = NULL;
HBITMAP tickBitmap = NULL;
HBITMAP fingerBitmap = NULL;

int calibStep = 1;
POINT rawReadings[4];
int savedCalibration[CALIBRATION_LOADED_COUNT];
