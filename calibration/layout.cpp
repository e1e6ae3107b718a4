// The rules of the calibration screen that need no window: where the targets
// and the other elements go for a given display size, how the steps follow
// one another, and how a finished pass becomes the values to store.
#include "zentaroxusb.h"
#include "texts.h"

// 102 and 1945 both lie 102 units from the ends of 0..2047, so the four
// targets sit the same distance in from every edge.
const int targetFractions[2] = { 102, 1945 };

POINT TargetCentre(int step, int width, int height)
{
    // Steps run left-right, then top-bottom: 1 TL, 2 TR, 3 BL, 4 BR. The
    // products stay well inside 32 bits for any real display; the division
    // truncates toward zero.
    POINT centre;
    centre.x = targetFractions[(step - 1) % 2] * width / 2048;
    centre.y = targetFractions[(step - 1) / 2] * height / 2048;
    return centre;
}

int NextCalibStep(int step)
{
    return step >= 4 ? 0 : step + 1;
}

const char *ReadingTraceFormat(int step)
{
    return step == 2 ? TOP_RIGHT_READING_TRACE : READING_TRACE;
}

static RECT MakeRect(int left, int top, int right, int bottom)
{
    RECT r = { left, top, right, bottom };
    return r;
}

void ComputeLayout(int width, int height, CalibrationLayout *layout)
{
    int cx = width / 2, cy = height / 2;
    layout->tick.x = cx - 120;
    layout->tick.y = cy - 50;
    layout->instruction = MakeRect(cx - 100, cy - 50, cx + 100, cy + 100);
    layout->finger.x = cx - 45;
    layout->finger.y = cy - 220;
    layout->check = MakeRect(cx - 200, cy - 100, cx + 200, cy + 100);
    layout->okButton = MakeRect(cx - 105, cy - 30, cx - 105 + 100, cy - 30 + 50);
    layout->adjustButton = MakeRect(cx + 5, cy - 30, cx + 5 + 100, cy - 30 + 50);
}

void ComposeCalibration(const POINT readings[4], int width, int height,
                        int values[CALIBRATION_LOADED_COUNT])
{
    for (int i = 0; i < 4; i++) {
        values[2 * i] = readings[i].x;
        values[2 * i + 1] = readings[i].y;
    }
    values[CAL_SCREEN_WIDTH] = width;
    values[CAL_SCREEN_HIGH] = height;
}
