#!/bin/bash
# Main job: installs what is missing, builds everything, prints the size
# figures, then walks the whole road under Wine in a throwaway prefix:
# Install.exe from a medium (build/media/x64 plus the stand-ins of the
# driver package and shipped files) through its wizard, the calibration that
# Finish starts against the simulated touch controller, the right-button
# tool, and the removal with the command the uninstall registration holds.
#
# - With a usable X display ($DISPLAY) everything opens there and you click
#   yourself; the simulated controller supplies each raw reading.
# - Without one (or with --headless) it runs under its own Xvfb: Next,
#   Finish, No to the restart, a real click on each cross and "OK", two on
#   the right-button tool, then Yes and No to the removal's questions, with a
#   screenshot of every page, box and screen saved in build/demo/
#   (scripts/refresh-guide-images.sh makes the user guide's pictures of them).
# Either way it prints the files, registration, shortcuts, stored calibration
# and what was left after the removal. Then it installs again unattended
# ("Install.exe /S") and removes with the registered quiet command
# ("/u /S"), printing each exit code, the Programs and Features entry and
# what was left.
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
  echo "Installation, calibration and removal on display $DISPLAY"
  export ZX_DISPLAY=$DISPLAY
  args=("$(winpath "$out")" interactive)
else
  echo "Installation, calibration and removal headless under Xvfb (1024 x 768)"
  unset ZX_DISPLAY
  args=("$(winpath "$out")")
fi
# winerun makes the throwaway prefix (a copy of the bench's booted template),
# and removes it and its display again afterwards.
ZX_BENCH_DIR=$build/bench ZX_RUN_TIMEOUT=600 \
  "$root/tests/bench/winerun" "$build/bin/road_demo.exe" "${args[@]}"

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
