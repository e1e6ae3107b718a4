// The setup context: folders as the running program and Windows give them,
// refused rather than cut when they do not fit, and the choices that follow
// the OS class.
#include "setupregtest.h"
#include <shlobj.h>
#include <cstring>
#include "boundedformat.h"
#include "setupcontext.h"
#include "install.h"

TEST(SetupContext, FoldersAreTheProgramsOwnFolderAndWindows)
{
    lstrcpyA(sourceDir, "stale");
    lstrcpyA(windowsDir, "stale");
    ASSERT_TRUE(ResolveSetupFolders());
    EXPECT_STRCASEEQ(sourceDir, bench::BinDir().c_str());
    EXPECT_STREQ(windowsDir, "C:\\windows");

    // Started from the root of a drive: the drive letter and colon alone.
    bench::CopyFileOrFail(bench::BinPath("setupprobe.exe"), "C:\\setupprobe.exe");
    std::vector<std::string> out;
    EXPECT_EQ(bench::RunProgram("C:\\setupprobe.exe", "folders", bench::kHangGuardMs, &out), 1u);
    EXPECT_EQ(out, (std::vector<std::string>{"source=C:", "windows=C:\\windows"}));
}

// Stand-ins for the two system queries, behaving as Windows does with a
// 260-character buffer: a module path that does not fit is cut and the
// buffer size returned (XP leaves no terminating zero); a Windows directory
// that does not fit is not copied and the size it needs returned.
static std::string fakeModulePath, fakeWindowsDir;
static bool fakeXpCut;

static DWORD WINAPI FakeModuleFileName(HMODULE, LPSTR path, DWORD size)
{
    if (fakeModulePath.size() < size) {
        memcpy(path, fakeModulePath.c_str(), fakeModulePath.size() + 1);
        return (DWORD)fakeModulePath.size();
    }
    memcpy(path, fakeModulePath.data(), size);
    if (!fakeXpCut)
        path[size - 1] = '\0';
    return size;
}

static UINT WINAPI FakeWindowsDirectory(LPSTR path, UINT size)
{
    if (fakeWindowsDir.size() >= size)
        return (UINT)fakeWindowsDir.size() + 1;
    memcpy(path, fakeWindowsDir.c_str(), fakeWindowsDir.size() + 1);
    return (UINT)fakeWindowsDir.size();
}

static BOOL ResolveFake(const std::string &module, const std::string &windows, bool xpCut = false)
{
    fakeModulePath = module;
    fakeWindowsDir = windows;
    fakeXpCut = xpCut;
    return ResolveSetupFoldersWith(FakeModuleFileName, FakeWindowsDirectory);
}

TEST(SetupContext, PathsTooLongForTheirBuffersAreRefusedNotCut)
{
    std::string folder = "C:\\" + std::string(243, 'm');      // 246 characters
    std::string longest = folder + "\\Install.exe";           // 258: fits with its zero
    EXPECT_TRUE(ResolveFake(longest, "C:\\Windows"));
    EXPECT_EQ(sourceDir, folder);
    EXPECT_TRUE(ResolveFake(longest + "e", "C:\\" + std::string(256, 'w')));   // 259 and 259
    EXPECT_EQ(sourceDir, folder);
    EXPECT_EQ(windowsDir, "C:\\" + std::string(256, 'w'));

    for (bool xpCut : {false, true}) {
        // Cut at 259 or 260 characters, inside the last folder's name, the
        // path would give the folder above the real one.
        std::string tooLong = folder + "\\" + std::string(20, 'x') + "\\Install.exe";
        EXPECT_FALSE(ResolveFake(tooLong, "C:\\Windows", xpCut));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
        EXPECT_STREQ(sourceDir, "");
        EXPECT_STREQ(windowsDir, "C:\\Windows");
    }
    EXPECT_FALSE(ResolveFake("C:\\medium\\Install.exe", "C:\\" + std::string(257, 'w')));
    EXPECT_STREQ(windowsDir, "");
    EXPECT_STREQ(sourceDir, "C:\\medium");
    EXPECT_FALSE(ResolveFake("Install.exe", "C:\\Windows"));
    EXPECT_STREQ(sourceDir, "");

    // The formatter under every path: results of 7 to 10 characters for 8
    // bytes. Only the first fits; one that fills the buffer or its count
    // exactly, or runs past it, is refused whole, and nothing is written past it.
    const struct { int number; bool fits; } results[] = { { 12, true }, { 123, false }, { 1234, false },
                                                          { 12345, false } };
    for (const auto &result : results) {
        char buffer[12];
        memset(buffer, '#', sizeof(buffer));
        SetLastError(0);
        EXPECT_EQ(FormatBounded(buffer, 8, "%s\\%d", "abcd", result.number), (BOOL)result.fits) << result.number;
        EXPECT_STREQ(buffer, result.fits ? "abcd\\12" : "") << result.number;
        EXPECT_EQ(GetLastError(), result.fits ? 0u : (DWORD)ERROR_FILENAME_EXCED_RANGE) << result.number;
        EXPECT_EQ(std::string(buffer + 8, 4), "####") << result.number;
    }
    // Every code the program formats with prints as wsprintfA, whose format
    // engine the formatter used before, prints it.
#define EXPECT_FORMATS_AS(expected, ...)                                      \
    do {                                                                      \
        char bounded[64], reference[64];                                      \
        EXPECT_TRUE(FormatBounded(bounded, sizeof(bounded), __VA_ARGS__));    \
        wsprintfA(reference, __VA_ARGS__);                                    \
        EXPECT_STREQ(bounded, expected);                                      \
        EXPECT_STREQ(reference, expected);                                    \
    } while (0)
    EXPECT_FORMATS_AS("log 2026-03-07 4294967295 2", "%s %04u-%02u-%02u %lu%s", "log", 2026, 3, 7, 4294967295ul, " 2");
    EXPECT_FORMATS_AS("\"C:\\a b\" -5, 0, 0xC0000005", "\"%s\" %d, %d, 0x%08lX", "C:\\a b", -5, 0, 0xC0000005ul);
#undef EXPECT_FORMATS_AS
}

TEST(SetupContext, ProgramsFolderAndSecondCopiesFollowTheOsClass)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char userPrograms[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, userPrograms), S_OK);
    osClass = 9;
    EXPECT_TRUE(LookupProgramsFolder());
    EXPECT_STREQ(programsDir, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    osClass = 3;
    EXPECT_TRUE(LookupProgramsFolder());
    EXPECT_STREQ(programsDir, userPrograms);
    CoUninitialize();

    osClass = 4;
    EXPECT_STREQ(SecondCopyPath(&setupFiles[1]), "System\\ZentaroxUsb.exe");
    osClass = 6;
    EXPECT_STREQ(SecondCopyPath(&setupFiles[1]), "System32\\ZentaroxUsb.exe");
}

// With a folder that could not be resolved, every path built on it would
// start at the root of the current drive: C:\ZentaroxUSB for the
// installation folder, C:\Velqar.exe for the driver installer. Nothing there
// may be copied, started or deleted, and each step says why it failed.
TEST(SetupContext, UnresolvedFoldersAreNeverTheRootOfTheDrive)
{
    SetCurrentDirectoryA("C:\\");
    CreateDirectoryA("C:\\ZentaroxUSB", nullptr);
    bench::CopyFileOrFail(bench::BinPath("ReadMe.txt"), "C:\\ZentaroxUSB\\keep.txt");
    bench::CopyFileOrFail(bench::BinPath("Velqar.exe"), "C:\\Velqar.exe");
    bench::WriteString(HKEY_LOCAL_MACHINE, kRegistrationKey, "DisplayName", "kept");
    std::string tooLong = "C:\\" + std::string(300, 'w');
    osClass = 9;

    ASSERT_FALSE(ResolveFake("C:\\medium\\Install.exe", tooLong));
    EXPECT_EQ(CopySetupFiles(), -1);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
    AddRunEntry("ZentaroxUsb", "ZentaroxUsb.exe");
    RemoveInstalledFiles(nullptr, nullptr);
    ASSERT_FALSE(ResolveFake(tooLong + "\\Install.exe", "C:\\windows"));
    EXPECT_EQ(InstallDriverPackage(), -1);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(UninstallProductWith(FakeModuleFileName, FakeWindowsDirectory), -1);

    EXPECT_TRUE(bench::FileExists("C:\\ZentaroxUSB\\keep.txt"));
    EXPECT_FALSE(bench::FileExists("C:\\ZentaroxUSB\\ZentaroxUsb.cpl"));
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log")) << "the driver installer was started";
    EXPECT_TRUE(bench::KeyExists(HKEY_LOCAL_MACHINE, kRegistrationKey));
    EXPECT_FALSE(bench::ReadValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                  "ZentaroxUsb").exists);

    // A medium folder of 244 characters: "\ZentaroxUsb.cpl" no longer fits, and
    // the copy fails rather than read some other file.
    ASSERT_TRUE(ResolveFake("C:\\" + std::string(241, 'm') + "\\Install.exe", "C:\\windows"));
    EXPECT_EQ(CopySetupFiles(), -1);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
}

// The restart list's filter, as a table: the pairs the test names go, every
// other pair stays character for character, and the list ends with its
// double zero, also when it was stored without its own.
TEST(SetupContext, RestartListFilterDropsOnlyTheNamedPairs)
{
    auto list = [](std::initializer_list<std::wstring> strings, bool end = true) {
        std::wstring joined;
        for (const std::wstring &string : strings)
            joined += string + L'\0';
        return end ? joined + L'\0' : joined;
    };
    // Renames from our staged copies (zx....tmp) go.
    auto staged = [](const WCHAR *source, const WCHAR *target, void *) -> BOOL {
        return *target && wcsstr(source, L"\\zx") != nullptr;
    };
    const std::wstring other = L"\\??\\C:\\other\\a.tmp", drop = L"\\??\\C:\\windows\\zx12.tmp";
    struct { std::wstring in, out; int dropped; } cases[] = {
        {list({other, L"!\\??\\C:\\other\\a", drop, L"!\\??\\C:\\windows\\Velqar.sys", other + L"2", L""}),
         list({other, L"!\\??\\C:\\other\\a", other + L"2", L""}), 1},
        {list({drop, L"!\\??\\C:\\windows\\Velqar.sys"}), list({}), 1},
        {list({other, L"\\??\\C:\\\u00fc\u4e2d"}, false), list({other, L"\\??\\C:\\\u00fc\u4e2d"}), 0},
        {list({}), list({}), 0},
    };
    for (const auto &c : cases) {
        std::vector<WCHAR> buffer(c.in.begin(), c.in.end());
        buffer.resize(buffer.size() + 2);
        DWORD kept = 0;
        EXPECT_EQ(FilterPendingList(buffer.data(), (DWORD)c.in.size(), staged, nullptr, &kept), c.dropped);
        EXPECT_TRUE(std::wstring(buffer.data(), kept) == c.out) << c.in.size() << " characters in, " << kept << " kept";
    }
}
