// FormatBounded: msvcrt's _vsnprintf into a scratch buffer one character
// larger than the destination, so that a result that exactly fills the
// destination and one that was cut are told apart: _vsnprintf returns -1 for
// a cut and, for a result that just fills its count, that count with no
// terminating zero. It is in every MSVCRT, Windows 98's included, where
// SHLWAPI's wvnsprintfA is not (it came with SHLWAPI 5.0); for the codes
// used here (%s, %d, %u, %lu, %lX, widths, zero padding) both print the same.
#include <windows.h>
#include <stdio.h>
#include <stdarg.h>
#include "boundedformat.h"

BOOL FormatBounded(char *buffer, int size, const char *format, ...)
{
    if (!buffer || size <= 0)
        return FALSE;
    buffer[0] = '\0';
    if (size > BOUNDED_FORMAT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char scratch[BOUNDED_FORMAT_MAX + 2];
    ZeroMemory(scratch, sizeof(scratch));
    va_list args;
    va_start(args, format);
    int written = _vsnprintf(scratch, size + 1, format, args);
    va_end(args);
    scratch[size] = '\0';
    // Accepted only when the result is shorter than the destination and its
    // count agrees with the text: a count of size or more, a negative count or
    // a text cut short of its count all mean it did not fit.
    if (written < 0 || written >= size || lstrlenA(scratch) != written) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    CopyMemory(buffer, scratch, written + 1);
    return TRUE;
}
