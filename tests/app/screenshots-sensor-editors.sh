#!/usr/bin/env bash
# Screenshots of the screen editor's overlay editors and of the sensor tree dialog in the four
# languages under Xvfb, on the intelDesktop fixture machine.
# Usage: tests/app/screenshots-sensor-editors.sh <build folder, e.g. build/release> <output folder>
# Writes editors-<language>.png, sensor-tree-<language>.png and editors-scrolled-<language>.png (language 0 EN, 1 CN, 2 JP, 3 KR).
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
cd "$1"
./vortane-screen &
pid=$!
sleep 4
# The frame opens at 1280 x 680 at the top-left corner: the homepage's screen settings button.
xdotool mousemove 196 609 click 1; sleep 2
import -window root "$2/editors-$3.png"
# The first editor's sensor button opens the tree.
xdotool mousemove "${SELECT_X:-727}" "${SELECT_Y:-295}" click 1; sleep 2
import -window root "$2/sensor-tree-$3.png"
# Cancel, then the lower editors.
xdotool mousemove 921 502 click 1; sleep 1
xdotool mousemove 950 450 click --repeat 8 --delay 100 5; sleep 1
import -window root "$2/editors-scrolled-$3.png"
kill "$pid"; wait "$pid" || true
INNER
chmod +x "$work/shoot.sh"

for language in ${LANGUAGES:-0 1 2 3}; do
    run="$work/run$language"
    mkdir -p "$run"
    cp -r "$build"/bin/. "$run"/
    rm -f "$run"/bgConfig.ini "$run"/sensorRemark.ini
    printf '[General]\nisPrivacyPolicyAgree=1\nApplyLanguage=%s\nApplyStyleMode=0\nHwEnable0=true\nHwEnable2=true\nHwCColor2=ffffb640\n' \
        "$language" > "$run/bgConfig.ini"
    mkdir -m 700 "$run/runtime" "$run/runtime/sims"
    XDG_RUNTIME_DIR="$run/runtime" VORTANE_SIM_DIR="$run/runtime/sims" \
        xvfb-run -a -s "-screen 0 1600x1000x24" \
        "$build/tests-bin/run-on-fixture-machine" intelDesktop "$work/shoot.sh" "$run" "$out" "$language"
done
echo "written: $out/editors-*.png $out/sensor-tree-*.png $out/editors-scrolled-*.png"
