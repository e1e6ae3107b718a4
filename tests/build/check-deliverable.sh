#!/bin/bash
# Checks one shipped program as Windows would load it:
#   check-deliverable.sh EXE MACHINE [manifest|no-manifest]
# MACHINE is x64 or x86. Fails when the machine type is not that, when it
# imports a DLL outside the system's known DLLs (C++ runtime, libgcc,
# winpthread, comctl32, version, ...), when it has no resources, or when the
# manifest is present/absent against the third argument.
set -u
exe=$1 machine=$2 manifest=${3:-}
fail() { echo "FAIL: $exe: $*"; status=1; }
status=0
[ -f "$exe" ] || { echo "FAIL: $exe missing"; exit 1; }
got=$("$(dirname "$0")/../../scripts/pe-machine" "$exe")
case $machine in
  x64) want=8664 dump=x86_64-w64-mingw32-objdump ;;
  x86) want=014c dump=i686-w64-mingw32-objdump ;;
esac
[ "$got" = "$want" ] || fail "machine type $got, expected $want"
# Only DLLs that Windows loads from System32 alone (its known DLLs, from
# Windows 7 on), so that a DLL planted in the program's folder (Downloads, a
# USB stick) can never stand in for one of them; and ntdll, which the system
# loads before anything else.
known='kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|shlwapi|comdlg32|setupapi|imm32|rpcrt4'
known="$known|ws2_32|psapi|imagehlp|normaliz|nsi|sechost|wldap32|msctf"
allowed="^($known|ntdll)\\.dll$"
imports=$($dump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "$(basename "$exe") ($machine) imports: $(echo $imports)"
for dll in $imports; do
  echo "$dll" | grep -qE "$allowed" || fail "imports $dll"
done
$dump -h "$exe" | grep -q ' \.rsrc ' || fail "has no resources"
if [ -n "$manifest" ]; then
  # RT_MANIFEST is resource type 24; windres keeps manifests as that type.
  has=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null | grep -cE '^[0-9]+ 24 ' || true)
  if [ "$manifest" = manifest ] && [ "$has" = 0 ]; then fail "has no manifest"; fi
  if [ "$manifest" = no-manifest ] && [ "$has" != 0 ]; then fail "has a manifest"; fi
fi
[ $status = 0 ] && echo "ok"
exit $status
