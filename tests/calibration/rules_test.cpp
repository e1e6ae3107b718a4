// The rules of the calibration screen, called without a window: the target
// centres on displays other than the bench's (the pass tests see only
// 1024 x 768).
#include <gtest/gtest.h>
#include "zentaroxusb.h"

TEST(CalibrationRules, TargetCentresFollowTheFractionsOfTheDisplay)
{
    struct { int width, height; POINT expected[4]; } displays[] = {
        {1920, 1080, {{95, 53}, {1823, 53}, {95, 1025}, {1823, 1025}}},
        {1024, 768, {{51, 38}, {972, 38}, {51, 729}, {972, 729}}},
        {800, 600, {{39, 29}, {759, 29}, {39, 569}, {759, 569}}},
        {3840, 2160, {{191, 107}, {3646, 107}, {191, 2051}, {3646, 2051}}},
    };
    for (const auto &d : displays)
        for (int step = 1; step <= 4; step++) {
            POINT c = TargetCentre(step, d.width, d.height);
            EXPECT_EQ(c.x, d.expected[step - 1].x) << d.width << "x" << d.height << " step " << step;
            EXPECT_EQ(c.y, d.expected[step - 1].y) << d.width << "x" << d.height << " step " << step;
        }
}
