#!/bin/bash
# Installs what building and testing need on Debian 12 (run as root):
# the MinGW-w64 cross compilers (posix thread model), CMake, GoogleTest's
# sources, Wine (64-bit), Xvfb, ImageMagick, and OpenSSL and osslsigncode
# (signing the media's programs).  Packages already present are not fetched
# again.
set -eu
packages=(
  cmake make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-common mingw-w64-x86-64-dev mingw-w64-i686-dev
  googletest
  wine wine64
  xvfb xauth x11-utils imagemagick python3
  openssl osslsigncode
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
