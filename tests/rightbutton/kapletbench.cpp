// See kapletbench.h.
#include "kapletbench.h"
#include "kaplettexts.h"

namespace kaplet {

static const int kPictureX = 10, kPictureY = 10;   // where the window draws it

bench::Picture LoadPicture(int id, const std::string &exe)
{
    return bench::LoadProgramBitmap(exe.empty() ? bench::BinPath("Kaplet.exe") : exe, id);
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

static bool ScreenMatches(const bench::Screen &screen, POINT at, const bench::Picture &picture)
{
    return picture.width > 0 && bench::DifferingPixels(screen, picture, at.x, at.y) == 0;
}

Shown ShownPicture(HWND window)
{
    static const bench::Picture left = LoadPicture(201), right = LoadPicture(202);
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
    tool.window = bench::WaitForWindow(tool.Id(), kToolClass, bench::kHangGuardMs);
    EXPECT_NE(tool.window, nullptr) << "Kaplet.exe shows no \"" << kToolClass << "\" window";
    // The first paint may come a moment after the window turns visible.
    if (tool.window)
        WaitForShown(tool.window, SHOWS_LEFT);
    return tool;
}

void EndTool(Tool &tool)
{
    bench::EndProgram(tool.program);
    tool.program = nullptr;
    tool.window = nullptr;
}

void ToolCase::SetUp()
{
    bench::InstallTouchSim();
    SteerController();
    StartToolOrFail();
}

void ToolCase::TearDown()
{
    if (tool.program) {
        EXPECT_FALSE(tool.ShowsMessageBox()) << "the tool showed a message box";
    }
    EndTool(tool);
}

void ToolCase::StartToolOrFail()
{
    tool = StartTool();
    ASSERT_NE(tool.window, nullptr);
}

}  // namespace kaplet
