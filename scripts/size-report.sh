#!/bin/bash
# Prints, for each shipped program found in the given folders, its file size,
# the size of its resources (.rsrc section), the rest, and the DLLs it imports.
set -u
printf '%-34s %8s %8s %10s  %s\n' program file .rsrc "file-rsrc" imports
for dir in "$@"; do
  for name in ZentaroxUsb Kaplet Install; do
    exe=$dir/$name.exe
    [ -f "$exe" ] || continue
    case $(od -An -tx2 -j $(( $(od -An -tu4 -j60 -N4 "$exe") + 4 )) -N2 "$exe" | tr -d ' ') in
      8664) dump=x86_64-w64-mingw32-objdump; arch=x64 ;;
      *) dump=i686-w64-mingw32-objdump; arch=x86 ;;
    esac
    size=$(stat -c %s "$exe")
    # Hex sizes are converted by bash: strtonum is gawk's, and Debian's awk is mawk.
    rsrc=$((16#$($dump -h "$exe" | awk '$2==".rsrc" {print $3; f=1} END {if(!f) print 0}')))
    # .rsrc occupies its raw size in the file, rounded up to the file alignment
    raw=$((16#$($dump -p "$exe" | awk '/^FileAlignment/ {print $2}')))
    rsrc_file=$(( (rsrc + raw - 1) / raw * raw ))
    imports=$($dump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
    printf '%-34s %8d %8d %10d  %s\n' "$name.exe ($arch)" "$size" "$rsrc_file" "$((size - rsrc_file))" "$imports"
  done
done
