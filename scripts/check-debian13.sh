#!/usr/bin/env bash
# Builds the tree and runs its whole test suite in a fresh Debian 13 (trixie) root, as a user of that
# release would: debootstrap from Debian's archive, the release's own packages through
# scripts/setup.sh (Qt 5.15, FFmpeg 7.1, GCC 14, its own clang), the release preset with warnings
# as errors, CTest. Slow (a root of a few GB and a whole build), so it is not part of CI.
# Usage, as root: scripts/check-debian13.sh [--prepare-only] [--fresh] [--no-werror] [ROOT]
#   ROOT            the folder of the root (default build/debian13-root); an existing one is reused
#   --prepare-only  make the root and install the packages, then stop
#   --fresh         remove an existing ROOT first
#   --no-werror     compiler warnings do not fail the build
# The archive is Debian's as this machine's apt sources name it; VORTANE_DEBIAN_MIRROR overrides it.
# The build runs at the lowest priority with VORTANE_JOBS (default 2) jobs.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
prepare_only=0
fresh=0
werror=(--werror)
while [ $# -gt 0 ] && [ "${1#-}" != "$1" ]; do
    case $1 in
    --prepare-only) prepare_only=1 ;;
    --fresh) fresh=1 ;;
    --no-werror) werror=() ;;
    *)
        echo "check-debian13: unknown option $1" >&2
        exit 2
        ;;
    esac
    shift
done
target=$(realpath -m "${1:-$repo/build/debian13-root}")
suite=trixie
jobs=${VORTANE_JOBS:-2}

if [ "$(id -u)" -ne 0 ]; then
    echo "check-debian13: debootstrap and chroot need root" >&2
    exit 2
fi
command -v debootstrap >/dev/null || {
    echo "check-debian13: debootstrap is missing (Debian package debootstrap)" >&2
    exit 2
}

mirror=${VORTANE_DEBIAN_MIRROR:-}
if [ -z "$mirror" ]; then
    mirror=$(sed -n 's|^URIs:[[:space:]]*\(http[^[:space:]]*/debian\)/\{0,1\}[[:space:]]*$|\1|p' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
fi
if [ -z "$mirror" ]; then
    mirror=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
fi
mirror=${mirror:-http://deb.debian.org/debian}

# Nothing may stay mounted inside the root when the script ends, nor when a root is removed.
mounted() { findmnt -rn -o TARGET | grep -q -F -x -e "$target/proc" -e "$target/sys" -e "$target/dev" \
    -e "$target/dev/pts" -e "$target/dev/shm"; }
unmount_all() {
    for point in dev/shm dev/pts dev sys proc; do
        if findmnt -rn -o TARGET | grep -q -F -x "$target/$point"; then
            umount "$target/$point" 2>/dev/null || umount -l "$target/$point"
        fi
    done
}
trap unmount_all EXIT

if [ "$fresh" = 1 ] && [ -e "$target" ]; then
    unmount_all
    if mounted; then
        echo "check-debian13: something is still mounted in $target; not removing it" >&2
        exit 1
    fi
    rm -rf --one-file-system "$target"
fi

if [ ! -x "$target/usr/bin/apt-get" ]; then
    echo "== debootstrap $suite from $mirror into $target"
    mkdir -p "$target"
    nice -n 19 debootstrap --variant=minbase --include=ca-certificates,git "$suite" "$target" "$mirror"
fi
cp -L /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null || true

mount -t proc proc "$target/proc"
mount -t sysfs -o ro sysfs "$target/sys"
mount --bind /dev "$target/dev"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$target/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$target/dev/shm"

# The tree as it is now: tracked files and new ones that git does not ignore, without build folders.
src=$target/src/vortane-screen
rm -rf "$src"
mkdir -p "$src"
git -C "$repo" ls-files -z --cached --others --exclude-standard |
    tar -C "$repo" --null -T - -cf - | tar -C "$src" -xf -

in_root() {
    chroot "$target" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 TERM=dumb \
        DEBIAN_FRONTEND=noninteractive VORTANE_JOBS="$jobs" VORTANE_TEST_PACKAGES=1 \
        bash -c "cd /src/vortane-screen && $1"
}

echo "== packages of Debian 13 for the build and the tests"
in_root "nice -n 19 ./scripts/setup.sh --packages-only"
in_root "printf 'Debian %s, Qt %s, FFmpeg libavcodec %s, %s\n' \"\$(cat /etc/debian_version)\" \
    \"\$(dpkg-query -W -f='\${Version}' qtbase5-dev)\" \"\$(dpkg-query -W -f='\${Version}' libavcodec-dev)\" \
    \"\$(g++ --version | head -n 1)\""
[ "$prepare_only" = 1 ] && exit 0

echo "== build and test suite"
status=0
in_root "nice -n 19 ./scripts/test.sh ${werror[*]} release" || status=$?
echo "== Debian 13: scripts/test.sh exited with $status"
exit "$status"
