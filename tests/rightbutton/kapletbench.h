// Helpers of the right-button tool's tests: Kaplet.exe's pictures as stored in
// its resources, the tool started under the debug API with its window found,
// the fixture base of the cases that run it, clicks in its client area, what
// picture the screen shows, and the simulated controller's log split into
// mode and status requests.
#ifndef KAPLETBENCH_H
#define KAPLETBENCH_H

#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "benchlib.h"

namespace kaplet {

// Picture id of Kaplet.exe (or of exe); empty (width 0) when it is missing.
bench::Picture LoadPicture(int id, const std::string &exe = "");

enum Shown { SHOWS_LEFT, SHOWS_RIGHT, SHOWS_NEITHER };
const char *ShownName(Shown shown);

// The client area's origin on the screen.
POINT ClientOrigin(HWND window);
// Which picture the screen shows at the client position (10, 10).
Shown ShownPicture(HWND window);
// Waits until the screen shows that picture; false after timeoutMs.
bool WaitForShown(HWND window, Shown expected, DWORD timeoutMs = bench::kHangGuardMs);

using bench::WaitUntil;

// Left click in the middle of the picture.
void ClickPicture(HWND window, bool rightButton = false);
// A screen point well away from the tool's window (on the bare desktop).
POINT Outside();

// Requests of the log that set the mode (carry an input word) and those that
// ask for the status (carry none).
std::vector<bench::SimRequest> ModeRequests(const std::vector<bench::SimRequest> &log);
std::vector<bench::SimRequest> StatusRequests(const std::vector<bench::SimRequest> &log);
// Waits until the log holds at least count requests; returns the log.
std::vector<bench::SimRequest> WaitForRequests(size_t count, DWORD timeoutMs = bench::kHangGuardMs);

// Kaplet.exe started under the debug API, with its window.
struct Tool {
    bench::Program *program = nullptr;
    HWND window = nullptr;
    DWORD Id() const { return bench::ProgramId(program); }
    bool ShowsMessageBox() const { return bench::FindProcessWindow(Id(), "#32770") != nullptr; }
};
Tool StartTool(const std::string &exe = "");
void EndTool(Tool &tool);

// Base of the fixtures whose cases run Kaplet.exe. SetUp installs the
// simulated controller, lets the fixture steer it (SteerController) and
// starts the tool; TearDown expects no message box of the tool's and ends it.
// A fixture whose cases set the controller up themselves overrides SetUp and
// has each case call StartToolOrFail.
class ToolCase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Between the controller's installation and the tool's start.
    virtual void SteerController() {}
    // Starts Kaplet.exe into tool; a fatal failure when no window comes.
    void StartToolOrFail();

    Tool tool;
};

}  // namespace kaplet

#endif
