#!/usr/bin/env bash
# Builds one preset (release unless named) with everything it needs and runs its test suite, then
# lists the test cases that skipped.
# Usage: scripts/test.sh [--werror] [release|debug|asan|tsan]
#   release  every suite, the Windows cross-compile checks and a short fuzzing run
#   debug    the same as release in a debug build
#   asan     every suite under the address and undefined-behaviour sanitizers
#   tsan     the suites whose code runs worker threads, under the thread sanitizer
#   --werror compiler warnings are errors
# With VORTANE_NO_SKIP=1 a case that would skip for a missing tool fails instead.
set -euo pipefail
options=()
while [ $# -gt 0 ] && [ "${1#-}" != "$1" ]; do
    options+=("$1")
    shift
done
preset=${1:-release}
root=$(cd "$(dirname "$0")/.." && pwd)
VORTANE_TEST_PACKAGES=1 "$root/scripts/setup.sh" "${options[@]}" "$preset"
cd "$root"
skips=$root/build/$preset/Testing/Temporary/skips
rm -rf "$skips"
status=0
ctest --preset "$preset" -j"${VORTANE_JOBS:-2}" || status=$?
if [ -d "$skips" ] && [ -n "$(ls -A "$skips")" ]; then
    echo
    echo "Skipped test cases:"
    for file in "$skips"/*; do
        sed 's/^/  /' "$file"
    done
fi
exit "$status"
