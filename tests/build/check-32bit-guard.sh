#!/bin/bash
# Wine without its 32-bit half returns 0 from a 32-bit program without running
# it; the bench must refuse such a program (exit 125) rather than pass it.
# With wine32 installed the program must really run: commonprobe osclass
# then exits with the OS class of Wine's default Windows 7, 9.
#   check-32bit-guard.sh WINERUN PROBE32
set -u
"$1" "$2" osclass
status=$?
if dpkg -s wine32 >/dev/null 2>&1; then expected=9; else expected=125; fi
echo "exit $status, expected $expected"
[ $status = $expected ]
