#!/usr/bin/env bash
# Runs the sensor source tests (readers racing the polling passes, the worker's start and stop)
# under ThreadSanitizer in build/tsan. Qt is not instrumented; tests/sensors/tsan.supp lists the
# only reports left out (QTest's watchdog thread). Usage: scripts/tsan-sensors.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
build=$root/build/tsan
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORTANE_BUILD_BENCH=OFF \
        -DCMAKE_C_FLAGS="-fsanitize=thread" -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
        -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
fi
cmake --build "$build" -j"${VORTANE_JOBS:-2}" --target TestSensorSource
export QT_QPA_PLATFORM=offscreen VORTANE_PROGRAM_DIR=$build/bin
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$root/tests/sensors/tsan.supp"
for ((i = 1; i <= runs; ++i)); do
    echo "== run $i of $runs"
    "$build/tests-bin/TestSensorSource" -silent
done
