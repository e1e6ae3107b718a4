#!/bin/bash
# Lays out one release medium:  make-media.sh BINDIR OUTDIR ARCH VERSION
# OUTDIR gets our three programs from BINDIR, a note of the files that the
# driver package and the shipped extras add beside them, and SHA256SUMS over
# everything in it.  The folder is made afresh each time.
set -eu
bin=$1 out=$2 arch=$3 version=$4
rm -rf "$out"
mkdir -p "$out"
for f in Install.exe ZentaroxUsb.exe Kaplet.exe; do
  cp "$bin/$f" "$out/$f"
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
