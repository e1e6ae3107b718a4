// RestrictDllSearch: DLLs from System32 only, for the programs that run with
// administrator rights from a folder any user may write to (Downloads, a USB
// stick), where a DLL planted beside them would otherwise be loaded first.
#ifndef DLLSEARCH_H
#define DLLSEARCH_H

// Call first, before anything loads a DLL. SetDefaultDllDirectories
// (Windows 8, and 7 or Vista with an update) limits every later load to
// System32. Without it SetDllDirectoryA("") (XP SP1 on) takes the current
// folder out of the search, though not the program's own folder. Windows 9x
// and 2000 have neither, and nothing changes there. Both are looked up at
// run time.
void RestrictDllSearch(void);

#endif
