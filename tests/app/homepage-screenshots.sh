#!/usr/bin/env bash
# Screenshots of the homepage on fixture machines (in °C and °F, and without a board sensor chip)
# and of the homepage and the settings page in the four languages, taken by TestHomepage under Xvfb.
# Usage: tests/app/homepage-screenshots.sh <build folder, e.g. build/release> <output folder>
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
VORTANE_SHOTS_DIR="$out" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests-bin/TestHomepage"
ls "$out"/*.png
