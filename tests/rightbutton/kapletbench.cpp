// See kapletbench.h.
#include "kapletbench.h"

#include <gtest/gtest.h>

namespace kaplet {

static const int kPictureX = 10, kPictureY = 10;   // where the window draws it

Picture LoadPicture(int id, const std::string &exe)
{
    Picture picture;
    std::string path = exe.empty() ? bench::BinPath("Kaplet.exe") : exe;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        ADD_FAILURE() << "cannot open " << path << " (" << GetLastError() << ")";
        return picture;
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_BITMAP);
    const BYTE *data = found ? (const BYTE *)LockResource(LoadResource(module, found)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (data && size >= sizeof(BITMAPINFOHEADER)) {
        const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)data;
        int width = header->biWidth, height = header->biHeight;
        int bits = header->biBitCount;
        bool bottomUp = height > 0;
        if (height < 0)
            height = -height;
        DWORD colours = header->biClrUsed ? header->biClrUsed : (bits <= 8 ? 1u << bits : 0);
        const RGBQUAD *palette = (const RGBQUAD *)(data + header->biSize);
        const BYTE *rows = (const BYTE *)(palette + colours);
        size_t stride = ((size_t)width * bits + 31) / 32 * 4;
        bool fits = bits >= 1 && bits <= 8 && header->biCompression == BI_RGB && width > 0 &&
                    rows + stride * height <= data + size;
        if (fits) {
            picture.width = width;
            picture.height = height;
            picture.bitCount = bits;
            for (int y = 0; y < height; y++) {
                const BYTE *row = rows + stride * (bottomUp ? height - 1 - y : y);
                for (int x = 0; x < width; x++) {
                    int bitPos = x * bits;
                    int index = (row[bitPos / 8] >> (8 - bits - bitPos % 8)) & ((1 << bits) - 1);
                    RGBQUAD q = palette[index];
                    picture.pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
                }
            }
        } else {
            ADD_FAILURE() << "bitmap " << id << " is not an uncompressed palette bitmap (" << bits << " bits)";
        }
    }
    FreeLibrary(module);
    return picture;
}

const char *ShownName(Shown shown)
{
    switch (shown) {
    case SHOWS_LEFT: return "the left picture";
    case SHOWS_RIGHT: return "the right picture";
    default: return "neither picture";
    }
}

POINT ClientOrigin(HWND window)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

static bool ScreenMatches(const bench::Screen &screen, POINT at, const Picture &picture)
{
    if (picture.width == 0)
        return false;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            int sx = at.x + x, sy = at.y + y;
            if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height)
                return false;
            if (screen.At(sx, sy) != picture.At(x, y))
                return false;
        }
    return true;
}

Shown ShownPicture(HWND window)
{
    static const Picture left = LoadPicture(201), right = LoadPicture(202);
    POINT at = ClientOrigin(window);
    at.x += kPictureX;
    at.y += kPictureY;
    bench::Screen screen = bench::CaptureScreen();
    if (ScreenMatches(screen, at, left))
        return SHOWS_LEFT;
    if (ScreenMatches(screen, at, right))
        return SHOWS_RIGHT;
    return SHOWS_NEITHER;
}

bool WaitUntil(const std::function<bool()> &cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
}

bool WaitForShown(HWND window, Shown expected, DWORD timeoutMs)
{
    return WaitUntil([&] { return ShownPicture(window) == expected; }, timeoutMs);
}

void ClickPicture(HWND window, bool rightButton)
{
    POINT at = ClientOrigin(window);
    bench::ClickAt(at.x + kPictureX + 25, at.y + kPictureY + 25, rightButton);
}

POINT Outside()
{
    POINT p = {600, 500};
    return p;
}

std::vector<bench::SimRequest> ModeRequests(const std::vector<bench::SimRequest> &log)
{
    std::vector<bench::SimRequest> out;
    for (const bench::SimRequest &r : log)
        if (r.hasIn)
            out.push_back(r);
    return out;
}

std::vector<bench::SimRequest> StatusRequests(const std::vector<bench::SimRequest> &log)
{
    std::vector<bench::SimRequest> out;
    for (const bench::SimRequest &r : log)
        if (!r.hasIn)
            out.push_back(r);
    return out;
}

std::vector<bench::SimRequest> WaitForRequests(size_t count, DWORD timeoutMs)
{
    std::vector<bench::SimRequest> log;
    WaitUntil([&] { log = bench::ReadSimLog(); return log.size() >= count; }, timeoutMs);
    return log;
}

Tool StartTool(const std::string &exe)
{
    Tool tool;
    tool.program = bench::StartProgram(exe.empty() ? bench::BinPath("Kaplet.exe") : exe);
    tool.window = bench::WaitForWindow(tool.Id(), "SwapBottun", 15000);
    EXPECT_NE(tool.window, nullptr) << "Kaplet.exe shows no \"SwapBottun\" window";
    // The first paint may come a moment after the window turns visible.
    if (tool.window)
        WaitForShown(tool.window, SHOWS_LEFT, 5000);
    return tool;
}

void EndTool(Tool &tool)
{
    bench::EndProgram(tool.program);
    tool.program = nullptr;
    tool.window = nullptr;
}

}  // namespace kaplet
