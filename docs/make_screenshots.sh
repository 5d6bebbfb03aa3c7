#!/usr/bin/env bash
# Takes the README's screenshots in a virtual X display (Xvfb, xdotool and
# ImageMagick's import; scripts/setup.sh installs them with
# VEXA_SETUP_DESKTOP=1): the dialog with example inputs, the About box and the help window.
# Uses a configuration folder of its own, never the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb_display.sh
bin=$PWD/build/default/src/ui/vexa
[[ -x $bin ]] || { echo "build first: cmake --build --preset default" >&2; exit 1; }

begin_xvfb_session

export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp
mkdir -p "$XDG_CONFIG_HOME/Vexa"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=/home/user/文档/网站
fileext="*.txt;*.htm"
sub=1
renamedir=0
INI

start_xvfb "$tmp" 1280x900

"$bin" &
pids+=($!)
dialog=$(xdotool search --sync --name '^Korvane$' | head -1)
sleep 1
import -window "$dialog" docs/dialog.png

# About: Tab from the Start button (first in the tab order) backwards once
# reaches "关于", the last control; Space presses it.
xdotool windowfocus --sync "$dialog"
xdotool key shift+Tab space
sleep 1
about=$(xdotool search --sync --onlyvisible --name '^关于 Korvane$' | head -1)
import -window "$about" docs/about.png
xdotool windowfocus --sync "$about"
xdotool key Escape

# Help: F1 anywhere in the dialog.
xdotool windowfocus --sync "$dialog"
xdotool key F1
sleep 1
help=$(xdotool search --sync --onlyvisible --name '^Korvane 帮助$' | head -1)
import -window "$help" docs/help.png
echo "docs/dialog.png docs/about.png docs/help.png written"
