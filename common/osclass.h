// The OS class code: one small integer for the running Windows release, on
// which the setup program picks its Windows 9x or NT path and the setup and
// calibration programs refuse an unsupported system.
#ifndef OSCLASS_H
#define OSCLASS_H

#include <windows.h>

enum {
    OS_CLASS_UNSUPPORTED = 0,
    OS_CLASS_WIN98 = 3,
    OS_CLASS_WINME = 4,
    OS_CLASS_WIN2000 = 6,
    OS_CLASS_WINXP = 7,     // also Windows Server 2003 (5.2)
    OS_CLASS_VISTA = 8,
    OS_CLASS_WIN7 = 9,
    OS_CLASS_WIN8 = 10      // and every later release, which reports 6.2 without a manifest
};

// Classifies Windows from the numbers it reports; never fails (0 for anything unknown).
int QueryOsClass(void);

// The same, with the version query passed in: the seam through which a test
// makes the extended record fail while the basic one is accepted.
typedef BOOL (WINAPI *GetVersionExProc)(OSVERSIONINFOA *info);
int QueryOsClassWith(GetVersionExProc getVersion);

// The table of releases: platform id, major and minor version as reported.
int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

// The three class tests, as unsigned range comparisons.
inline bool IsWin9xClass(int osClass) { return (unsigned)(osClass - 3) < 2u; }
inline bool IsNtClass(int osClass) { return (unsigned)(osClass - 6) < 5u; }
inline bool IsVistaOrLaterClass(int osClass) { return (unsigned)(osClass - 8) <= 2u; }

#endif
