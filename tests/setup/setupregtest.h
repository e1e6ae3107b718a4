// Registry checks shared by the setup tests: values as the registry holds
// them (type and exact bytes), the installed defaults, and keys locked
// against the test itself.
#ifndef SETUPREGTEST_H
#define SETUPREGTEST_H

#include <gtest/gtest.h>
#include <string>
#include "benchlib.h"

#define HKLM HKEY_LOCAL_MACHINE

static const char *const kRegistrationKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessivar";
static const char *const kServiceKey = "System\\CurrentControlSet\\Services\\Drovik";
static const char *const kParamsKey = "System\\CurrentControlSet\\Services\\Drovik\\Parameters";
static const char *const kMouseKey = "Control Panel\\Mouse";

// The bytes of a string stored with its terminating zero.
inline std::string Sz(const std::string &text) { return text + '\0'; }

// A REG_SZ value under HKLM holding exactly these bytes.
::testing::AssertionResult HasString(const std::string &path, const char *name, const std::string &bytes);

// All nineteen driver parameters at their installed defaults, REG_DWORD, 4 bytes.
::testing::AssertionResult HasDefaultParameters();

// Makes an HKLM key (created when missing) refuse deniedAccess to everyone,
// the test itself included, and allow the rest.
void LockKey(const std::string &path, DWORD deniedAccess = KEY_ALL_ACCESS);

#endif
