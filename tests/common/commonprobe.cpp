// Runs one routine of the shared code so that a test can watch what the
// system sees of it (debugger output, exit code, registry) from outside:
//   commonprobe osclass                    exit code: QueryOsClass()
//   commonprobe trace LEVEL FORMAT [ARG]... DebugTrace with up to four
//                                          arguments; in FORMAT "\n" is a
//                                          line break; ARG "s:text" is a
//                                          string, anything else an integer
//   commonprobe tracelong LEVEL COUNT      DebugTrace(LEVEL, "%s", COUNT x 'a'..'z')
//   commonprobe setmode MODE               SetMouseMode(MODE)
//   commonprobe status                     exit code: the status word, or
//                                          0xFFFF when the device does not open
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include "debugtrace.h"
#include "osclass.h"
#include "touchdevice.h"

static std::string Unescape(const char *s)
{
    std::string out;
    for (; *s; s++) {
        if (s[0] == '\\' && s[1] == 'n') {
            out += '\n';
            s++;
        } else {
            out += *s;
        }
    }
    return out;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 100;
    std::string command = argv[1];
    if (command == "osclass")
        return QueryOsClass();
    if (command == "trace" && argc >= 4) {
        std::string format = Unescape(argv[3]);
        // Up to four arguments, each passed as a pointer-sized value.
        uintptr_t args[4] = {0, 0, 0, 0};
        std::string strings[4];
        for (int i = 0; i < 4 && 4 + i < argc; i++) {
            if (strncmp(argv[4 + i], "s:", 2) == 0) {
                strings[i] = argv[4 + i] + 2;
                args[i] = (uintptr_t)strings[i].c_str();
            } else {
                args[i] = (uintptr_t)(intptr_t)atoi(argv[4 + i]);
            }
        }
        DebugTrace(atoi(argv[2]), format.c_str(), args[0], args[1], args[2], args[3]);
        return 0;
    }
    if (command == "tracelong" && argc >= 4) {
        std::string text;
        for (int i = 0; i < atoi(argv[3]); i++)
            text += (char)('a' + i % 26);
        DebugTrace(atoi(argv[2]), "%s", text.c_str());
        return 0;
    }
    if (command == "setmode" && argc >= 3) {
        SetMouseMode((DWORD)atoi(argv[2]));
        return 0;
    }
    if (command == "status") {
        DWORD status = 0;
        if (!GetMouseStatus(&status))
            return 0xFFFF;
        return (int)status;
    }
    return 100;
}
