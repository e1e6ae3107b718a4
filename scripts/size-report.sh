#!/bin/bash
# Prints, for each shipped program found in the given folders, its file size,
# the size of its resources (.rsrc section), the rest, and the DLLs it imports;
# and fails (exit 1) when the rest, what the program's code and data take,
# passes the program's budget below, naming the program, its architecture and
# the bytes over. The pictures and icons are not counted: they are what the
# user sees, and their sizes are fixed by the windows that show them.
set -u

# The budgets, in bytes outside the resources, the same for x64 and x86. A
# setup program that users download, often over slow links, stays near what
# common installer builders' own setup stubs take.
budget() {
  case $1 in
    Install) echo $((50 * 1024)) ;;
    ZentaroxUsb) echo $((23 * 1024)) ;;
    Kaplet) echo $((17 * 1024)) ;;
  esac
}

status=0
over=()
printf '%-34s %8s %8s %10s %8s  %s\n' program file .rsrc "file-rsrc" budget imports
for dir in "$@"; do
  for name in ZentaroxUsb Kaplet Install; do
    exe=$dir/$name.exe
    [ -f "$exe" ] || continue
    case $("$(dirname "$0")/pe-machine" "$exe") in
      8664) dump=x86_64-w64-mingw32-objdump; arch=x64 ;;
      *) dump=i686-w64-mingw32-objdump; arch=x86 ;;
    esac
    size=$(stat -c %s "$exe")
    # Hex sizes are converted by bash: strtonum is gawk's, and Debian's awk is mawk.
    rsrc=$((16#$($dump -h "$exe" | awk '$2==".rsrc" {print $3; f=1} END {if(!f) print 0}')))
    # .rsrc occupies its raw size in the file, rounded up to the file alignment
    raw=$((16#$($dump -p "$exe" | awk '/^FileAlignment/ {print $2}')))
    rsrc_file=$(( (rsrc + raw - 1) / raw * raw ))
    rest=$((size - rsrc_file)) limit=$(budget "$name")
    imports=$($dump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
    printf '%-34s %8d %8d %10d %8d  %s\n' "$name.exe ($arch)" "$size" "$rsrc_file" "$rest" "$limit" "$imports"
    if [ "$rest" -gt "$limit" ]; then
      over+=("OVER BUDGET: $exe: $name.exe ($arch) takes $rest bytes outside its resources, $((rest - limit)) bytes over its budget of $limit")
      status=1
    fi
  done
done
[ ${#over[@]} = 0 ] || printf '%s\n' "${over[@]}"
exit $status
