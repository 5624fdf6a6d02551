#!/usr/bin/env bash
# Builds the program and starts it, with a simulated screen beside it whose window shows the
# frames the program streams. Extra arguments go to the program (for example "min").
# VORTANE_NO_SIM=1 starts the program alone (a real cooler is plugged in).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" release
bin="$root/build/release/bin"

if [ "${VORTANE_NO_SIM:-0}" != 1 ]; then
    "$bin/vortane-screen-sim" >/dev/null &
    sim_pid=$!
    # The simulated screen goes when the program does, however it ends.
    trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
fi
"$bin/vortane-screen" "$@"
