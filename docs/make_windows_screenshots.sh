#!/usr/bin/env bash
# Takes the README's screenshots of the Windows program under wine in a
# virtual X display, in a wine prefix of its own (code page 936, from the
# zh_CN.UTF-8 locale): the About box, the results window of a preview, the
# confirmation before a run, the dialog with example inputs after that run,
# and the help window.
# Usage: docs/make_windows_screenshots.sh [path/to/vexa.exe]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine_display.sh

# Example inputs: a folder that exists, one rule, the settings as UTF-16.
app="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vexa"
mkdir -p "$app" "$WINEPREFIX/drive_c/文档/网站"
printf 'colour`color\r\n' >"$app/vexa_文本替换规则.txt"
for name in index.htm about.htm notes.txt; do
    printf 'colour\r\n' >"$WINEPREFIX/drive_c/文档/网站/$name"
done
{
    printf '\xff\xfe'
    printf '[General]\r\npathuser="C:\\文档\\网站"\r\nfileext="*.txt;*.htm"\r\nsub=1\r\nrenamedir=0\r\n' |
        iconv -f UTF-8 -t UTF-16LE
} >"$app/vexa.ini"

open_dialog 120

# 关于 is two Shift+Tab back from 开始, which has the focus (结果 is still disabled).
xdotool key shift+Tab shift+Tab space
about=$(timeout 10 xdotool search --sync --onlyvisible --name '^关于 Korvane$' | head -1)
sleep 1
import -window "$about" "docs/win-about.png"
xdotool key Return
sleep 0.5

# 预览, the next in the tab order, opens the results window; a click on
# the first row shows its differences; Escape hides the window again.
xdotool windowfocus --sync "$dialog"
xdotool key Tab space
results=$(timeout 20 xdotool search --sync --onlyvisible --name '^结果 - Korvane$' | head -1)
sleep 2
xdotool mousemove --window "$results" 150 165 click 1
sleep 1
import -window "$results" "docs/win-preview.png"
xdotool key Escape
sleep 0.5

# 开始, clicked where it is at 96 dpi, asks before it runs.
xdotool windowfocus --sync "$dialog"
xdotool mousemove --window "$dialog" 503 348 click 1
sleep 1
confirm=$(xdotool search --onlyvisible --name '^Korvane$' | grep -vx "$dialog" | head -1)
import -window "$confirm" "docs/win-confirm.png"

# 是 has the focus in the confirmation.
xdotool key Return
sleep 2
import -window "$dialog" "docs/win-dialog.png"

# F1: the help window.
xdotool key F1
help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Korvane 帮助$' | head -1)
sleep 1
import -window "$help" "docs/win-help.png"
echo "docs/win-about.png docs/win-preview.png docs/win-confirm.png docs/win-dialog.png docs/win-help.png written"
