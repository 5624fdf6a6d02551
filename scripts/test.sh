#!/usr/bin/env bash
# Builds one preset (release unless named) with everything it needs and runs the whole test suite.
# Usage: scripts/test.sh [release|debug|asan]
set -euo pipefail
preset=${1:-release}
root=$(cd "$(dirname "$0")/.." && pwd)
VORTANE_TEST_PACKAGES=1 "$root/scripts/setup.sh" "$preset"
cd "$root"
ctest --preset "$preset" -j"${VORTANE_JOBS:-2}"
