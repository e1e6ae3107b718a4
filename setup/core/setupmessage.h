// ShowSetupMessage: the one way the setup program shows a message box, so
// that a silent run ("/S", "/u /S") shows none.
#ifndef SETUPMESSAGE_H
#define SETUPMESSAGE_H

#include <windows.h>

// Set by the program's entry, before anything can show a box, when the
// command tail asks for a silent run.
extern BOOL silentMode;

// MessageBoxA(owner, text, caption, type); in silent mode no box: the text
// goes to the debug trace word for word, on a line of its own, and the
// result is silentAnswer (the answer a silent run gives: IDOK, or IDYES /
// IDNO to a question). The setup log gets every text with its answer. The
// thread's last error is the same after the call as before, so a caller
// can show a failure and still hand its error on.
int ShowSetupMessage(HWND owner, const char *text, const char *caption, UINT type, int silentAnswer);

#endif
