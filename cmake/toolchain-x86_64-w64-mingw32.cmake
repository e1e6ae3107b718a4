# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread model:
# GoogleTest needs std::condition_variable, which the win32 model lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
