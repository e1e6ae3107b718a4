#!/bin/bash
# Refreshes the user guide's pictures (docs/images/) from the main job's own
# headless run, so that they show the programs as they are built now:
#   refresh-guide-images.sh                 runs scripts/demo.sh --headless first
#   refresh-guide-images.sh --from-last-run takes build/demo/ as the last run left it
# The run's numbering is dropped from the names (01-welcome-page.png becomes
# welcome-page.png), the right-button tool's shots are cut down to its small
# window in the screen's corner, and every picture is stored without time
# stamps, so an unchanged screen gives an unchanged file.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZX_BUILD_DIR:-$root/build}
[ "${1:-}" = --from-last-run ] || "$root/scripts/demo.sh" --headless
shopt -s nullglob
shots=("$build"/demo/[0-9][0-9]-*.png)
[ ${#shots[@]} -gt 0 ] || { echo "no screenshots in $build/demo" >&2; exit 1; }
images=$root/docs/images
rm -f "$images"/*.png
mkdir -p "$images"
for shot in "${shots[@]}"; do
  name=$(basename "$shot" | sed 's/^[0-9][0-9]-//')
  case $name in
    right-button-tool-*) crop=(-crop 80x100+0+0 +repage -scale 200%) ;;   # the 80 x 100 window at (0, 0)
    *) crop=() ;;
  esac
  /usr/bin/convert "$shot" "${crop[@]}" -strip "$images/$name"
  echo "docs/images/$name"
done
