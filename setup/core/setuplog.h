// The setup log: a file for the administrator of every run that does
// something (the wizard, "/u", "/S", "/u /S"), in the running account's temp
// folder, named "Zentarox USB Touchscreen Setup YYYY-MM-DD HH-MM-SS PID.log"
// (" 2", " 3", ... before ".log" when a file already stands at that name).
// It holds a header (version, program, command tail, Windows), each stage's
// start and end with its result, each file copied, replaced or deleted, the
// driver installer's command line, exit code and run time, every trace line,
// each message with the answer it got, and the exit code on its last line.
// Each line goes to disk as it is written. A log that cannot be created
// changes nothing else: every call below then does nothing.
#ifndef SETUPLOG_H
#define SETUPLOG_H

#include <windows.h>

// Creates the log new (never over a file or link already at its name) and
// writes its header.
void OpenSetupLog(const char *commandTail);

// One line of the log, wsprintfA-style, the time in front; a line break in
// the text is written as "\n". Not traced. The thread's last error is the
// same after every call of this file as before.
void SetupLog(const char *format, ...);

// A debug trace line (level 0, exactly as DebugTrace writes it), repeated in
// the log: the setup program traces through this.
void SetupTrace(const char *format, ...);

// "Could not <action><object>: error <error>", the one form of the log's
// lines for a call of the setup's own that failed: what it was to do, and
// the path, key or value it was done on.
void LogFailure(const char *action, const char *object, DWORD error);

// A stage's start, and its end with the result and, for a failed stage
// (result below 0), the error: its number and the system's text for it.
void LogStageStart(const char *stage);
void LogStageEnd(const char *stage, int result, DWORD error);

// A failed stage's end with what decided its failure, in words.
void LogStageFailure(const char *stage, int result, const char *reason);

// Writes the exit code as the last line, closes the log and returns the code.
int CloseSetupLog(int exitCode);
// Before Windows is asked to restart, which may end the program at once:
// the exit code line goes to disk now, and CloseSetupLog writes no second
// one. WithdrawExitCodeAhead takes it out again when Windows refused, so
// that the refusal comes before the exit code.
void LogExitCodeAhead(int exitCode);
void WithdrawExitCodeAhead(void);

#endif
