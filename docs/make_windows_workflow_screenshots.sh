#!/usr/bin/env bash
# Takes the README's screenshots of the Windows program's progress, preview
# and results under wine in a virtual X display, in a wine prefix of its own
# (code page 936): a run over 4,000 files with its progress bar, a
# preview's results with one file unchecked and 执行, and the results of
# running that preview, sorted by 替换次数.
# Usage: docs/make_windows_workflow_screenshots.sh [path/to/vexa.exe]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine_display.sh

# The rules, a site of a few pages in folders (新闻 renamed to 资讯), and
# 4,000 small files for the run with progress; the settings as UTF-16,
# the site among the folders used last.
app="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vexa"
site="$WINEPREFIX/drive_c/文档/网站" many="$WINEPREFIX/drive_c/many"
mkdir -p "$app" "$site/新闻/二〇二四" "$site/产品" "$many"
printf 'colour`color\r\n' >"$app/vexa_文本替换规则.txt"
printf '新闻`资讯\r\n' | iconv -f UTF-8 -t GBK >"$app/vexa_文件夹重命名规则.txt"
printf 'colour colour colour\r\n' >"$site/index.htm"
printf 'colour\r\n' >"$site/about.htm"
printf 'colour colour\r\n' >"$site/新闻/一月.htm"
printf 'colour\r\n' >"$site/新闻/二〇二四/年度回顾与展望_第一季度_市场活动_完整报告.htm"
printf 'colour colour colour colour\r\n' >"$site/产品/目录.htm"
(cd "$many" && for d in $(seq 1 8); do
    mkdir "d$d" && for f in $(seq 1 500); do printf 'colour\r\n' >"d$d/$f.txt"; done
done)
{
    printf '\xff\xfe'
    printf '[General]\r\npathuser="C:\\many"\r\nfileext="*.txt;*.htm"\r\nsub=1\r\nrenamedir=1\r\nrecentdir1="C:\\文档\\网站"\r\n' |
        iconv -f UTF-8 -t UTF-16LE
} >"$app/vexa.ini"

open_dialog 300

# 开始 has the focus; 是 has it in the confirmation.
xdotool key space
sleep 1
xdotool key Return
sleep 4
import -window "$dialog" "docs/win-progress.png"
sleep "${VEXA_RUN_SECONDS:-60}"  # the run to its end

# The site from the folders used last (Tab, Tab: the button beside the
# edit; the site is second, after the folder just run on), then 预览: four
# Shift+Tab back (the edit, 开始, 结果, 预览).
xdotool windowfocus --sync "$dialog"
xdotool key Tab Tab space
sleep 1
xdotool key Down Down Return
sleep 0.5
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab space
results=$(timeout 30 xdotool search --sync --onlyvisible --name '^结果 - Korvane$' | head -1)
sleep 2
# Rows in path order, about 18 pixels apart at 96 dpi: the fifth
# (新闻\一月.htm) is clicked and loses its check mark to the space bar.
xdotool mousemove --window "$results" 300 215 click 1
xdotool key space
sleep 1
import -window "$results" "docs/win-preview-run.png"

# 执行, left of 关闭, and 是 in the confirmation; then the run's results
# sorted by 替换次数, most first (two clicks on its header).
xdotool mousemove --window "$results" 613 586 click 1
sleep 1
xdotool key Return
sleep 5
xdotool windowraise "$results"
sleep 0.5
xdotool mousemove --window "$results" 565 123 click 1
sleep 0.5
xdotool mousemove --window "$results" 565 123 click 1
sleep 1
import -window "$results" "docs/win-results-sorted.png"
echo "docs/win-progress.png docs/win-preview-run.png docs/win-results-sorted.png written"
