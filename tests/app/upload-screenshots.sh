#!/usr/bin/env bash
# Screenshots of a video upload under Xvfb: the file dialog of the media strip's "+", the crop dialog, the progress
# dialog while a 20 s 1080p clip is transcoded, and the screen editor once the clip is applied.
# Usage: tests/app/upload-screenshots.sh <program folder, e.g. build/release/bin> <output folder>
# Needs xvfb-run, xdotool, ImageMagick (import) and ffmpeg.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog"
cp -r "$bin"/. "$work/prog"/
rm -rf "$work/prog/bgConfig.ini" "$work/prog/sensorRemark.ini" "$work/prog/Background"
printf '[General]\nisPrivacyPolicyAgree=1\n' > "$work/prog/bgConfig.ini"
mkdir -m 700 "$work/runtime" "$work/runtime/sims"
ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=20 -c:v libx264 -preset veryfast \
    -b:v 8M -pix_fmt yuv420p "$work/clip1080.mp4"

cat > "$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
cd "$1/prog"
./vortane-screen &
pid=$!
sleep 5
# The frame opens at 1280 x 680 at the top-left corner: screen settings, then the strip's "+".
xdotool mousemove 196 609 click 1; sleep 2
xdotool mousemove 96 218 click 1; sleep 2
import -window root "$2/upload-file-dialog.png"
xdotool type --delay 20 "$1/clip1080.mp4"; sleep 0.5
xdotool key Return; sleep 12
import -window root "$2/upload-crop-dialog.png"
xdotool mousemove 789 502 click 1; sleep 3
import -window root "$2/upload-progress.png"
sleep 25
import -window root "$2/upload-applied.png"
kill "$pid"; wait "$pid" || true
INNER
chmod +x "$work/shoot.sh"
XDG_RUNTIME_DIR="$work/runtime" VORTANE_SIM_DIR="$work/runtime/sims" \
    xvfb-run -a -s "-screen 0 1600x1000x24" "$work/shoot.sh" "$work" "$out"
echo "written: $out/upload-{file-dialog,crop-dialog,progress,applied}.png"
