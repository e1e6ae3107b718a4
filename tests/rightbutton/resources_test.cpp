// What Kaplet.exe carries: the two 50 x 50 16-colour pictures with their
// raised and sunken frames, and the one 32 x 32 icon.
#include <gtest/gtest.h>
#include "kapletbench.h"

static const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
static const COLORREF kDarkGrey = RGB(128, 128, 128), kLightGrey = RGB(192, 192, 192);

// The outer line in the colour given for its top-left and bottom-right
// halves, the dark-grey line inside it on all four sides.
static void ExpectFrame(const bench::Picture &p, COLORREF topLeft, COLORREF bottomRight, const char *name)
{
    int last = p.width - 1;
    for (int i = 0; i < last; i++) {
        EXPECT_EQ(p.At(i, 0), topLeft) << name << ": top line at x=" << i;
        EXPECT_EQ(p.At(0, i), topLeft) << name << ": left line at y=" << i;
    }
    for (int i = 1; i <= last; i++) {
        EXPECT_EQ(p.At(i, last), bottomRight) << name << ": bottom line at x=" << i;
        EXPECT_EQ(p.At(last, i), bottomRight) << name << ": right line at y=" << i;
    }
    for (int i = 1; i < last; i++) {
        EXPECT_EQ(p.At(i, 1), kDarkGrey) << name << ": inner top line at x=" << i;
        EXPECT_EQ(p.At(1, i), kDarkGrey) << name << ": inner left line at y=" << i;
        EXPECT_EQ(p.At(i, last - 1), kDarkGrey) << name << ": inner bottom line at x=" << i;
        EXPECT_EQ(p.At(last - 1, i), kDarkGrey) << name << ": inner right line at y=" << i;
    }
}

static int CountBlack(const bench::Picture &p, int fromX, int toX)
{
    int n = 0;
    for (int y = 2; y < p.height - 2; y++)
        for (int x = fromX; x < toX; x++)
            n += p.At(x, y) == kBlack;
    return n;
}

TEST(RightButtonResources, PicturesAre50By50In16ColoursWithRaisedAndSunkenFrames)
{
    bench::Picture left = kaplet::LoadPicture(201), right = kaplet::LoadPicture(202);
    ASSERT_EQ(left.width, 50);
    ASSERT_EQ(left.height, 50);
    ASSERT_EQ(right.width, 50);
    ASSERT_EQ(right.height, 50);
    EXPECT_EQ(left.bitCount, 4);
    EXPECT_EQ(right.bitCount, 4);
    ExpectFrame(left, kWhite, kBlack, "bitmap 201 (raised)");
    ExpectFrame(right, kBlack, kWhite, "bitmap 202 (sunken)");

    // The face is light grey, and the mouse on it is the same but for which
    // button is hatched: the hatching puts the extra black on that side.
    int leftFace = 0, rightFace = 0;
    for (int y = 2; y < 48; y++)
        for (int x = 2; x < 48; x++) {
            leftFace += left.At(x, y) == kLightGrey;
            rightFace += right.At(x, y) == kLightGrey;
        }
    EXPECT_GT(leftFace, 46 * 46 / 3);
    EXPECT_EQ(leftFace, rightFace);
    EXPECT_GT(CountBlack(left, 2, 25), CountBlack(left, 25, 48) + 10);
    EXPECT_GT(CountBlack(right, 25, 48), CountBlack(right, 2, 25) + 10);
}

struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};

static BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    ((std::vector<ULONG_PTR> *)param)->push_back((ULONG_PTR)name);
    return TRUE;
}

TEST(RightButtonResources, FileIconIsTheOne32By32SixteenColourIcon105)
{
    HMODULE module = LoadLibraryExA(bench::BinPath("Kaplet.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    // Explorer takes a file's first icon group: there must be only ours.
    std::vector<ULONG_PTR> groups;
    EnumResourceNamesA(module, (LPCSTR)RT_GROUP_ICON, CollectName, (LONG_PTR)&groups);
    EXPECT_EQ(groups, std::vector<ULONG_PTR>{105});
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(105), (LPCSTR)RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const BYTE *data = (const BYTE *)LockResource(LoadResource(module, found));
    WORD count = ((const WORD *)data)[2];
    ASSERT_EQ(count, 1);
    IconGroupEntry entry;
    memcpy(&entry, data + 6, 14);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);
    EXPECT_EQ(entry.bitCount, 4);
    HICON icon = CreateIconFromResourceEx(
        (BYTE *)LockResource(LoadResource(module, FindResourceA(module, MAKEINTRESOURCEA(entry.id),
                                                                (LPCSTR)RT_ICON))),
        entry.bytes, TRUE, 0x00030000, 32, 32, 0);
    EXPECT_NE(icon, nullptr) << "the icon image does not load";
    if (icon)
        DestroyIcon(icon);
    FreeLibrary(module);
}
