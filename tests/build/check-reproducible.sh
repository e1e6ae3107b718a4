#!/bin/bash
# Builds the shipped programs a second time, in another folder, and compares
# them byte for byte with the given build:  check-reproducible.sh SOURCE BUILD
set -u
src=$1 build=$2
other=$(mktemp -d /tmp/zx-repro.XXXXXX)
trap 'rm -rf "$other"' EXIT
toolchain=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$build/CMakeCache.txt")
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S "$src" -B "$other" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$type" \
  -DZX_BUILD_TESTS=OFF -DZX_BUILD_I686=OFF >/dev/null || exit 1
status=0
compared=0
for name in ZentaroxUsb Kaplet Install; do
  [ -f "$build/bin/$name.exe" ] || continue
  cmake --build "$other" --target "$name" -j2 >/dev/null || { echo "FAIL: second build of $name"; status=1; continue; }
  if cmp -s "$build/bin/$name.exe" "$other/bin/$name.exe"; then
    echo "$name.exe: identical ($(stat -c %s "$other/bin/$name.exe") bytes)"
  else
    echo "FAIL: $name.exe differs between two builds"; cmp "$build/bin/$name.exe" "$other/bin/$name.exe" | head -3
    status=1
  fi
  compared=$((compared + 1))
done
echo "$compared program(s) compared"
exit $status
