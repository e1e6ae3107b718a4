// RemoveRunEntry against the real registry: it deletes exactly one value and
// creates a missing Run key, reporting nothing.
#include <gtest/gtest.h>
#include "benchlib.h"
#include "runentry.h"

static const char *const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(RunEntry, DeletesOnlyTheNamedValue)
{
    bench::WriteString(HKEY_CURRENT_USER, kRun, "ZentaroxUsb", "C:\\windows\\ZentaroxUsb\\ZentaroxUsb.exe");
    bench::WriteString(HKEY_CURRENT_USER, kRun, "Other", "other.exe");
    RemoveRunEntry("ZentaroxUsb");
    EXPECT_FALSE(bench::ReadValue(HKEY_CURRENT_USER, kRun, "ZentaroxUsb").exists);
    bench::RegValue other = bench::ReadValue(HKEY_CURRENT_USER, kRun, "Other");
    EXPECT_TRUE(other.exists);
    EXPECT_EQ(other.AsString(), "other.exe");
}

TEST(RunEntry, MissingValueLeavesTheKeyAlone)
{
    bench::WriteString(HKEY_CURRENT_USER, kRun, "Other", "other.exe");
    RemoveRunEntry("ZentaroxUsb");
    EXPECT_TRUE(bench::ReadValue(HKEY_CURRENT_USER, kRun, "Other").exists);
}

TEST(RunEntry, MissingRunKeyIsCreatedEmpty)
{
    bench::DeleteTree(HKEY_CURRENT_USER, kRun);
    ASSERT_FALSE(bench::KeyExists(HKEY_CURRENT_USER, kRun));
    RemoveRunEntry("ZentaroxUsb");
    ASSERT_TRUE(bench::KeyExists(HKEY_CURRENT_USER, kRun));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99, subkeys = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subkeys, 0u);
}
