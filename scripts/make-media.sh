#!/bin/bash
# Lays out one release medium:
#   make-media.sh BINDIR OUTDIR ARCH VERSION [CERT KEY]
# OUTDIR gets our three programs from BINDIR, a note of the files that the
# driver package and the shipped extras add beside them, and SHA256SUMS over
# everything in it.  The folder is made afresh each time.
# With CERT and KEY (the signer's certificate, or chain, and private key, PEM
# or DER) the three programs are Authenticode-signed (SHA-256) on the way in,
# so the checksums are those of the signed files; without them the programs
# are copied unchanged.
set -eu
bin=$1 out=$2 arch=$3 version=$4 cert=${5:-} key=${6:-}
if [ -n "$cert$key" ] && { [ ! -f "$cert" ] || [ ! -f "$key" ]; }; then
  echo "make-media.sh: signing needs both a certificate and a key file (got '$cert', '$key')" >&2
  exit 1
fi
rm -rf "$out"
mkdir -p "$out"
for f in Install.exe ZentaroxUsb.exe Kaplet.exe; do
  if [ -n "$cert" ]; then
    osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Zentarox USB Touchscreen" \
      -in "$bin/$f" -out "$out/$f" >/dev/null
  else
    cp "$bin/$f" "$out/$f"
  fi
done
case $arch in
  x64) windows="the 64-bit editions of Windows" ;;
  x86) windows="the 32-bit editions of Windows" ;;
esac
cat > "$out/ADD-FILES.txt" <<TEXT
Zentarox USB Touchscreen $version, $arch medium, for $windows.

This folder holds the setup program (Install.exe), the calibration program
(ZentaroxUsb.exe) and the right-button tool (Kaplet.exe). Before it is
handed out, the driver package and the shipped extras must be added beside
them, under exactly these names; Install.exe copies all ten files and stops
with "Setup file fail(2:N)." when one is missing:

  ZentaroxUsb.cpl    control-panel applet
  Velqar.sys         touch driver
  Velqar.inf         driver package INF
  ZentaroxUsb.chm    help file
  Velqar.exe         driver installer
  Write.exe          handwriting demo
  ReadMe.txt         read-me

SHA256SUMS covers the files of this folder as built; add the checksums of
the added files when they are added.
TEXT
# Windows line ends: the note is read on Windows.
sed -i 's/$/\r/' "$out/ADD-FILES.txt"
# sha256sum -c passes over lines that start with "#".
(cd "$out" && { echo "# Zentarox USB Touchscreen $version, $arch medium"
  sha256sum Install.exe ZentaroxUsb.exe Kaplet.exe ADD-FILES.txt; } > SHA256SUMS)
