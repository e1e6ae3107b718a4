#!/bin/bash
# The whole test run: installs what is missing, builds everything (64-bit and
# 32-bit), prints the size figures of the programs and runs every test with
# CTest under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZX_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
start=$(date +%s)
"$root/scripts/build.sh"
echo "Build took $(( $(date +%s) - start )) s"
"$root/scripts/size-report.sh" "$build/bin" "$build/i686/bin"
start=$(date +%s)
cd "$build"
status=0
ctest --output-on-failure -j "${ZX_TEST_JOBS:-2}" "$@" || status=$?
echo "Tests took $(( $(date +%s) - start )) s"
exit $status
