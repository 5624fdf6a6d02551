#!/usr/bin/env bash
# Screenshots of the screen editor under Xvfb with the sensor overlays on, and on each clock page,
# with what the simulated screen received beside each.
# Usage: tests/app/screenshots-screen-editor.sh <program folder, e.g. build/release/bin> <output folder>
# Writes editor-overlays.png, editor-overlays-portrait.png, editor-clock-digital.png,
# editor-clock-analog.png and screen-<same>.jpg. Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

overlays='HwEnable0=true
HwEnable1=true
HwEnable2=true
HwEnable3=true
HwCColor1=ff49c6ff
HwCColor2=ffffb640'

shoot() { # name, extra settings
    local name=$1 extra=$2 run="$work/$1"
    mkdir -p "$run"
    cp -r "$bin"/. "$run"/
    rm -f "$run"/bgConfig.ini "$run"/sensorRemark.ini
    printf '[General]\nisPrivacyPolicyAgree=1\nApplyLanguage=0\n%s\n' "$extra" > "$run/bgConfig.ini"
    mkdir -m 700 "$run/runtime" "$run/runtime/sims"
    cat > "$run/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
cd "$1"
./vortane-screen-sim --headless --name shots --dump "$1/dump" >/dev/null 2>&1 &
sim=$!
sleep 1
./vortane-screen &
pid=$!
sleep 4
# The frame opens at 1280 x 680 at the top-left corner: the homepage's screen settings button.
xdotool mousemove 196 609 click 1; sleep 2
import -window root "$2/editor-$3.png"
cp "$1/dump/latest.jpg" "$2/screen-$3.jpg" 2>/dev/null || true
kill "$pid"; wait "$pid" || true
kill "$sim"; wait "$sim" || true
INNER
    chmod +x "$run/shoot.sh"
    XDG_RUNTIME_DIR="$run/runtime" VORTANE_SIM_DIR="$run/runtime/sims" \
        xvfb-run -a -s "-screen 0 1600x1000x24" "$run/shoot.sh" "$run" "$out" "$name"
}

shoot overlays "ApplyStyleMode=0
$overlays"
shoot overlays-portrait "ApplyStyleMode=0
ApplyBgID=1
$overlays"
shoot clock-digital "ApplyStyleMode=1"
shoot clock-analog "ApplyStyleMode=2"
echo "written: $out/editor-*.png $out/screen-*.jpg"
