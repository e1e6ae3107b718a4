// Windows release classifier shared by the setup and calibration programs.
// Only the platform id and the major and minor version numbers count; build
// numbers, service packs and product types are never looked at.
#include "osclass.h"

// Every release that has a class: the platform and the version as Windows
// reports them. Windows Server 2003 (5.2) counts as XP; every release after
// Windows 8 reports 6.2 to a program without a supported-OS manifest.
static const struct {
    BYTE platformId, majorVersion, minorVersion, osClass;
} releases[] = {
    { VER_PLATFORM_WIN32_WINDOWS, 4, 10, OS_CLASS_WIN98 },
    { VER_PLATFORM_WIN32_WINDOWS, 4, 90, OS_CLASS_WINME },
    { VER_PLATFORM_WIN32_NT, 5, 0, OS_CLASS_WIN2000 },
    { VER_PLATFORM_WIN32_NT, 5, 1, OS_CLASS_WINXP },
    { VER_PLATFORM_WIN32_NT, 5, 2, OS_CLASS_WINXP },
    { VER_PLATFORM_WIN32_NT, 6, 0, OS_CLASS_VISTA },
    { VER_PLATFORM_WIN32_NT, 6, 1, OS_CLASS_WIN7 },
    { VER_PLATFORM_WIN32_NT, 6, 2, OS_CLASS_WIN8 },
};

int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion)
{
    for (size_t i = 0; i < sizeof(releases) / sizeof(releases[0]); i++)
        if (releases[i].platformId == platformId && releases[i].majorVersion == majorVersion
            && releases[i].minorVersion == minorVersion)
            return releases[i].osClass;
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
