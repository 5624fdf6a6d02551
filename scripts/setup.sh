#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (only those missing),
# then configures and builds one preset. Debian 12 is the reference; Debian 13 works too.
# Usage: scripts/setup.sh [--werror] [--packages-only] [release|debug|asan|tsan]
#   --werror         compiler warnings are errors (VORTANE_WERROR; continuous integration uses it)
#   --packages-only  install the packages and stop
# VORTANE_TEST_PACKAGES=1 adds the packages the tests use, VORTANE_PACKAGING=1 those that build the
# Debian package (scripts/package.sh).
set -euo pipefail
werror=OFF
packages_only=0
while [ $# -gt 0 ]; do
    case $1 in
    --werror) werror=ON ;;
    --packages-only) packages_only=1 ;;
    -*)
        echo "setup.sh: unknown option $1" >&2
        exit 2
        ;;
    *) break ;;
    esac
    shift
done
preset=${1:-release}
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config
    # Qt 5.15 with Svg, Test and the translation tools; the JPEG plug-in is part of libqt5gui5
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5svg5-dev
    # FFmpeg 5.1 (demux, decode, H.264 encode, scaling) and libusb
    libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libusb-1.0-0-dev
    # the open fonts embedded as the program's fonts, and CJK text
    fonts-inter fonts-roboto-unhinted fonts-noto-cjk
)
# The release's own clang: its sanitizer and fuzzer runtime package carries the major version.
clang_major() {
    case $(. /etc/os-release && echo "${VERSION_CODENAME:-}") in
    bookworm) echo 14 ;;
    trixie) echo 19 ;;
    *) apt-cache depends clang 2>/dev/null | sed -n 's/.*Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1 ;;
    esac
}
if [ "${VORTANE_PACKAGING:-0}" = 1 ] || [ "${VORTANE_TEST_PACKAGES:-0}" = 1 ]; then
    # dpkg-shlibdeps, which computes the package's dependencies
    packages+=(dpkg-dev)
fi
if [ "${VORTANE_TEST_PACKAGES:-0}" = 1 ]; then
    packages+=(
        # emulated USB device for the libusb backend tests
        umockdev libumockdev-dev
        # reference tools measured beside the benchmarks, the sanitizer and fuzzer runtime
        ffmpeg libjpeg-turbo-progs clang "libclang-rt-$(clang_major)-dev"
        # validation of the desktop and AppStream files, the Windows cross compiler for the Win32-only files
        desktop-file-utils appstream g++-mingw-w64-x86-64
        # a real X server for the window tests, and screenshots of it (tests/app/screenshots.sh)
        xvfb xauth xdotool imagemagick
        # a second INI reader in the settings tests, the fuzzer's seed corpus; the source format check
        python3 clang-format
        # the package test: lintian, and an installation into a root of its own without being root;
        # a fresh Debian root for scripts/check-debian13.sh
        lintian fakeroot debootstrap
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$packages_only" = 1 ] && exit 0

cd "$root"
# Passed on every configure, so the cache always holds what this call asked for.
cmake --preset "$preset" -DVORTANE_WERROR="$werror" >/dev/null
cmake --build --preset "$preset" -j"${VORTANE_JOBS:-2}"
