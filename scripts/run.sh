#!/usr/bin/env bash
# Builds the program and starts it. Extra arguments go to the program (for example "min").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" release
bin="$root/build/release/bin"
exec "$bin/vortane-screen" "$@"
