// UpdateLegacyDeviceRegistry on device keys set up the way Windows 98 keeps
// them: an instance key under Enum\USB whose Driver value names a class key.
#include "setupregtest.h"
#include "setupcontext.h"
#include "setupregistry.h"
#include "legacydevice.h"

static const std::string kClassRoot = "System\\CurrentControlSet\\Services\\Class";
static const std::string kOriginalDesc = "USB Human Interface Device";

static std::string InstanceKey(int instance)
{
    return "Enum\\USB\\VID_3C5E&PID_0001\\INST_" + std::to_string(instance);
}

static void AddInstance(int instance, const char *driver)
{
    bench::WriteString(HKLM, InstanceKey(instance), "DeviceDesc", kOriginalDesc);
    if (driver)
        bench::WriteString(HKLM, InstanceKey(instance), "Driver", driver);
}

static void AddClass(const std::string &name, const char *driverDesc)
{
    bench::WriteString(HKLM, kClassRoot + "\\" + name, "Marker", "x");
    if (driverDesc)
        bench::WriteString(HKLM, kClassRoot + "\\" + name, "DriverDesc", driverDesc);
}

TEST(SetupLegacyDevice, InstallAndUninstallRewriteEveryInstanceWithAClassKey)
{
    ASSERT_TRUE(ResolveSetupFolders());
    AddInstance(0, "HID\\0000");
    AddClass("HID\\0000", "USB Human Interface Device");
    AddInstance(9, "HID\\0009");
    AddClass("HID\\0009", "HID Touch Device");
    AddInstance(5, "HID\\0005");
    AddClass("HID\\0005", nullptr);
    AddInstance(6, "HID\\0006");
    AddClass("HID\\0006", std::string(100, 'd').c_str());   // too long for the 64-byte read
    AddInstance(10, "HID\\0000");                           // beyond the ten instances looked at

    EXPECT_EQ(UpdateLegacyDeviceRegistry(1), 0);
    // Both strings are written without their terminating zero (Wine, like
    // Windows NT, stores one anyway).
    for (int instance : {0, 9, 5, 6}) {
        SCOPED_TRACE(instance);
        EXPECT_TRUE(HasString(InstanceKey(instance), "DeviceDesc", Sz("Zentarox USB Touchscreen")));
        std::string classKey = kClassRoot + "\\HID\\000" + std::to_string(instance);
        EXPECT_TRUE(HasString(classKey, "NTMPDriver", Sz("Velqar.sys,HidUsb.Sys")));
    }
    EXPECT_TRUE(HasString(InstanceKey(10), "DeviceDesc", Sz(kOriginalDesc)));
    EXPECT_TRUE(HasString(kRegistrationKey, "UninstallString", Sz("C:\\windows\\ZentaroxUSB\\Install.exe /u")));
    EXPECT_TRUE(HasDefaultParameters());

    EXPECT_EQ(UpdateLegacyDeviceRegistry(0), 0);
    EXPECT_TRUE(HasString(InstanceKey(0), "DeviceDesc", Sz("USB Human Interface Device")));
    EXPECT_TRUE(HasString(InstanceKey(9), "DeviceDesc", Sz("HID Touch Device")));
    // No description, or one that does not fit: the empty one, no bytes at all.
    EXPECT_TRUE(HasString(InstanceKey(5), "DeviceDesc", ""));
    EXPECT_TRUE(HasString(InstanceKey(6), "DeviceDesc", ""));
    EXPECT_TRUE(HasString(kClassRoot + "\\HID\\0009", "NTMPDriver", Sz("HidUsb.Sys")));
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
    EXPECT_FALSE(bench::KeyExists(HKLM, kServiceKey));
}

TEST(SetupLegacyDevice, InstancesWithoutAUsableClassKeyAreLeftAlone)
{
    ASSERT_TRUE(ResolveSetupFolders());
    // None present: the registration is still written, no device key made.
    EXPECT_EQ(UpdateLegacyDeviceRegistry(1), 0);
    EXPECT_TRUE(HasString(kRegistrationKey, "DisplayName", Sz("Zentarox USB Touchscreen Driver")));
    EXPECT_FALSE(bench::KeyExists(HKLM, "Enum\\USB\\VID_3C5E&PID_0001"));

    AddInstance(1, nullptr);
    AddInstance(2, "HID\\0404");                 // no such class key
    AddInstance(3, "");                          // would name the Class key itself
    AddClass("", nullptr);
    // Too long for the 260-character class key path; cut, it would name
    // this other key.
    std::string longName(250, 'c');
    AddInstance(4, longName.c_str());
    std::string cutKey = (kClassRoot + "\\" + longName).substr(0, 259);
    bench::WriteString(HKLM, cutKey, "Marker", "x");
    // 260 bytes without a terminating zero (the type is never looked at).
    AddInstance(7, nullptr);
    std::string unended(260, 'A');
    bench::WriteBinary(HKLM, InstanceKey(7), "Driver", unended.data(), 260);

    for (DWORD install : {1u, 0u}) {
        EXPECT_EQ(UpdateLegacyDeviceRegistry(install), 0);
        for (int instance : {1, 2, 3, 4, 7})
            EXPECT_TRUE(HasString(InstanceKey(instance), "DeviceDesc", Sz(kOriginalDesc))) << instance;
        EXPECT_FALSE(bench::ReadValue(HKLM, kClassRoot, "NTMPDriver").exists);
        EXPECT_FALSE(bench::ReadValue(HKLM, cutKey, "NTMPDriver").exists);
    }
}
