#!/bin/bash
# Signing, proved with a throwaway self-signed certificate:
#   check-signing.sh SOURCE BUILD VERSION
# The unsigned medium holds the programs as built; a medium laid out with a
# certificate and key holds programs whose signatures verify against it and
# whose checksums are those of the signed files; one changed byte fails the
# verification; and the whole road (installation, calibration, right-button
# tool, removal) runs from the signed medium under Wine.
set -u
src=$1 build=$2 version=$3
status=0
fail() { echo "FAIL: $*"; status=1; }
work=$(mktemp -d /tmp/zx-sign.XXXXXX)
trap 'rm -rf "$work"' EXIT
for f in Install.exe ZentaroxUsb.exe Kaplet.exe; do
  cmp -s "$build/bin/$f" "$build/media/x64/$f" || fail "unsigned medium's $f is not the program as built"
done

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
"$src/scripts/make-media.sh" "$build/bin" "$work/x64" x64 "$version" "$work/cert.pem" "$work/key.pem" ||
  { echo "FAIL: signed medium not made"; exit 1; }
for f in Install.exe ZentaroxUsb.exe Kaplet.exe; do
  echo "== osslsigncode verify $f"
  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/x64/$f" > "$work/verify" 2>&1 || fail "$f does not verify"
  grep -E '^(Message digest algorithm  :|Signature verification|Succeeded|Failed)|Subject' "$work/verify" | sort -u
done
(cd "$work/x64" && sha256sum -c SHA256SUMS) || fail "SHA256SUMS is not that of the signed medium"

# One byte of the program code (offset 1100, inside .text) flipped.
cp "$work/x64/Kaplet.exe" "$work/changed.exe"
byte=$(od -An -tu1 -j1100 -N1 "$work/changed.exe" | tr -d ' ')
printf "\\$(printf %03o $((byte ^ 255)))" | dd of="$work/changed.exe" bs=1 seek=1100 conv=notrunc 2>/dev/null
echo "== osslsigncode verify Kaplet.exe with byte 1100 changed"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed.exe" > "$work/verify" 2>&1 && fail "a changed program still verifies"
grep -E 'MISMATCH|^Failed' "$work/verify"

echo "== the road from the signed medium under Wine"
mkdir "$work/shots"
ZX_MEDIUM="Z:${work//\//\\}\\x64" ZX_BENCH_DIR=$build/bench ZX_RUN_TIMEOUT=300 \
  "$src/tests/bench/winerun" "$build/bin/road_demo.exe" "Z:${work//\//\\}\\shots" > "$work/road" 2>&1 ||
  fail "road_demo ended with $?"
for line in 'TopLeftOffsetX      REG_DWORD 291' 'BottomRightOffsetY  REG_DWORD 3781' \
            'the driver was sent right-button mode on' 'registration key:     gone'; do
  grep -F -- "$line" "$work/road" || fail "the road from the signed medium shows no '$line'"
done
[ $status = 0 ] && echo ok || cat "$work/road"
exit $status
