// Watches the registry calls and pauses that the calibration storage makes
// inside a test program, and can make single writes fail.
//
// The storage code is linked into the test program, so its calls to
// ADVAPI32 and Sleep go through this program's import table; the hooks
// rewrite those slots. Only calls made between StartRecording and
// StopRecording are counted (the bench and GoogleTest use the registry too).
#ifndef REGCALLS_H
#define REGCALLS_H

#include <windows.h>
#include <string>
#include <vector>

struct RegistryCall {
    std::string function;   // "RegOpenKeyExA", "RegQueryValueExA", ..., "Sleep"
    std::string name;       // value name, where the call has one
    REGSAM access = 0;      // opens and creates
    DWORD sleepMs = 0;
};

// Rewrites the import slots once; later calls do nothing.
void InstallRegistryHooks();

void StartRecording();
std::vector<RegistryCall> StopRecording();

// RegSetValueExA of this value name fails with ERROR_ACCESS_DENIED and writes
// nothing ("" for none).
void FailWritesOf(const std::string &name);

// How many recorded calls are of that function (and value name, if given).
int CountCalls(const std::vector<RegistryCall> &calls, const std::string &function,
               const std::string &name = "");
// Registry calls only (pauses left out).
int CountRegistryCalls(const std::vector<RegistryCall> &calls);

#endif
