// Test bench helpers for the Wine test programs: the build's program folder,
// the registry as Windows stores it, the simulated touch controller, programs
// run under the debug API (exit code and every debugger-output line, a DLL
// loaded before their entry point), their windows and message boxes, input
// and the screen's pixels.
#ifndef BENCHLIB_H
#define BENCHLIB_H

#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// How long a wait that only guards against a hang waits: generous, so that a
// loaded machine fails a test on a fault, not on its load. Waits that prove
// a time ("no window for 3 s") keep their own figures.
const DWORD kHangGuardMs = 60000;

// --- places -------------------------------------------------------------------
std::string BinDir();                           // folder of the built programs
// BinDir()\file; for the three programs and the two probes, the folder of the
// build under test instead when the run names one (ZX_PROGRAM_DIR).
std::string BinPath(const std::string &file);
std::string WindowsDir();                       // GetWindowsDirectoryA
bool FileExists(const std::string &path);
std::string ReadFileText(const std::string &path);   // "" when missing
void CopyFileOrFail(const std::string &from, const std::string &to);

// --- registry -------------------------------------------------------------------
struct RegValue {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    DWORD AsDword() const;          // first 4 bytes; 0xDEADBEEF when not 4 bytes
    std::string AsString() const;   // the bytes up to the first zero
};
RegValue ReadValue(HKEY root, const std::string &path, const std::string &name);
bool KeyExists(HKEY root, const std::string &path);
void WriteDword(HKEY root, const std::string &path, const std::string &name, DWORD value);
void WriteString(HKEY root, const std::string &path, const std::string &name, const std::string &value);
void WriteBinary(HKEY root, const std::string &path, const std::string &name, const void *data, DWORD size);
void DeleteValue(HKEY root, const std::string &path, const std::string &name);
void DeleteTree(HKEY root, const std::string &path);

// Wine's per-program Windows version ("win98", "winxp", "vista", "win7", ...).
void SetProgramVersion(const std::string &exeName, const std::string &version);

// --- the controller's request codes ---------------------------------------------------
// The device I/O control codes as the driver receives them, written out here
// rather than taken from the programs' headers, so that the tests check the
// codes the programs really send.
const DWORD kGetXYRequest = 0x222004;              // one raw touch word out
const DWORD kUpdateParametersRequest = 0x222008;   // reload the Parameters key
const DWORD kMouseStatusRequest = 0x22200F;        // right-button mode in, or status out

// --- the simulated touch controller ---------------------------------------------------
// Key of the controller's steering values (see the stand-in's source).
extern const char *const kTouchSimKey;
extern const char *const kParametersKey;     // the driver's Parameters key, HKLM

// Copies the stand-in driver to System32\drivers\Velqar.sys, registers the
// kernel service "Drovik" and starts it, so \\.\TessivarUsb opens.
void InstallTouchSim();
void StopTouchSim();
// The touch words handed out in turn by IOCTL_TOUCH_GET_XY (from the start).
void SetTouchWords(const std::vector<DWORD> &words);
void SetTouchSim(const std::string &name, DWORD value);
inline DWORD TouchWord(DWORD x, DWORD y) { return (x << 16) | (y & 0xFFFF); }

struct SimRequest {
    uint64_t timeUs = 0;      // controller's clock, microseconds
    DWORD code = 0;
    bool hasIn = false;
    DWORD in = 0;
    bool hasOut = false;
    DWORD out = 0;
    DWORD status = 0;         // NTSTATUS the request completed with
    bool hasParams = false;   // update requests: the eleven calibration values
    int64_t params[11] = {};  // -1 where a value was missing or not 4 bytes
};
std::vector<SimRequest> ReadSimLog();
void ClearSimLog();

// Creates the driver's Parameters key with the installed defaults.
void InstallDefaultParameters();

// --- programs under test ------------------------------------------------------------
struct Program;
// The next StartProgram (and only that one) loads the DLL at dllPath into the
// program before its entry point runs: the program's main thread waits at
// its entry point until LoadLibraryA has returned in a thread of its own.
void InjectIntoNextStart(const std::string &dllPath);
// Starts exe (a path) with the command-line tail args, under the debug API.
Program *StartProgram(const std::string &exe, const std::string &args = "",
                      const std::string &currentDir = "");
DWORD ProgramId(Program *program);
// Waits for the end; true and the exit code when it ended within timeoutMs.
bool WaitProgram(Program *program, DWORD timeoutMs, DWORD *exitCode);
// Every OutputDebugStringA of the program so far, exactly as sent.
std::vector<std::string> DebugOutput(Program *program);
// Ends the program if still running and frees the record.
void EndProgram(Program *program);

// Runs exe to its end (ending it after timeoutMs): exit code, or 0xFFFFFFFF.
DWORD RunProgram(const std::string &exe, const std::string &args = "", DWORD timeoutMs = kHangGuardMs,
                 std::vector<std::string> *debugOutput = nullptr);

// --- windows -----------------------------------------------------------------------
// First visible top-level window of the process with that class (any when null).
HWND WaitForWindow(DWORD processId, const char *className, DWORD timeoutMs);
HWND FindProcessWindow(DWORD processId, const char *className);
std::string WindowText(HWND window);
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool hasIcon = false;
    std::vector<std::string> buttons;   // button texts, in child order
};
// Waits for a message box of the process and reads it.
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs);
// Reads a message box already found (empty info for a null window).
MessageBoxInfo ReadMessageBox(HWND window);
// Checks a box with one OK button: caption, text and whether it shows an
// icon; failures name the caller's line (use EXPECT_OK_BOX).
void ExpectOkBox(const MessageBoxInfo &box, const std::string &caption, const std::string &text,
                 bool hasIcon, const char *file, int line);
#define EXPECT_OK_BOX(box, caption, text, hasIcon) \
    ::bench::ExpectOkBox((box), (caption), (text), (hasIcon), __FILE__, __LINE__)
// Presses the message box's button with that id (IDOK, IDYES, ...).
void AnswerMessageBox(const MessageBoxInfo &box, int buttonId);
// Processes this thread's messages for ms milliseconds (the tests own no windows,
// but some Win32 calls want a pumping caller).
void Pause(DWORD ms);
// Checks condition every 20 ms (pumping messages) until it holds; false when
// timeoutMs passed first.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = kHangGuardMs);

// --- input and screen ------------------------------------------------------------------
// Real pointer input through the X server: move there, press, release.
void ClickAt(int x, int y, bool rightButton = false);
void MoveTo(int x, int y);
void PressButton(bool down, bool rightButton = false);
void PressKey(WORD virtualKey);

struct Screen {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;    // row by row, top first
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // How many pixels of the rectangle have exactly that colour.
    int Count(const RECT &area, COLORREF colour) const;
    void SaveBmp(const std::string &path) const;
};
Screen CaptureScreen();

// A bitmap resource of a program file as GDI decodes it: its stored colour
// depth, pixels top row first. Empty (width 0) when the file has no such bitmap.
struct Picture {
    int width = 0, height = 0, bitCount = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
Picture LoadProgramBitmap(const std::string &exe, int id);
// How many pixels of the picture differ from the screen with the picture's
// top-left corner at (left, top); pixels off the screen count as differing.
int DifferingPixels(const Screen &screen, const Picture &picture, int left, int top);

}  // namespace bench

#endif
