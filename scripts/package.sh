#!/usr/bin/env bash
# Builds the Debian package of the program: build/package/vortane-screen_<version>_<arch>.deb.
# Install it with `sudo apt install ./build/package/vortane-screen_*.deb`; apt updates and removes it
# like any other package. Installs what the build needs first (scripts/setup.sh), builds a release
# without the tests and benchmarks in build/package/, and packs what `cmake --install` installs
# into /usr with CPack, which computes the run-time dependencies with dpkg-shlibdeps.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/package
VORTANE_PACKAGING=1 "$root/scripts/setup.sh" --packages-only
# Debian's hardening flags (fortified functions, stack protector, read-only relocations bound now).
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTANE_BUILD_TESTS=OFF \
    -DVORTANE_BUILD_BENCH=OFF -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j"${VORTANE_JOBS:-2}"
rm -f "$build"/vortane-screen_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
rm -rf "$build/_CPack_Packages"
ls "$build"/vortane-screen_*.deb
