#!/bin/bash
# A Debian 13 chroot with Wine 10, whose 64-bit loader also runs 32-bit
# Windows programs ("new WoW64": 32-bit Windows code in a 64-bit Linux
# process, where the kernel lets a process execute 32-bit code at all), for
# the second Wine release and the tests of the x86 programs.
#
#   wine10-chroot.sh                     make the chroot if it is missing
#   wine10-chroot.sh COMMAND [ARG]...    run COMMAND inside it, as root, in this
#                                        checkout (bound at the same path, as
#                                        are the folders in ZX_WINE10_BIND)
#
# The chroot is made once per machine (debootstrap, Wine and the X libraries it
# loads, then the 32-bit Windows DLLs of the same Wine version unpacked beside
# the 64-bit ones: installing libwine:i386 would pull in the 32-bit Linux half,
# which this kernel cannot start) and kept at ZX_WINE10_ROOT (default
# /var/cache/zentarox/trixie).  Everything runs in a mount namespace of its own
# with private propagation, so nothing mounted here shows on the host or in a
# parallel run, and every mount is undone on the way out, also on failure.
# ZX_DEBIAN_MIRROR overrides the mirror taken from this machine's apt sources.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
target=${ZX_WINE10_ROOT:-/var/cache/zentarox/trixie}
# Bump when the recipe below changes: a chroot made by an older one is made anew.
recipe=1

if [ -z "${ZX_WINE10_NS:-}" ]; then
  export ZX_WINE10_NS=1
  exec unshare --mount --propagation private "$0" "$@"
fi

mounted=()
undo_mounts() {
  local i
  for (( i = ${#mounted[@]} - 1; i >= 0; i-- )); do
    umount -R "${mounted[$i]}" 2>/dev/null || umount -lR "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
trap undo_mounts EXIT
trap 'exit 143' TERM INT

# proc, sys and dev for apt, Wine and Xvfb; resolv.conf for apt.
enter() {
  local dir=$1
  mount -t proc proc "$dir/proc"; mounted+=("$dir/proc")
  mount --rbind /sys "$dir/sys"; mounted+=("$dir/sys"); mount --make-rslave "$dir/sys"
  mount --rbind /dev "$dir/dev"; mounted+=("$dir/dev"); mount --make-rslave "$dir/dev"
  cp -L /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
}

# A clean environment but for the project's own ZX_ settings.
inside() {
  local dir=$1 name settings=(); shift
  for name in $(compgen -e | grep '^ZX_' | grep -v '^ZX_WINE10_NS$'); do settings+=("$name=${!name}"); done
  chroot "$dir" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive CI="${CI:-}" "${settings[@]}" "$@"
}

# The Debian mirror this machine's apt uses for its own release.
debian_mirror() {
  if [ -n "${ZX_DEBIAN_MIRROR:-}" ]; then echo "$ZX_DEBIAN_MIRROR"; return; fi
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # One-line entries ("deb [options] URI SUITE ...") and deb822 paragraphs
  # ("URIs:" and "Suites:" lines) alike.
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    awk -v suite="$codename" '
      /^deb / { sub(/\[[^]]*\] */, ""); if ($3 == suite) { print $2; exit } }
      /^[[:space:]]*$/ { if (uris != "" && (" " suites " ") ~ (" " suite " ")) { print uris; exit } uris = ""; suites = "" }
      /^URIs:/ { uris = $2 }
      /^Suites:/ { $1 = ""; suites = $0 }
      END { if (uris != "" && (" " suites " ") ~ (" " suite " ")) print uris }' | head -1
}

make_chroot() {
  local new=$target.new mirror version
  mirror=$(debian_mirror)
  mirror=${mirror:-http://deb.debian.org/debian}
  echo "wine10-chroot: making $target from $mirror (about a minute)"
  if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap >/dev/null ||
      { apt-get update -q >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap >/dev/null; }
  fi
  rm -rf "$new"
  mkdir -p "$(dirname "$target")"
  debootstrap --variant=minbase trixie "$new" "$mirror" >"$target.log" 2>&1 ||
    { tail -20 "$target.log"; echo "wine10-chroot: debootstrap failed" >&2; return 1; }
  enter "$new"
  # Wine and what it loads under Xvfb; the project's own install-deps.sh adds
  # the compilers and the rest at the first run.
  inside "$new" apt-get update -q >>"$target.log" 2>&1
  inside "$new" apt-get install -y -q --no-install-recommends \
    wine wine64 fonts-wine xvfb xauth x11-utils imagemagick \
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1 >>"$target.log" 2>&1
  # The 32-bit Windows DLLs of exactly this Wine, unpacked, not installed.
  version=$(inside "$new" dpkg-query -W -f '${Version}' libwine)
  inside "$new" dpkg --add-architecture i386
  inside "$new" apt-get update -q >>"$target.log" 2>&1
  inside "$new" sh -c "cd /tmp && apt-get download 'libwine:i386=$version' && dpkg-deb -x libwine_*_i386.deb /tmp/libwine32 &&
    cp -a /tmp/libwine32/usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/ &&
    rm -rf /tmp/libwine32 /tmp/libwine_*_i386.deb && apt-get clean" >>"$target.log" 2>&1
  inside "$new" /usr/lib/wine/wine64 --version
  undo_mounts
  echo "$recipe $version" >"$new/etc/zentarox-wine10"
  rm -rf "$target"
  mv "$new" "$target"
}

# One maker at a time; a second caller finds the chroot ready.
mkdir -p "$(dirname "$target")"
exec 7>"$target.lock"
flock 7
if [ "$(cut -d' ' -f1 "$target/etc/zentarox-wine10" 2>/dev/null)" != "$recipe" ]; then
  start=$(date +%s)
  make_chroot
  echo "wine10-chroot: made in $(( $(date +%s) - start )) s, $(du -sh "$target" | cut -f1) on disk"
fi
flock -u 7

[ $# -eq 0 ] && exit 0
enter "$target"
for dir in "$root" ${ZX_WINE10_BIND:-}; do
  mkdir -p "$target$dir"
  mount --bind "$dir" "$target$dir"
  mounted+=("$target$dir")
done
status=0
inside "$target" sh -c 'cd "$1" && shift && exec "$@"' sh "$root" "$@" || status=$?
exit $status
