// Registry checks shared by the setup tests: values as the registry holds
// them (type and exact bytes), the installed defaults, and keys locked
// against the test itself.
#ifndef SETUPREGTEST_H
#define SETUPREGTEST_H

#include <gtest/gtest.h>
#include <aclapi.h>
#include <initializer_list>
#include <map>
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

// A REG_DWORD value under HKLM holding exactly this number (4 bytes).
::testing::AssertionResult HasDword(const std::string &path, const char *name, DWORD number);

// The product's Programs and Features entry as installation writes it, for
// the Windows folder windows and installed files of kib KiB; its version is
// the version resource's of the built Install.exe.
::testing::AssertionResult HasProgramsAndFeaturesEntry(const std::string &windows, DWORD kib);

// All nineteen driver parameters, REG_DWORD, 4 bytes: those named in
// changed holding the number given there, the rest their installed defaults.
::testing::AssertionResult HasParameters(const std::map<std::string, DWORD> &changed);
inline ::testing::AssertionResult HasDefaultParameters() { return HasParameters({}); }

// An explicit-access entry for an account given by name.
EXPLICIT_ACCESS_A EntryFor(const char *account, DWORD access, ACCESS_MODE mode);

// Replaces the access list of an HKLM key (created when missing).
void SetKeyEntries(const std::string &path, std::initializer_list<EXPLICIT_ACCESS_A> entries);

// Makes an HKLM key refuse deniedAccess to everyone, the test itself
// included, and allow the rest (denied entries come first, so they win).
inline void LockKey(const std::string &path, DWORD deniedAccess = KEY_ALL_ACCESS)
{
    SetKeyEntries(path, {EntryFor("Everyone", deniedAccess, DENY_ACCESS),
                         EntryFor("Everyone", KEY_ALL_ACCESS, GRANT_ACCESS)});
}

#endif
