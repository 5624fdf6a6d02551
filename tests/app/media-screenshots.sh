#!/usr/bin/env bash
# Screenshots of the media library under Xvfb: the homepage and the screen editor with a full strip
# (the four default items and 15 user items per orientation), once with a landscape item applied
# and once with a portrait one.
# Usage: tests/app/media-screenshots.sh <program folder, e.g. build/release/bin> <output folder>
# Needs xvfb-run, xdotool and ImageMagick (convert, import).
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
rm -f "$work"/bgConfig.ini "$work"/sensorRemark.ini
mkdir -p "$work/Background"
mkdir -m 700 "$work/runtime" "$work/runtime/sims"

# 15 landscape and 15 portrait pictures in distinct colours, stored at slots 4..33.
settings() {
    local applied=$1
    printf '[General]\nisPrivacyPolicyAgree=1\nApplyBgID=%s\nApplyBgCycleMode=1\nbgMaxCount=34\n' "$applied"
    for i in $(seq 0 29); do
        local slot=$((i + 4))
        if ((i % 2 == 0)); then w=800 h=480 cw=400 ch=240; else w=480 h=800 cw=240 ch=400; fi
        printf 'bgPath%s=shot%s.png\nbgScaleW%s=%s\nbgScaleH%s=%s\nbgScaleCW%s=%s\nbgScaleCH%s=%s\nbgScaleRt%s=1\n' \
            "$slot" "$i" "$slot" "$w" "$slot" "$h" "$slot" "$cw" "$slot" "$ch" "$slot"
    done
}
font=$(fc-match -f '%{file}' 'Roboto:bold')
for i in $(seq 0 29); do
    if ((i % 2 == 0)); then size=400x240; else size=240x400; fi
    hue=$((i * 12))
    convert -size "$size" "gradient:hsl($hue,80%,55%)-hsl($(((hue + 120) % 360)),70%,25%)" \
        -font "$font" -gravity center -pointsize 48 -fill white -annotate 0 "$i" "$work/Background/shot$i.png"
done

cat > "$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
cd "$1"
./vortane-screen &
pid=$!
sleep 5
import -window root "$2/$3-homepage.png"
# The frame opens at 1280 x 680 at the top-left corner: the homepage's screen settings button.
xdotool mousemove 196 609 click 1; sleep 2
import -window root "$2/$3-screen-editor.png"
kill "$pid"; wait "$pid" || true
INNER
chmod +x "$work/shoot.sh"
for case in landscape:4 portrait:5; do
    name=${case%%:*}
    settings "${case##*:}" > "$work/bgConfig.ini"
    XDG_RUNTIME_DIR="$work/runtime" VORTANE_SIM_DIR="$work/runtime/sims" \
        xvfb-run -a -s "-screen 0 1600x1000x24" "$work/shoot.sh" "$work" "$out" "$name"
done
echo "written: $out/{landscape,portrait}-{homepage,screen-editor}.png"
