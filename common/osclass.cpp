// Windows release classifier shared by the setup and calibration programs.
// Only the platform id and the major and minor version numbers count; build
// numbers, service packs and product types are never looked at.
#include "osclass.h"

int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion)
{
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (majorVersion != 4)
            return OS_CLASS_UNSUPPORTED;
        if (minorVersion == 10)
            return OS_CLASS_WIN98;
        if (minorVersion == 90)
            return OS_CLASS_WINME;
        return OS_CLASS_UNSUPPORTED;
    }
    if (platformId != VER_PLATFORM_WIN32_NT)
        return OS_CLASS_UNSUPPORTED;
    if (majorVersion == 5) {
        if (minorVersion == 0)
            return OS_CLASS_WIN2000;
        if (minorVersion == 1 || minorVersion == 2)
            return OS_CLASS_WINXP;
        return OS_CLASS_UNSUPPORTED;
    }
    if (majorVersion == 6) {
        if (minorVersion == 0)
            return OS_CLASS_VISTA;
        if (minorVersion == 1)
            return OS_CLASS_WIN7;
        if (minorVersion == 2)
            return OS_CLASS_WIN8;
    }
    return OS_CLASS_UNSUPPORTED;
}

int QueryOsClassWith(GetVersionExProc getVersion)
{
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof(info));
    // Windows 95 and NT 4.0 before SP4 only know the basic record.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!getVersion((OSVERSIONINFOA *)&info)) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!getVersion((OSVERSIONINFOA *)&info))
            return OS_CLASS_UNSUPPORTED;
    }
    return ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

int QueryOsClass(void)
{
    return QueryOsClassWith(GetVersionExA);
}
