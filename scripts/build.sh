#!/bin/bash
# Configures and builds everything (64-bit programs, tests and stand-ins, and
# the 32-bit build below build/i686) into build/.  Extra arguments go to CMake.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
