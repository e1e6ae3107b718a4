// The debug trace as a debugger sees it: exact text, no added line break,
// level filtering and the cut of over-long lines.
#include <gtest/gtest.h>
#include "benchlib.h"

static std::vector<std::string> Trace(const std::string &args)
{
    std::vector<std::string> output;
    EXPECT_EQ(bench::RunProgram(bench::BinPath("commonprobe.exe"), args, bench::kHangGuardMs, &output), 0u);
    return output;
}

TEST(DebugTrace, LineArrivesExactlyAsFormatted)
{
    EXPECT_EQ(Trace("trace 0 \"Open register key fail(%d)\\n\" 5"),
              std::vector<std::string>{"Open register key fail(5)\n"});
    EXPECT_EQ(Trace("trace 0 \"Process \"\"%s\"\" return%d(%d:0x%08X)\\n\" s:C:\\med 9 -1 183"),
              std::vector<std::string>{"Process \"C:\\med\" return9(-1:0x000000B7)\n"});
}

TEST(DebugTrace, NumbersArePaddedToFiveButNeverCut)
{
    EXPECT_EQ(Trace("trace 0 \"$$$$$$$$XY(%5d,%5d)\\n\" 1234 567"),
              std::vector<std::string>{"$$$$$$$$XY( 1234,  567)\n"});
    EXPECT_EQ(Trace("trace 0 \"$$$$$$$$XY2(%5d,%5d)\\n\" 123456 65535"),
              std::vector<std::string>{"$$$$$$$$XY2(123456,65535)\n"});
}

TEST(DebugTrace, AddsNoLineBreakOfItsOwn)
{
    EXPECT_EQ(Trace("trace 0 \"Set Security.\""), std::vector<std::string>{"Set Security."});
}

TEST(DebugTrace, OnlyLevelZeroAndBelowPrint)
{
    EXPECT_TRUE(Trace("trace 1 \"hidden\\n\"").empty());
    EXPECT_TRUE(Trace("trace 7 \"hidden\\n\"").empty());
    EXPECT_EQ(Trace("trace -1 \"shown\\n\""), std::vector<std::string>{"shown\n"});
}

static std::string Alphabet(size_t count)
{
    std::string s;
    for (size_t i = 0; i < count; i++)
        s += (char)('a' + i % 26);
    return s;
}

TEST(DebugTrace, LongLinesArriveWholeUpToTheLimitAndAreCutThere)
{
    // wvsprintfA's limit is 1024 bytes with the terminating zero.
    EXPECT_EQ(Trace("tracelong 0 1000"), std::vector<std::string>{Alphabet(1000)});
    EXPECT_EQ(Trace("tracelong 0 1023"), std::vector<std::string>{Alphabet(1023)});
    EXPECT_EQ(Trace("tracelong 0 1024"), std::vector<std::string>{Alphabet(1023)});
    EXPECT_EQ(Trace("tracelong 0 5000"), std::vector<std::string>{Alphabet(1023)});
}
