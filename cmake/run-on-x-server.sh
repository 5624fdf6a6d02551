#!/usr/bin/env bash
# Runs a test program on a real X server: a private Xvfb started by xvfb-run, with Qt's xcb
# platform, so window sizes, fonts, stacking and input go through X as on a user's desktop.
# Usage: run-on-x-server.sh <command...>
# Without xvfb-run the run is skipped (exit code 77), unless VORTANE_NO_SKIP=1 says every tool must
# be there.
set -u
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "run-on-x-server: xvfb-run is missing (Debian package xvfb)"
    [ "${VORTANE_NO_SKIP:-0}" = 1 ] && exit 1
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1920x1080x24" env QT_QPA_PLATFORM=xcb "$@"
