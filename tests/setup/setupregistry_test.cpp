// ApplySetupRegistry and DeleteRegistrySubkey against Wine's registry: what
// installation leaves behind byte for byte, what removal takes away, and
// what either does when a key cannot be had.
#include "setupregtest.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "touchparams.h"
#include <cstring>

static const char *const kUninstallCommand = "C:\\windows\\ZentaroxUSB\\Install.exe /u";   // 37 characters

static void ExpectDoubleClickSettings()
{
    // Written without their terminating zero; Wine, like Windows NT, stores
    // one anyway when the byte after the data is zero.
    EXPECT_TRUE(HasString(kMouseKey, "DoubleClickHeight", Sz("25")));
    EXPECT_TRUE(HasString(kMouseKey, "DoubleClickWidth", Sz("25")));
    EXPECT_TRUE(HasString(kMouseKey, "DoubleClickSpeed", Sz("100")));
}

TEST(SetupRegistry, InstallWritesEverythingOnAnEmptyRegistryAndOverAnEarlierOne)
{
    ASSERT_TRUE(ResolveSetupFolders());
    ASSERT_FALSE(bench::KeyExists(HKLM, kServiceKey));
    EXPECT_EQ(ApplySetupRegistry(1), 0);
    // No files installed yet: nothing to count.
    EXPECT_TRUE(HasProgramsAndFeaturesEntry("C:\\windows", 0));
    EXPECT_TRUE(HasDefaultParameters());
    ExpectDoubleClickSettings();

    EXPECT_FALSE(keptCalibration);

    // A calibrated installation whose mouse mode the user changed, a
    // parameter of the wrong type, one deleted, a value the setup program
    // does not know and a stale registration: the calibration and the
    // setting are kept, the other two get their defaults.
    bench::WriteDword(HKLM, kParamsKey, "TopLeftOffsetX", 1234);
    bench::WriteDword(HKLM, kParamsKey, "ScreenWidth", 1024);
    bench::WriteDword(HKLM, kParamsKey, "Calibration4Pt", 1);
    bench::WriteDword(HKLM, kParamsKey, "MouseMode", 1);
    bench::WriteString(HKLM, kParamsKey, "BeepTime", "1000");
    bench::DeleteValue(HKLM, kParamsKey, "BeepFreq");
    bench::WriteDword(HKLM, kParamsKey, "Custom", 7);
    bench::WriteString(HKLM, kRegistrationKey, "UninstallString", "D:\\old\\Install.exe /u");
    bench::WriteString(HKLM, kMouseKey, "DoubleClickSpeed", "500");
    EXPECT_EQ(ApplySetupRegistry(1), 0);
    EXPECT_TRUE(keptCalibration);
    EXPECT_TRUE(HasDword(kParamsKey, "TopLeftOffsetX", 1234));
    EXPECT_TRUE(HasDword(kParamsKey, "ScreenWidth", 1024));
    EXPECT_TRUE(HasDword(kParamsKey, "Calibration4Pt", 1));
    EXPECT_TRUE(HasDword(kParamsKey, "MouseMode", 1));
    EXPECT_TRUE(HasDword(kParamsKey, "BeepTime", 11000));
    EXPECT_TRUE(HasDword(kParamsKey, "BeepFreq", 1000));
    EXPECT_EQ(bench::ReadValue(HKLM, kParamsKey, "Custom").AsDword(), 7u);
    EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz(kUninstallCommand)));
    ExpectDoubleClickSettings();

    // One calibration value missing (a removal cut short): all eleven get
    // their defaults, the settings stay.
    bench::DeleteValue(HKLM, kParamsKey, "BottomRightOffsetY");
    EXPECT_EQ(ApplySetupRegistry(1), 0);
    EXPECT_FALSE(keptCalibration);
    for (const TouchParameter &parameter : DefaultTouchParameters)
        EXPECT_TRUE(HasDword(kParamsKey, parameter.name,
                             strcmp(parameter.name, "MouseMode") ? parameter.defaultValue : 1));
}

TEST(SetupRegistry, InstallRegistersOnlyWithASoundUninstallCommand)
{
    // The longest Windows folder there can be still makes a whole command.
    std::string longest = "C:\\" + std::string(256, 'w');
    lstrcpyA(windowsDir, longest.c_str());
    EXPECT_EQ(ApplySetupRegistry(1), 0);
    EXPECT_TRUE(HasProgramsAndFeaturesEntry(longest, 0));

    // No Windows folder resolved: the command would start "\ZentaroxUSB\..."
    // on whatever drive is current, so there is no registration at all, but
    // the driver still gets its parameters.
    bench::DeleteTree(HKLM, kRegistrationKey);
    bench::DeleteTree(HKLM, kServiceKey);
    bench::DeleteTree(HKLM, kMouseKey);
    windowsDir[0] = '\0';
    EXPECT_EQ(ApplySetupRegistry(1), -3);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
    EXPECT_TRUE(HasDefaultParameters());
    ExpectDoubleClickSettings();
}

TEST(SetupRegistry, RegistrationKeyThatCannotBeOpenedStopsInstallAtOnce)
{
    ASSERT_TRUE(ResolveSetupFolders());
    LockKey(kRegistrationKey);
    EXPECT_EQ(ApplySetupRegistry(1), -3);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_FALSE(bench::KeyExists(HKLM, kServiceKey));
    EXPECT_FALSE(bench::ReadValue(HKLM, kMouseKey, "DoubleClickSpeed").exists);
}

TEST(SetupRegistry, ParameterKeyThatCannotBeOpenedLeavesTheRegistration)
{
    ASSERT_TRUE(ResolveSetupFolders());
    LockKey(kParamsKey);
    EXPECT_EQ(ApplySetupRegistry(1), -3);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz(kUninstallCommand)));
    EXPECT_FALSE(bench::ReadValue(HKLM, kMouseKey, "DoubleClickSpeed").exists);
}

TEST(SetupRegistry, UninstallRemovesRegistrationParametersAndServiceKeys)
{
    ASSERT_TRUE(ResolveSetupFolders());
    ASSERT_EQ(ApplySetupRegistry(1), 0);
    bench::WriteDword(HKLM, kParamsKey, "Custom", 7);
    bench::WriteDword(HKLM, std::string(kServiceKey) + "\\Enum", "Count", 1);
    bench::WriteDword(HKLM, std::string(kServiceKey) + "\\Security", "Security", 1);
    bench::WriteString(HKLM, std::string(kServiceKey), "ImagePath", "System32\\Drivers\\Velqar.sys");
    std::string otherProduct = std::string(UNINSTALL_PARENT_KEY) + "\\Other";
    bench::WriteString(HKLM, otherProduct, "DisplayName", "Other");

    EXPECT_EQ(ApplySetupRegistry(0), 0);
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
    EXPECT_FALSE(bench::KeyExists(HKLM, kServiceKey));
    EXPECT_TRUE(bench::KeyExists(HKLM, otherProduct));
    ExpectDoubleClickSettings();

    // Again, on a registry that no longer holds any of it.
    EXPECT_EQ(ApplySetupRegistry(0), 0);
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
    EXPECT_FALSE(bench::KeyExists(HKLM, kServiceKey));
    EXPECT_TRUE(bench::KeyExists(HKLM, otherProduct));
    ExpectDoubleClickSettings();
}

TEST(SetupRegistry, UninstallDeletesOneLevelOnly)
{
    ASSERT_TRUE(ResolveSetupFolders());
    ASSERT_EQ(ApplySetupRegistry(1), 0);
    bench::WriteDword(HKLM, std::string(kServiceKey) + "\\Other", "Kept", 1);
    bench::WriteDword(HKLM, std::string(kParamsKey) + "\\Sub", "Kept", 1);
    bench::WriteDword(HKLM, kParamsKey, "Custom", 7);

    EXPECT_EQ(ApplySetupRegistry(0), 0);
    // The Parameters key keeps its subkey and its unknown value, but none of
    // the nineteen; the service key keeps Parameters and Other.
    EXPECT_EQ(bench::ReadValue(HKLM, std::string(kServiceKey) + "\\Other", "Kept").AsDword(), 1u);
    EXPECT_EQ(bench::ReadValue(HKLM, std::string(kParamsKey) + "\\Sub", "Kept").AsDword(), 1u);
    EXPECT_EQ(bench::ReadValue(HKLM, kParamsKey, "Custom").AsDword(), 7u);
    for (const char *name : {"SwapXY", "ScreenWidth", "BeepTime", "Calibration4Pt"})
        EXPECT_FALSE(bench::ReadValue(HKLM, kParamsKey, name).exists) << name;
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
}

TEST(SetupRegistry, DeleteRegistrySubkeyReportsOnlyTheParentsOpenAndClose)
{
    EXPECT_EQ(DeleteRegistrySubkey(HKLM, "Software\\NoSuchParent", "Tessivar"), ERROR_FILE_NOT_FOUND);
    bench::WriteString(HKLM, kRegistrationKey, "DisplayName", "x");
    bench::WriteString(HKLM, std::string(kRegistrationKey) + "\\Child", "DisplayName", "x");
    const char *parent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    // A key with a subkey stays; the failed deletion is not reported.
    EXPECT_EQ(DeleteRegistrySubkey(HKLM, parent, "Tessivar"), ERROR_SUCCESS);
    EXPECT_TRUE(bench::KeyExists(HKLM, kRegistrationKey));
    bench::DeleteTree(HKLM, std::string(kRegistrationKey) + "\\Child");
    EXPECT_EQ(DeleteRegistrySubkey(HKLM, parent, "Tessivar"), ERROR_SUCCESS);
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
}
