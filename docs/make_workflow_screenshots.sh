#!/usr/bin/env bash
# Takes the README's screenshots of a run's progress and of working with
# the results, in a virtual X display under openbox (Xvfb, xdotool, openbox
# and ImageMagick's import; scripts/setup.sh installs them with
# VEXA_SETUP_DESKTOP=1): a run over 20,000 generated files with its progress
# bar, the drop-down of recent folders, a preview's results window with one
# file unchecked before 执行, and a run's results sorted by path downwards
# and searched. Uses a folder of its own for the trees, the configuration
# and HOME, never the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb_display.sh
begin_dialog_session
big=$tmp/文档库 site=$tmp/网站
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Vexa" "$site/新闻/二〇二五" "$site/产品"
for d in $(seq 1 200); do
    mkdir -p "$big/卷$d"
    for f in $(seq 1 100); do printf '旧公司 第%s卷 第%s篇\n' "$d" "$f" >"$big/卷$d/篇$f.txt"; done
done
printf '旧公司 旧公司 旧公司\n' >"$site/index.htm"
printf '旧公司\n' >"$site/产品/说明.htm"
printf '旧公司的新闻稿，旧公司\n' >"$site/新闻/二〇二五/稿件.txt"
printf '旧公司\n' >"$site/新闻/简报.txt"
printf '旧公司`新公司\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
: >"$XDG_CONFIG_HOME/Vexa/vexa_文件夹重命名规则.txt"
settings() {  # folder, then the folders used last
    printf '[General]\npathuser=%s\nfileext="*.txt;*.htm"\nsub=1\nrenamedir=0\n' "$1"
    printf 'recentdir1=%s\nrecentdir2=%s\nrecentdir3=/srv/共享/报表\n' "$1" "$2"
}
settings "$big" "$site" >"$XDG_CONFIG_HOME/Vexa/vexa.ini"

start_xvfb "$tmp" 1280x900
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

window() {  # the newest visible window titled $1
    timeout 10 xdotool search --sync --onlyvisible --name "$1" | tail -1
}
start() {
    "$bin" &
    vexa=$!
    pids=($vexa "${pids[@]}")
    dialog=$(window '^Korvane$')
    sleep 1
}
# The screen around window $1, with the menus and boxes that lie over it.
grab_around() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "$((WIDTH + 60))x$((HEIGHT + 50))+$((X - 10))+$((Y - 30))" "$2"
}

# The drop-down of recent folders: Tab twice from 开始, Space opens it.
start
xdotool windowfocus --sync "$dialog" key Tab Tab space
sleep 1
grab_around "$dialog" docs/recent.png
xdotool key Escape

# A run over 20,000 files, four seconds in: Space on 开始 (two
# Shift+Tab back from the drop-down), Return answers Yes.
xdotool windowfocus --sync "$dialog" key shift+Tab shift+Tab space
sleep 1
xdotool key Return
sleep 4
import -window "$dialog" docs/progress.png
kill "$vexa"
wait "$vexa" 2>/dev/null || true

# A preview of the small site; the second file unchecked with Space.
settings "$site" "$big" >"$XDG_CONFIG_HOME/Vexa/vexa.ini"
start
xdotool windowfocus --sync "$dialog" key shift+Tab space
sleep 1
results=$(window '^结果 - Korvane$')
xdotool windowfocus --sync "$results" key Tab Tab Down space
sleep 1
import -window "$results" docs/preview-run.png

# 执行 there (at the bottom right), Return answers Yes; then the run's
# results by path downwards (a click on 路径) and searched for 新闻.
eval "$(xdotool getwindowgeometry --shell "$results")"
xdotool mousemove --window "$results" $((WIDTH - 137)) $((HEIGHT - 24)) click 1
sleep 1
xdotool key Return
sleep 2
xdotool mousemove --window "$results" 265 75 click 1
xdotool mousemove --window "$results" 440 46 click 1
xdotool type --delay 100 "新闻"
sleep 1
import -window "$results" docs/results-sorted.png
echo "docs/recent.png docs/progress.png docs/preview-run.png docs/results-sorted.png written"
