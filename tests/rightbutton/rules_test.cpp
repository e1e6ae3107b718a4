// The tool's rules, called without a window: which status words of a poll
// keep right-button mode on.
#include <gtest/gtest.h>
#include "kaplet.h"

TEST(RightButtonRules, OnlyStatusBitsZeroAndTwoKeepTheModeOn)
{
    EXPECT_EQ(JudgeStatusPoll(FALSE, 5), POLL_STOP);
    EXPECT_EQ(JudgeStatusPoll(FALSE, 0), POLL_STOP);
    for (DWORD on : {0x1u, 0x4u, 0x5u, 0x7u, 0xFFFFFFFFu})
        EXPECT_EQ(JudgeStatusPoll(TRUE, on), POLL_AGAIN) << "status " << on;
    for (DWORD off : {0x0u, 0x2u, 0x8u, 0x10u, 0xFFFFFFFAu})
        EXPECT_EQ(JudgeStatusPoll(TRUE, off), POLL_MODE_ENDED) << "status " << off;
}
