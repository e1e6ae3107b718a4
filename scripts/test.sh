#!/bin/bash
# The whole test run: installs what is missing, builds everything (64-bit and
# 32-bit), prints the size figures of the programs (and fails when one is past
# its budget) and runs the tests with
# CTest under Wine three times:
#   Wine 8 x64    Debian 12's Wine, every test, the 64-bit programs;
#   Wine 10 x64   Wine 10 in a Debian 13 chroot (scripts/wine10-chroot.sh makes
#                 it when missing), every Wine test (label wine), the same
#                 64-bit programs;
#   Wine 10 x86   the same 64-bit test programs, stand-ins and simulated
#                 controller, pointed by the bench at the 32-bit programs and
#                 the x86 medium (label x86).
# The chroot builds the test programs in a build tree of its own
# (build-wine10) and tests the programs of this build. Every run prints
# CTest's own output and a summary line; the exit code is non-zero when any
# run failed. Extra arguments go to every ctest call (-R NAME, say);
# ZX_SKIP_WINE10=1 leaves out the two Wine 10 runs. On a machine that cannot
# execute 32-bit code at all the x86 run is reported as not run, and fails the
# whole only with ZX_REQUIRE_X86=1. Every ZX_* setting of the scripts and the
# bench is listed, with what it does, in the README's test bench section.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

# One CTest run: NAME BUILD SUMMARY [ctest arguments]; its line goes to SUMMARY.
run_ctest() {
  local name=$1 dir=$2 summary=$3 start status log line total failed
  shift 3
  echo "=== $name"
  start=$(date +%s)
  log=$(mktemp)
  set +e
  (cd "$dir" && ctest --output-on-failure -j "${ZX_TEST_JOBS:-2}" "$@") 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  set -e
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
  rm -f "$log"
  total=$(echo "$line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  failed=$(echo "$line" | sed -nE 's/.* passed, ([0-9]+) tests? failed.*/\1/p')
  # A whole run that found no test has proved nothing.
  if [ -z "$total" ] || [ "$total" = 0 ]; then
    total=0 failed=0
    [ "$filtered" = 1 ] || status=1
  fi
  echo "$name: $((total - failed)) passed, $failed failed, $(( $(date +%s) - start )) s$([ $status = 0 ] || echo ' FAILED')" >>"$summary"
  return $status
}

# Inside the chroot: --wine10-runs BUILD BUILD10 SUMMARY [ctest arguments]
if [ "${1:-}" = --wine10-runs ]; then
  build=$2 build10=$3 summary=$4
  shift 4
  filtered=$([ $# -gt 0 ] && echo 1 || echo 0)
  "$root/scripts/install-deps.sh"
  start=$(date +%s)
  ZX_BUILD_DIR=$build10 "$root/scripts/build.sh" -DZX_BUILD_I686=OFF -DZX_TEST_X86=ON -DZX_PROGRAMS_BUILD="$build"
  echo "Build in the Wine 10 chroot took $(( $(date +%s) - start )) s"
  status=0
  run_ctest "Wine 10 x64" "$build10" "$summary" -L wine "$@" || status=1
  # 32-bit code, WoW64's included, needs the kernel's 32-bit user code
  # segment, which some virtual machines leave out: there every 32-bit process
  # dies at its first instruction. The x86 probe's OS class (3 to 10) says
  # whether one ran at all.
  ZX_BENCH_DIR=$build10/bench-x86 "$root/tests/bench/winerun" "$build/i686/bin/commonprobe.exe" osclass \
    >/dev/null 2>&1 && class=0 || class=$?
  if [ "$class" -ge 3 ] && [ "$class" -le 10 ]; then
    run_ctest "Wine 10 x86" "$build10" "$summary" -L x86 "$@" || status=1
  else
    echo "Wine 10 x86: not run: this machine runs no 32-bit code (the x86 probe ended with $class)" | tee -a "$summary"
    [ "${ZX_REQUIRE_X86:-0}" != 1 ] || status=1
  fi
  exit $status
fi

filtered=$([ $# -gt 0 ] && echo 1 || echo 0)
build=${ZX_BUILD_DIR:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)
build10=${ZX_WINE10_BUILD_DIR:-$root/build-wine10}
"$root/scripts/install-deps.sh"
start=$(date +%s)
"$root/scripts/build.sh"
echo "Build took $(( $(date +%s) - start )) s"
summary=$build/test-summary.txt
: >"$summary"
status=0
# The gate on what the programs import and weigh: a program past its size
# budget fails the whole run (the imports are checked by the Build.* tests).
if "$root/scripts/size-report.sh" "$build/bin" "$build/i686/bin"; then
  echo "Sizes: all within budget" >>"$summary"
else
  echo "Sizes: over budget FAILED" >>"$summary"
  status=1
fi
run_ctest "Wine 8 x64" "$build" "$summary" "$@" || status=1
if [ "${ZX_SKIP_WINE10:-0}" != 1 ]; then
  # The chroot sees this checkout at the same path; a build tree elsewhere is
  # bound in beside it.
  case "$build/" in "$root"/*) ;; *) export ZX_WINE10_BIND=$build ;; esac
  start=$(date +%s)
  "$root/scripts/wine10-chroot.sh" "$root/scripts/test.sh" --wine10-runs "$build" "$build10" "$summary" "$@" ||
    status=1
  echo "Wine 10 chroot, its build and both runs took $(( $(date +%s) - start )) s"
  grep -q '^Wine 10 x86:' "$summary" || { echo "Wine 10 runs: did not run"; status=1; }
fi

echo "=== Summary"
cat "$summary"
sed -nE 's/.*: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/p' "$summary" |
  awk '{ p += $1; f += $2 } END { printf "all: %d passed, %d failed\n", p, f }'
exit $status
