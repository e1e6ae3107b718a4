#!/bin/bash
# Main job: installs what is missing, builds everything, prints the size
# figures, then runs one calibration with ZentaroxUsb.exe under Wine, in a
# throwaway prefix with the simulated touch controller running and the
# driver's Parameters key installed.
#
# - With a usable X display ($DISPLAY) the calibration window opens there and
#   you touch (click) the crosses yourself; the simulated controller supplies
#   each raw reading.
# - Without one (or with --headless) it runs under its own Xvfb: a real
#   pointer click lands on each cross, a screenshot of every screen is saved
#   in build/demo/, and "OK" is pressed on the check screen.
# Either way the stored calibration values are printed at the end.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZX_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/size-report.sh" "$build/bin" "$build/i686/bin"

out=$build/demo
rm -rf "$out"
mkdir -p "$out"
winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

mode=headless
if [ "${1:-}" != --headless ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  mode=interactive
fi
echo
if [ $mode = interactive ]; then
  echo "Calibration on display $DISPLAY"
  export ZX_DISPLAY=$DISPLAY
  args=("$(winpath "$out")" interactive)
else
  echo "Calibration headless under Xvfb (1024 x 768)"
  unset ZX_DISPLAY
  args=("$(winpath "$out")")
fi
# winerun makes the throwaway prefix (a copy of the bench's booted template),
# and removes it and its display again afterwards.
ZX_BENCH_DIR=$build/bench ZX_RUN_TIMEOUT=600 \
  "$root/tests/bench/winerun" "$build/bin/calibration_demo.exe" "${args[@]}"

shopt -s nullglob
shots=("$out"/*.bmp)
if [ ${#shots[@]} -gt 0 ]; then
  for f in "${shots[@]}"; do
    /usr/bin/convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
  echo
  echo "Screenshots:"
  ls -1 "$out"/*.png
fi
