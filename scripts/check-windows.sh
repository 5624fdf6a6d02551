#!/usr/bin/env bash
# Compiles the Win32-only sources (no Qt) with the MinGW cross compiler, so the Windows backends
# keep building while development happens on Linux. Where the cross compiler is missing it says so
# and exits 77 (a skip to CTest), or 1 under VORTANE_NO_SKIP=1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cxx=${MINGW_CXX:-x86_64-w64-mingw32-g++}
if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "check-windows: $cxx not found (Debian package g++-mingw-w64-x86-64); skipped"
    [ "${VORTANE_NO_SKIP:-0}" = 1 ] && exit 1
    exit 77
fi
sources=(
    device/windows/WinUsbAccess.cpp
    device/DevicePathRules.cpp
    device/Packets.cpp
)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
objects=()
for source in "${sources[@]}"; do
    echo "check-windows: $source"
    object="$out/$(basename "$source" .cpp).o"
    "$cxx" -std=c++17 -Wall -Wextra -Wpedantic -Werror -c -I"$root" "$root/$source" -o "$object"
    objects+=("$object")
done
# Linking a small driver proves every Win32 entry point used exists in the import libraries.
cat >"$out/driver.cpp" <<'DRIVER'
#include "device/windows/WinUsbAccess.h"
int main()
{
    WinUsbAccess::Link link;
    std::uint8_t buffer[WinUsbAccess::kMaxReadSize];
    const auto keepGoing = [] { return false; };
    int n = static_cast<int>(WinUsbAccess::enumerate().size());
    if (link.open(L"\\\\?\\NONE"))
        n += link.write(buffer, 1, keepGoing) + link.read(buffer, keepGoing);
    n += WinUsbAccess::registerNotifications(nullptr) + WinUsbAccess::deviceChangeKind(nullptr);
    return n;
}
DRIVER
"$cxx" -std=c++17 -Wall -Wextra -Werror -I"$root" "$out/driver.cpp" "${objects[@]}" -lsetupapi -lwinusb \
    -static -o "$out/driver.exe"
echo "check-windows: Win32 sources compile and link"
