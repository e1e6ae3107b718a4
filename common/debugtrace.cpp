// Debug trace: formats with wvsprintfA and hands the line to
// OutputDebugStringA, with no time stamp, program name or added newline.
#include <windows.h>
#include <stdarg.h>
#include "debugtrace.h"

int traceThreshold = 0;

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
    OutputDebugStringA(line);
}
