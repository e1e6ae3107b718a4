// The setup log (setuplog.h). The file is created new in the temp folder of
// the running account (for a deployment tool's system account, the Windows
// temp folder, where other accounts may create files too): CREATE_NEW
// neither follows nor overwrites a file or link that already stands at the
// name. Every line is flushed to disk at once, so that what a crash or a
// power cut interrupts is on disk up to the line before it.
#include <windows.h>
#include <stdarg.h>
#include "setuplog.h"
#include "setupcontext.h"
#include "boundedformat.h"
#include "debugtrace.h"
#include "zerofilled.h"

#define LOG_NAME_FORMAT "%sZentarox USB Touchscreen Setup %04u-%02u-%02u %02u-%02u-%02u %lu%s.log"

enum { LOG_TEXT_MAX = 1024 };
// Names tried when one is taken: the plain one, then " 2" to " 9" before ".log".
enum { LOG_NAME_TRIES = 9 };

// NULL while there is no log.
ZERO_FILLED static HANDLE setupLog;
// Where the exit code line written ahead of a restart starts; 0 for none.
ZERO_FILLED static DWORD exitLineOffset;

// One line: the time, prefix and text, line breaks in the text spelt "\n"
// and a trailing one dropped, then CR LF; on disk before it returns.
static void WriteLogLine(const char *prefix, const char *text)
{
    if (!setupLog)
        return;
    DWORD error = GetLastError();
    char line[2 * LOG_TEXT_MAX + 64];
    SYSTEMTIME now;
    GetLocalTime(&now);
    int length = wsprintfA(line, "%02u:%02u:%02u.%03u %s", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                           prefix);
    for (const char *p = text; *p && length < (int)sizeof(line) - 4; p++) {
        if (*p == '\n' && p[1]) {
            line[length++] = '\\';
            line[length++] = 'n';
        } else if (*p != '\n' && *p != '\r') {
            line[length++] = *p;
        }
    }
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(setupLog, line, (DWORD)length, &written, NULL);
    FlushFileBuffers(setupLog);
    SetLastError(error);
}

// wvsprintfA stops at 1024 bytes, as the trace does.
static void FormatLogText(char *text, const char *format, va_list args)
{
    ZeroMemory(text, LOG_TEXT_MAX + 1);
    wvsprintfA(text, format, args);
}

void OpenSetupLog(const char *commandTail)
{
    char folder[SETUP_PATH_MAX], path[SETUP_PATH_MAX];
    DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder))
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Someone else's file at the name is neither opened nor followed: the
    // next name is tried instead.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int i = 1; i <= LOG_NAME_TRIES && file == INVALID_HANDLE_VALUE; i++) {
        char suffix[8] = "";
        if (i > 1)
            wsprintfA(suffix, " %d", i);
        if (!FormatBounded(path, sizeof(path), LOG_NAME_FORMAT, folder, now.wYear, now.wMonth, now.wDay,
                           now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId(), suffix))
            return;
        file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS
            && GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_ACCESS_DENIED)
            return;
    }
    if (file == INVALID_HANDLE_VALUE)
        return;
    setupLog = file;
    char program[SETUP_PATH_MAX + 1];
    ZeroMemory(program, sizeof(program));
    GetModuleFileNameA(NULL, program, SETUP_PATH_MAX);
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    SetupLog("Zentarox USB Touchscreen Setup " ZX_PRODUCT_VERSION ", started %04u-%02u-%02u %02u:%02u:%02u",
             now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    SetupLog("Program: %s", program);
    SetupLog("Command tail: \"%s\"", commandTail ? commandTail : "");
    SetupLog("Windows: %lu.%lu build %lu, platform %lu, \"%s\"; OS class %d", version.dwMajorVersion,
             version.dwMinorVersion, version.dwBuildNumber & 0xFFFF, version.dwPlatformId, version.szCSDVersion,
             osClass);
}

void SetupLog(const char *format, ...)
{
    if (!setupLog)
        return;
    char text[LOG_TEXT_MAX + 1];
    va_list args;
    va_start(args, format);
    FormatLogText(text, format, args);
    va_end(args);
    WriteLogLine("", text);
}

void SetupTrace(const char *format, ...)
{
    char text[LOG_TEXT_MAX + 1];
    va_list args;
    va_start(args, format);
    FormatLogText(text, format, args);
    va_end(args);
    DebugTrace(0, "%s", text);
    WriteLogLine("Trace: ", text);
}

void LogFailure(const char *action, const char *object, DWORD error)
{
    SetupLog("Could not %s%s: error %lu", action, object, error);
}

void LogStageStart(const char *stage)
{
    SetupLog("Start: %s", stage);
}

void LogStageEnd(const char *stage, int result, DWORD error)
{
    // A stage that succeeded leaves whatever error an earlier call set, which
    // would only mislead.
    if (result >= 0) {
        SetupLog("End: %s: done (result %d)", stage, result);
        return;
    }
    if (!setupLog)
        return;
    DWORD lastError = GetLastError();
    char text[256] = "", reason[320];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text,
                        sizeof(text), NULL))
        lstrcpyA(text, "no text for it");
    wsprintfA(reason, "error %ld (0x%08lX): %s", (long)error, error, text);
    LogStageFailure(stage, result, reason);
    SetLastError(lastError);
}

void LogStageFailure(const char *stage, int result, const char *reason)
{
    SetupLog("End: %s: failed (result %d), %s", stage, result, reason);
}

void LogExitCodeAhead(int exitCode)
{
    if (!setupLog)
        return;
    DWORD error = GetLastError();
    exitLineOffset = SetFilePointer(setupLog, 0, NULL, FILE_CURRENT);
    if (exitLineOffset == INVALID_SET_FILE_POINTER)
        exitLineOffset = 0;
    else
        SetupLog("Exit code %d", exitCode);
    SetLastError(error);
}

void WithdrawExitCodeAhead(void)
{
    if (!setupLog || !exitLineOffset)
        return;
    DWORD error = GetLastError();
    if (SetFilePointer(setupLog, (LONG)exitLineOffset, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(setupLog);
    exitLineOffset = 0;
    SetLastError(error);
}

int CloseSetupLog(int exitCode)
{
    if (!exitLineOffset)
        SetupLog("Exit code %d", exitCode);
    if (setupLog)
        CloseHandle(setupLog);
    setupLog = NULL;
    return exitCode;
}
