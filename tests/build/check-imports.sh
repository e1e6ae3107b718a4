#!/bin/bash
# The import gate: every function that the shipped programs import must be on
# the list (imports.list beside this script) for its DLL and architecture,
# because Windows refuses to start a program that imports a function its DLL
# does not export, and Wine exports every function whatever Windows it
# imitates. Also the PE headers' OS and subsystem versions, which Windows
# checks before it loads anything: at most 4.0 for x86 (Windows 98), 5.2 for
# x64 (Windows XP Professional x64 Edition).
#   check-imports.sh LIST ARCH:FOLDER...     (ARCH x86 or x64)
# Fails naming the program, the DLL and the function: for an import the list
# does not hold for that architecture, and for one it marks "runtime" (to be
# looked up, never imported). Fails too on a list entry that names a source
# its legend does not define, or a stub whose road is not the NT class's.
set -u
list=$1
shift
status=0
fail() { echo "FAIL: $*"; status=1; }

entries=$(grep -v '^#' "$list" | awk 'NF')
sources=" $(sed -n 's/^# known \([^:]*\):.*/\1/p' "$list" | tr '\n' ' ') "
while read -r dll function floor road known floor64 known64; do
  for key in "$known" "$known64"; do
    [[ $sources == *" $key "* ]] || fail "$list: $dll $function: source '$key' is not in the legend"
  done
  [ "$floor" = stub ] && [ "${road#nt:}" = "$road" ] &&
    fail "$list: $dll $function is only a stub on Windows 98, yet its road is '$road', not nt:FILES"
done <<< "$entries"

for medium in "$@"; do
  arch=${medium%%:*} folder=${medium#*:}
  case $arch in
    x86) dump=i686-w64-mingw32-objdump column=3 highest=400 ;;
    x64) dump=x86_64-w64-mingw32-objdump column=6 highest=502 ;;
    *) echo "unknown architecture $arch"; exit 2 ;;
  esac
  for program in Install ZentaroxUsb Kaplet; do
    exe=$folder/$program.exe
    [ -f "$exe" ] || { fail "$exe missing"; continue; }
    headers=$($dump -p "$exe")
    for kind in OSystem Subsystem; do
      major=$(echo "$headers" | awk -v k="Major${kind}Version" '$1==k {print $2}')
      minor=$(echo "$headers" | awk -v k="Minor${kind}Version" '$1==k {print $2}')
      [ $((major * 100 + minor)) -le $highest ] ||
        fail "$program.exe ($arch): ${kind/OSystem/OS} version $major.$minor, above $((highest / 100)).$((highest % 100))"
    done
    count=0
    # "dll function" for each import; one by ordinal shows as its number,
    # which no entry names.
    while read -r dll function; do
      count=$((count + 1))
      floor=$(echo "$entries" | awk -v d="${dll%.dll}" -v f="$function" -v c=$column '$1==d && $2==f {print $c}')
      case $floor in
        "" | -) fail "$program.exe ($arch) imports $dll $function, which is not on the $arch list" ;;
        runtime) fail "$program.exe ($arch) imports $dll $function, which the list says to look up at run time" ;;
      esac
    done < <(echo "$headers" | awk '/DLL Name:/ {dll = tolower($3); next} /^$/ {dll = ""}
                                    dll && /^\t[0-9a-f]+\t/ {print dll, $NF}')
    echo "$program.exe ($arch): $count imports checked"
  done
done
[ $status = 0 ] && echo ok
exit $status
