// FormatBounded: wvnsprintfA into a scratch buffer one character larger than
// the destination, so that a result that exactly fills the destination and
// one that was cut are told apart whatever wvnsprintfA returns for a cut
// (Wine returns -1, also for a result that just fills its count; Windows
// promises only "a negative value" on error, and no terminating zero).
#include <windows.h>
#include <shlwapi.h>
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
    int written = wvnsprintfA(scratch, size + 1, format, args);
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
