// Removal of one value from the current user's Run key (programs started at logon).
#ifndef RUNENTRY_H
#define RUNENTRY_H

#include <windows.h>

#define RUN_KEY_PATH "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"

// The Run value under which the calibration program starts at every logon
// until a calibration is confirmed.
#define CALIBRATION_RUN_VALUE "ZentaroxUsb"

// Deletes valueName; a Run key that is missing is created empty. The
// registry's error when the key can neither be opened nor created or the
// value stays; ERROR_SUCCESS also when there was no such value.
LONG RemoveRunEntry(const char *valueName);

#endif
