#!/usr/bin/env bash
# Compiles the Win32-only sensor library loader with the MinGW cross compiler (syntax and types
# only; nothing is linked). Where the cross compiler is not installed it says so and exits 77 (a
# skip to CTest), or 1 under VORTANE_NO_SKIP=1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cxx=${MINGW_CXX:-x86_64-w64-mingw32-g++}
if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "check-windows-sensors: $cxx not found (Debian package g++-mingw-w64-x86-64); skipped"
    [ "${VORTANE_NO_SKIP:-0}" = 1 ] && exit 1
    exit 77
fi
for file in sensors/windows/SensorLibraryWindows.cpp; do
    echo "check-windows-sensors: $file"
    "$cxx" -std=c++17 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -I"$root" "$root/$file"
done
