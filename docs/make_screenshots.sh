#!/usr/bin/env bash
# Takes the README's screenshots in a virtual X display (Xvfb, xdotool and
# ImageMagick's import; scripts/setup.sh installs them with
# VEXA_SETUP_DESKTOP=1): a preview of a small generated site with one file's
# differences, the confirmation and the dialog of the real run, that run's
# results window, the About box, and the help window at 200% scaling. Uses a
# folder of its own for the site, the configuration and HOME, never the
# user's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb_display.sh
begin_dialog_session
site=$tmp/网站
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Vexa" "$site/旧资料" "$site/新闻"
page() { printf '<p>%s</p>\r\n<p>联系旧公司：电话 010-1234</p>\r\n<p>版权所有 2019 旧公司</p>\r\n' "$1"; }
page "首页" >"$site/index.htm"
page "关于我们" >"$site/about.htm"
page "旧资料目录" >"$site/旧资料/list.htm"
printf '旧公司的新闻稿\n第二行不变\n' >"$site/新闻/稿件.txt"
printf '与规则无关的文字\n' >"$site/新闻/其他.txt"
printf '旧公司`新公司\n版权所有 2019`版权所有 2026\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
printf '旧资料`新资料\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文件夹重命名规则.txt"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=$site
fileext="*.txt;*.htm"
sub=1
renamedir=1
INI

start_xvfb "$tmp" 1280x900

window() {  # the newest visible window titled $1
    timeout 10 xdotool search --sync --onlyvisible --name "$1" | tail -1
}

# The focus starts on 开始, first in the tab order; 结果 is disabled (and
# skipped by Tab) until a run.
start() {
    "$bin" &
    vexa=$!
    pids=($vexa "${pids[@]}")
    dialog=$(window '^Korvane$')
    sleep 1
}

# Preview, one Shift+Tab back from 开始; then the list takes the focus with
# Tab twice (past the search box), and Down selects the second file.
start
xdotool windowfocus --sync "$dialog" key shift+Tab space
sleep 1
results=$(window '^结果 - Korvane$')
xdotool windowfocus --sync "$results" key Tab Tab Down
sleep 1
import -window "$results" docs/preview.png
kill "$vexa"

# The real run in a fresh instance: Space on 开始, Return answers Yes.
start
xdotool windowfocus --sync "$dialog" key space
sleep 1
confirm=$(xdotool search --onlyvisible --name '^Korvane$' | grep -v "^$dialog$" | head -1)
import -window "$confirm" docs/confirm.png
xdotool windowfocus --sync "$confirm" key Return
sleep 2
import -window "$dialog" docs/dialog.png
# 结果 is one Shift+Tab back from 开始, 关于 two more.
xdotool windowfocus --sync "$dialog" key shift+Tab space
sleep 1
import -window "$(window '^结果 - Korvane$')" docs/results.png
xdotool windowfocus --sync "$dialog" key shift+Tab shift+Tab space
sleep 1
about=$(window '^关于 Korvane$')
import -window "$about" docs/about.png
xdotool windowfocus --sync "$about" key Escape

# Help at 200% scaling: F1 in a second instance started with QT_SCALE_FACTOR=2.
QT_SCALE_FACTOR=2 "$bin" &
pids=($! "${pids[@]}")
sleep 2
second=$(xdotool search --onlyvisible --name '^Korvane$' | grep -v "^$dialog$" | tail -1)
xdotool windowfocus --sync "$second" key F1
sleep 1
import -window "$(window '^Korvane 帮助$')" docs/help.png
echo "docs/preview.png docs/confirm.png docs/dialog.png docs/results.png docs/about.png docs/help.png written"
