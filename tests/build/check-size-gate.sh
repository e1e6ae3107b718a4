#!/bin/bash
# The size gate bites: a copy of a built program padded past its budget, in a
# scratch folder, makes the size report fail with a line that names it.
#   check-size-gate.sh SIZE-REPORT INSTALL.EXE
set -u
report=$1 exe=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$exe" "$scratch/Install.exe"
# Bytes past the image count in the file as they would in a download.
head -c $((45 * 1024)) /dev/zero >>"$scratch/Install.exe"
out=$("$report" "$scratch") && { echo "FAIL: the report passed a padded Install.exe"; echo "$out"; exit 1; }
echo "$out"
echo "$out" | grep -qE "^OVER BUDGET: .*Install\.exe \((x64|x86)\) .* [0-9]+ bytes over" ||
  { echo "FAIL: no line names the padded program"; exit 1; }
echo ok
