// Bounded formatting for the setup program's fixed path and name buffers.
// wsprintfA has no size argument; every path here is built through
// FormatBounded instead, so that nothing is ever written past a buffer and a
// result that does not fit is refused whole rather than cut into a shorter
// string that may name some other, valid, file or key.
#ifndef BOUNDEDFORMAT_H
#define BOUNDEDFORMAT_H

#include <windows.h>

// The largest buffer FormatBounded serves (the trace line's size).
enum { BOUNDED_FORMAT_MAX = 1024 };

// Formatting into buffer (size bytes, terminating zero included) with the
// codes wsprintfA and msvcrt's printf both know and print alike (%s, %d,
// %u, %lu, %lX, widths, zero padding); no floating point, no %p. TRUE when
// the whole result fits; otherwise FALSE, buffer holds the empty string and
// the thread's last error is ERROR_FILENAME_EXCED_RANGE.
BOOL FormatBounded(char *buffer, int size, const char *format, ...);

#endif
