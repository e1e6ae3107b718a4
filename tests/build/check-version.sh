#!/bin/bash
# The version as shipped:  check-version.sh SOURCE VERSION FILE...
# Each program FILE must carry a version resource with VERSION as file and
# product version, the product name, its own file name and a description,
# and no company or copyright value; each SHA256SUMS FILE must name VERSION.
# VERSION (a.b.c.d) may be written in one file of the source tree only.
set -u
src=$1 version=$2; shift 2
status=0
fail() { echo "FAIL: $*"; status=1; }
numbers=${version//./, }
for file in "$@"; do
  name=$(basename "$file")
  if [ "$name" = SHA256SUMS ]; then
    grep -q "^# .* $version," "$file" || fail "$file does not name $version"
    continue
  fi
  rc=$(x86_64-w64-mingw32-windres -i "$file" -O rc 2>/dev/null | sed -n '/ VERSIONINFO$/,/^END$/p')
  for line in " FILEVERSION $numbers" " PRODUCTVERSION $numbers" "\"FileVersion\", \"$version\"" \
              "\"ProductVersion\", \"$version\"" '"ProductName", "Zentarox USB Touchscreen"' \
              "\"OriginalFilename\", \"$name\"" "\"InternalName\", \"${name%.exe}\"" \
              '"FileDescription", "Zentarox USB Touchscreen ' '"Translation", 0x409, 1200'; do
    grep -qF -- "$line" <<< "$rc" || fail "$file: no $line"
  done
  grep -qE '"(CompanyName|LegalCopyright)"' <<< "$rc" && fail "$file names a company or copyright"
  echo "$file: $(grep -o '"FileDescription", "[^"]*"' <<< "$rc")"
done
pattern="${version//./[., ]+}"
holders=$(grep -rlE --exclude-dir=.git --exclude-dir='build*' --exclude-dir=docs --exclude-dir=tests --exclude='*.md' \
          "(^|[^0-9.])$pattern([^0-9]|$)" "$src")
echo "version $version written in: $holders"
[ "$holders" = "$src/CMakeLists.txt" ] || fail "the version must be written in CMakeLists.txt alone"
[ $status = 0 ] && echo ok
exit $status
