#!/usr/bin/env bash
# Screenshots of the crop-and-scale dialog under Xvfb: a still (landscape, and portrait turned once),
# a GIF and a video, with the crop moved and resized, the picture moved and zoomed and the timeline
# trimmed.
# With a language (CN, JP, KR) the dialog is shown in that translation, from the build's
# bin/Translator folder.
# Usage: tests/media/scale-dialog-shots.sh <build folder, e.g. build/release> <output folder> [<language>]
# Needs xvfb-run.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
args=("$out")
if (($# > 2)); then
    args+=("$build/bin/Translator/Translate_$3.qm")
fi
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests-bin/scale-dialog-shots" "${args[@]}"
