#!/bin/bash
# The fault sweep of Install.exe: on each silent road (install: /S on a
# fresh machine; repair: /S over a calibrated installation; removal: the
# registered "/u /S"), counts the calls of each function that
# tests/faults/faultseam.dll knows, then makes each of those calls fail in
# turn, one run each in a fresh prefix of its own, with access denied (5),
# and also disk full (112) for CopyFileA and WriteFile and a sharing
# violation (32) for DeleteFileA and MoveFileExA, and judges each run
# (tests/faults/sweep_test.cpp says how). Prints a table (road, function,
# error, calls, points tried, points that hold), the points that do not hold
# with their reasons, and the time taken; exits 1 unless every point holds.
#
#   scripts/fault-sweep.sh [--road R] [--first K | --ends] [--jobs J]
#
# --road: only that road; --first K: the first K calls of each function;
# --ends: its first and its last call; --jobs: runs at a time (2). Builds
# nothing: it takes the programs of the build tree (ZX_BUILD_DIR, default
# build/) and keeps every run's output in its fault-sweep/ folder.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZX_BUILD_DIR:-$root/build}
export ZX_BENCH_DIR=$build/bench
driver=$build/bin/test_faults.exe
winerun=$root/tests/bench/winerun
out=$build/fault-sweep

# One point in a prefix of its own: "road Function N error" -> a result line.
if [ "${1:-}" = --point ]; then
  set -- $2
  log=$out/points/$1-$2-$3-$4.log
  # Now and then Wine ends a run before the test program has started (exit
  # 1, no output at all); only such a run is tried again.
  for attempt in 1 2; do
    ZX_FAULT_POINT="$*" "$winerun" --timeout=170 "$driver" --gtest_filter=Sweep.Point >"$log" 2>&1
    status=$?
    grep -q '^\[ RUN' "$log" && break
  done
  reasons=$(grep '^SEAM-VERDICT ' "$log" | tr -d '\r' | cut -c14- | paste -sd '|')
  if [ $status != 0 ] && [ -z "$reasons" ]; then
    reasons="harness: exit $status: $(grep -m1 -E 'Failure|winerun:' -A2 "$log" | tr '\r\n' '  ' | cut -c1-200)"
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "$([ $status = 0 ] && echo holds || echo fails)" "$reasons"
  exit 0
fi

roads="install repair removal" first=0 ends=0 jobs=2
while [ $# -gt 0 ]; do
  case $1 in
    --road) roads=$2; shift ;;
    --first) first=$2; shift ;;
    --ends) ends=1 ;;
    --jobs) jobs=$2; shift ;;
    *) echo "usage: $0 [--road R] [--first K | --ends] [--jobs J]" >&2; exit 2 ;;
  esac
  shift
done
[ -f "$driver" ] || { echo "fault-sweep: no $driver (build first)" >&2; exit 2; }

# Listed functions that no silent road calls, and why that is no gap.
allowed_uncalled="
ExitWindowsEx     # the silent roads never restart Windows
RegOpenKeyA       # only on the Windows 9x road (its device keys)
RegSetValueExW    # only when the restart's list holds pairs to take out
RegDeleteValueW   # the same
"

rm -rf "$out"
mkdir -p "$out/points"
started=$(date +%s)
status=0
: >"$out/counts"
for road in $roads; do
  ZX_FAULT_ROAD=$road "$winerun" --timeout=170 "$driver" --gtest_filter=Sweep.Count >"$out/count-$road.log" 2>&1 \
    || { echo "fault-sweep: the counting run of $road failed (see $out/count-$road.log)"; status=1; }
  grep '^SEAM-' "$out/count-$road.log" | tr -d '\r' >>"$out/counts"
done

# Every listed function must be bound, and called on some road.
for function in $(awk '$1 == "SEAM-COUNT" { print $3 }' "$out/counts" | sort -u); do
  # A function looked up at run time is bound only on a road that looks it up.
  if ! grep -qE "^SEAM-BOUND [a-z]+ $function (import|lookup)" "$out/counts"; then
    echo "fault-sweep: $function is neither imported nor looked up: the seam cannot reach it"; status=1
  elif [ "$roads" = "install repair removal" ] \
       && ! awk -v f="$function" '$1 == "SEAM-COUNT" && $3 == f && $4 > 0 { found = 1 } END { exit !found }' "$out/counts" \
       && ! grep -q "^$function " <<<"$allowed_uncalled"; then
    echo "fault-sweep: no road calls $function"; status=1
  fi
done

errors() {
  case $1 in
    CopyFileA | WriteFile) echo 5 112 ;;
    DeleteFileA | MoveFileExA) echo 5 32 ;;
    *) echo 5 ;;
  esac
}
awk '$1 == "SEAM-COUNT" && $4 > 0 { print $2, $3, $4 }' "$out/counts" | while read -r road function calls; do
  for call in $(seq 1 "$calls"); do
    if [ "$ends" = 1 ]; then [ "$call" = 1 ] || [ "$call" = "$calls" ] || continue; fi
    if [ "$first" -gt 0 ] && [ "$call" -gt "$first" ]; then continue; fi
    for error in $(errors "$function"); do echo "$road $function $call $error"; done
  done
done >"$out/points.txt"

echo "fault-sweep: $(wc -l <"$out/points.txt") points, $jobs at a time; each run's output in $out/points"
xargs -d '\n' -P "$jobs" -I{} "$0" --point {} <"$out/points.txt" >"$out/results.tsv"

# The table: road, function, error, its calls on that road, points tried, points that hold.
{
  printf '%-8s %-27s %5s %6s %6s %6s\n' road function error calls tried holds
  awk -F'\t' 'NR == FNR { split($0, c, " "); if (c[1] == "SEAM-COUNT") calls[c[2] " " c[3]] = c[4]; next }
    { key = $1 " " $2 " " $4; if (!(key in tried)) order[n++] = key; tried[key]++; if ($5 == "holds") held[key]++ }
    END { for (i = 0; i < n; i++) { split(order[i], k, " ")
            printf "%-8s %-27s %5s %6s %6d %6d\n", k[1], k[2], k[3], calls[k[1] " " k[2]], tried[order[i]], held[order[i]] } }' \
    "$out/counts" <(sort -t$'\t' -k1,1 -k2,2 -k4,4n -k3,3n "$out/results.tsv")
  echo
  echo "Points that do not hold (road function call error: reasons):"
  sort -t$'\t' -k1,1 -k2,2 -k3,3n -k4,4n "$out/results.tsv" \
    | awk -F'\t' '$5 != "holds" { printf "%s %s %s %s: %s\n", $1, $2, $3, $4, $6 }'
} | tee "$out/table.txt"

points=$(wc -l <"$out/results.tsv")
failing=$(awk -F'\t' '$5 != "holds"' "$out/results.tsv" | wc -l)
elapsed=$(($(date +%s) - started))
echo "fault-sweep: $points points, $((points - failing)) hold, $failing do not; ${elapsed} s in all," \
     "$(awk -v t="$elapsed" -v n="$points" 'BEGIN { printf "%.1f", n ? t / n : 0 }') s a point" | tee -a "$out/table.txt"
[ "$failing" = 0 ] || status=1
exit $status
