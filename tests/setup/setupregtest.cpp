// See setupregtest.h.
#include "setupregtest.h"
#include <map>
#include <vector>
#include "touchparams.h"

::testing::AssertionResult HasString(const std::string &path, const char *name, const std::string &bytes)
{
    bench::RegValue value = bench::ReadValue(HKLM, path, name);
    if (!value.exists)
        return ::testing::AssertionFailure() << path << "\\" << name << " is missing";
    std::string got(value.data.begin(), value.data.end());
    if (value.type != REG_SZ || got != bytes)
        return ::testing::AssertionFailure() << path << "\\" << name << ": type " << value.type << ", "
                                             << got.size() << " bytes \"" << got << "\"";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult HasDword(const std::string &path, const char *name, DWORD number)
{
    bench::RegValue value = bench::ReadValue(HKLM, path, name);
    if (!value.exists || value.type != REG_DWORD || value.data.size() != 4 || value.AsDword() != number)
        return ::testing::AssertionFailure() << path << "\\" << name << ": " << (value.exists ? "" : "missing, ")
                                             << "type " << value.type << ", " << value.data.size() << " bytes, "
                                             << value.AsDword();
    return ::testing::AssertionSuccess();
}

// "a.b.c.d" from the fixed part of the program's version resource.
static std::string FileVersionOf(const std::string &exe)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::vector<BYTE> block(size + 1);
    VS_FIXEDFILEINFO *info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(exe.c_str(), 0, size, block.data())
        || !VerQueryValueA(block.data(), "\\", (void **)&info, &length))
        return "(no version resource in " + exe + ")";
    DWORD ms = info->dwFileVersionMS, ls = info->dwFileVersionLS;
    return std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." + std::to_string(HIWORD(ls)) + "."
           + std::to_string(LOWORD(ls));
}

::testing::AssertionResult HasProgramsAndFeaturesEntry(const std::string &windows, DWORD kib)
{
    std::string folder = windows + "\\ZentaroxUSB", failures;
    for (const ::testing::AssertionResult &check : {
             HasString(kRegistrationKey, "DisplayName", Sz("Zentarox USB Touchscreen Driver")),
             HasString(kRegistrationKey, "UninstallString", Sz(folder + "\\Install.exe /u")),
             HasString(kRegistrationKey, "QuietUninstallString", Sz("\"" + folder + "\\Install.exe\" /u /S")),
             HasString(kRegistrationKey, "DisplayVersion", Sz(FileVersionOf(bench::BinPath("Install.exe")))),
             HasString(kRegistrationKey, "DisplayIcon", Sz(folder + "\\Install.exe,0")),
             HasString(kRegistrationKey, "InstallLocation", Sz(folder)),
             HasDword(kRegistrationKey, "EstimatedSize", kib), HasDword(kRegistrationKey, "NoModify", 1),
             HasDword(kRegistrationKey, "NoRepair", 1)})
        if (!check)
            failures += std::string(check.message()) + "; ";
    if (failures.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << failures;
}

::testing::AssertionResult HasParameters(const std::map<std::string, DWORD> &changed)
{
    static const std::map<std::string, DWORD> nonZero = {
        {"ScreenWidth", 100}, {"ScreenHigh", 100}, {"BeepMode", 2}, {"BeepFreq", 1000},
        {"BeepTime", 11000}, {"MouseMode", 3}, {"DblClickRegion", 10}};
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (const TouchParameter &parameter : DefaultTouchParameters) {
        bench::RegValue value = bench::ReadValue(HKLM, kParamsKey, parameter.name);
        auto given = changed.find(parameter.name), found = nonZero.find(parameter.name);
        DWORD expected = given != changed.end() ? given->second : found == nonZero.end() ? 0 : found->second;
        if (!value.exists || value.type != REG_DWORD || value.AsDword() != expected) {
            if (result)
                result = ::testing::AssertionFailure();
            result << parameter.name << ": " << (value.exists ? "" : "missing, ") << "type " << value.type
                   << ", " << value.data.size() << " bytes, " << value.AsDword() << "; ";
        }
    }
    return result;
}

EXPLICIT_ACCESS_A EntryFor(const char *account, DWORD access, ACCESS_MODE mode)
{
    EXPLICIT_ACCESS_A entry = {};
    entry.grfAccessPermissions = access;
    entry.grfAccessMode = mode;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    entry.Trustee.ptstrName = (LPSTR)account;
    return entry;
}

void SetKeyEntries(const std::string &path, std::initializer_list<EXPLICIT_ACCESS_A> entries)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKLM, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    RegCloseKey(key);
    PACL list = nullptr;
    ASSERT_EQ(SetEntriesInAclA((ULONG)entries.size(), (EXPLICIT_ACCESS_A *)entries.begin(), nullptr, &list), 0u);
    std::string object = "MACHINE\\" + path;
    ASSERT_EQ(SetNamedSecurityInfoA(&object[0], SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    list, nullptr), 0u);
    LocalFree(list);
}
