#!/usr/bin/env bash
# Screenshots of the three pages under Xvfb: homepage, screen editor, settings page.
# Usage: tests/app/screenshots.sh <program folder, e.g. build/debug/bin> <output folder> [language 0-3]
# Needs xvfb-run, xdotool and ImageMagick's import (VORTANE_TEST_PACKAGES in scripts/setup.sh).
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
language=${3:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
rm -f "$work"/bgConfig.ini "$work"/sensorRemark.ini
printf '[General]\nisPrivacyPolicyAgree=1\nApplyLanguage=%s\n' "$language" > "$work/bgConfig.ini"
mkdir -m 700 "$work/runtime" "$work/runtime/sims"

cat > "$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
cd "$1"
./vortane-screen &
pid=$!
sleep 4
import -window root "$2/homepage.png"
# The frame opens at 1280 x 680 at the top-left corner: the homepage button, then the gear.
xdotool mousemove 196 609 click 1; sleep 1.5
import -window root "$2/screen-editor.png"
xdotool mousemove 1240 60 click 1; sleep 1.5
import -window root "$2/settings.png"
kill "$pid"; wait "$pid" || true
INNER
chmod +x "$work/shoot.sh"
XDG_RUNTIME_DIR="$work/runtime" VORTANE_SIM_DIR="$work/runtime/sims" \
    xvfb-run -a -s "-screen 0 1600x1000x24" "$work/shoot.sh" "$work" "$out"
echo "written: $out/homepage.png $out/screen-editor.png $out/settings.png"
