#!/bin/bash
# Main job: installs what is missing and builds the Windows programs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/size-report.sh" "$root/build/bin" "$root/build/i686/bin"
