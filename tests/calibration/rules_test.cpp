// The target centres on displays other than the bench's (the pass tests see
// only 1024 x 768), and the program file's resources as the shell and the
// window find them.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
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

TEST(CalibrationResources, BitmapsIconAndManifestAreThere)
{
    bench::Picture cross = caltest::ProgramBitmap(102);
    EXPECT_EQ(cross.width, 65);
    EXPECT_EQ(cross.height, 65);
    EXPECT_EQ(cross.bitCount, 4);
    // The exact centre pixel is the one the program puts on the target point.
    EXPECT_EQ(cross.At(32, 32), RGB(255, 0, 0));
    EXPECT_EQ(cross.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(cross.At(32, 0), RGB(255, 255, 0));

    bench::Picture tick = caltest::ProgramBitmap(104);
    EXPECT_EQ(tick.width, 28);
    EXPECT_EQ(tick.height, 27);
    EXPECT_EQ(tick.bitCount, 8);

    bench::Picture finger = caltest::ProgramBitmap(105);
    EXPECT_EQ(finger.width, 91);
    EXPECT_EQ(finger.height, 109);
    EXPECT_EQ(finger.bitCount, 24);
    for (COLORREF c : finger.pixels)
        ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << "not greyscale";

    HMODULE module = LoadLibraryExA(bench::BinPath("ZentaroxUsb.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(106), (LPCSTR)RT_GROUP_ICON), nullptr) << "icon group 106";
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST);
    ASSERT_NE(found, nullptr) << "manifest";
    std::string manifest((const char *)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
    FreeLibrary(module);
}
