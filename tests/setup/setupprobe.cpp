// Runs one setup routine so that a test sees its debugger output and result:
//   setupprobe folders              ResolveSetupFolders; prints "source=..."
//                                   and "windows=...", exit code its result
//   setupprobe security             SetParametersKeySecurity
//   setupprobe secure ACCOUNT...    SetParametersKeySecurityFor(ACCOUNT...)
//   setupprobe grant NAME ACCOUNT   exit code: GrantKeyAccess(NAME or, for
//                                   "-", none, SE_REGISTRY_KEY, ACCOUNT)
//   setupprobe privilege NAME [nohandle]
//                                   exit code: EnablePrivilege on this process
//                                   (on no process handle with "nohandle")
#include <windows.h>
#include <cstring>
#include <string>
#include "keysecurity.h"
#include "setupcontext.h"

int main(int argc, char **argv)
{
    if (argc < 2)
        return 100;
    std::string command = argv[1];
    if (command == "folders") {
        BOOL ok = ResolveSetupFolders();
        OutputDebugStringA((std::string("source=") + sourceDir).c_str());
        OutputDebugStringA((std::string("windows=") + windowsDir).c_str());
        return ok;
    }
    if (command == "security") {
        SetParametersKeySecurity();
        return 0;
    }
    if (command == "secure") {
        SetParametersKeySecurityFor(argv + 2, argc - 2);
        return 0;
    }
    if (command == "grant" && argc == 4)
        return (int)GrantKeyAccess(strcmp(argv[2], "-") ? argv[2] : nullptr, SE_REGISTRY_KEY, argv[3]);
    if (command == "privilege" && argc >= 3)
        return (int)EnablePrivilege(argc > 3 ? nullptr : GetCurrentProcess(), argv[2]);
    return 100;
}
