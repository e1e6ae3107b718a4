// Debug trace: formats with wvsprintfA and hands the line to
// OutputDebugStringA, with no time stamp, program name or added newline,
// and leaves the thread's last error as it found it.
#include <windows.h>
#include <stdarg.h>
#include "debugtrace.h"
#include "zerofilled.h"

ZERO_FILLED int traceThreshold = 0;

enum { TRACE_LINE_MAX = 1024 };

void DebugTrace(int level, const char *format, ...)
{
    if (level > traceThreshold)
        return;
    // wvsprintfA writes at most 1024 bytes: a longer line is cut to its first
    // 1023 characters and the terminating zero. The spare byte keeps the line
    // ended even where an implementation leaves the zero out at the limit, so
    // OutputDebugStringA never reads past the buffer.
    char line[TRACE_LINE_MAX + 1];
    ZeroMemory(line, sizeof(line));
    va_list args;
    va_start(args, format);
    wvsprintfA(line, format, args);
    va_end(args);
    line[TRACE_LINE_MAX] = '\0';
    // OutputDebugStringA may change the last error (it looks for a debugger
    // and for a debug-output viewer's shared buffer); a caller that traces a
    // failure must still be able to hand the failure's error on.
    DWORD error = GetLastError();
    OutputDebugStringA(line);
    SetLastError(error);
}
