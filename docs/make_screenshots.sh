#!/usr/bin/env bash
# Takes the README's screenshots in a virtual X display (Xvfb, xdotool and
# ImageMagick's import; scripts/setup.sh installs them with
# VEXA_SETUP_DESKTOP=1): the dialog with example inputs and the About box.
# Uses a configuration folder of its own, never the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$PWD/build/default/src/ui/vexa
[[ -x $bin ]] || { echo "build first: cmake --build --preset default" >&2; exit 1; }

tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp
mkdir -p "$XDG_CONFIG_HOME/Vexa"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=/home/user/文档/网站
fileext="*.txt;*.htm"
sub=1
renamedir=0
INI

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$bin" &
pids+=($!)
dialog=$(xdotool search --sync --name '^Korvane$' | head -1)
sleep 1
import -window "$dialog" docs/dialog.png

# About: Tab from the Start button (first in the tab order) backwards once
# reaches "关于", the last control; Space presses it.
xdotool windowfocus --sync "$dialog"
xdotool key --window "$dialog" shift+Tab space
sleep 1
about=$(xdotool search --sync --name '关于 Korvane' | head -1)
import -window "$about" docs/about.png
echo "docs/dialog.png docs/about.png written"
