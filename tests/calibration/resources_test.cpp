// The program file's resources as the shell and the window find them: the
// three pictures, the icon and the manifest; and the texts it draws, which
// no control holds and the screen shows only as pixels, as they stand in
// the file.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "calibtest.h"
#include "calibtexts.h"

TEST(CalibrationResources, BitmapsIconManifestAndDrawnTextsAreThere)
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

    // Each byte for byte, up to its terminating zero.
    std::string file = bench::ReadFileText(bench::BinPath("ZentaroxUsb.exe"));
    for (const char *text : {caltest::kTargetInstruction, caltest::kCheckQuestion})
        EXPECT_TRUE(file.find(std::string(text) + '\0') != std::string::npos)
            << "not in the program: \"" << text << "\"";
}
