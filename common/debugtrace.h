// The programs' only log: one formatted line to the system debugger output.
#ifndef DEBUGTRACE_H
#define DEBUGTRACE_H

// Calls with a level above this print nothing; it stays 0, so level 0 always prints.
extern int traceThreshold;

// wsprintfA-style; the format carries its own trailing "\n" where it has one.
// A line that does not fit wvsprintfA's 1024-byte limit is cut to 1023
// characters. The thread's last error is the same after the call as before.
void DebugTrace(int level, const char *format, ...);

#endif
