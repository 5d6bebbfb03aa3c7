#!/usr/bin/env bash
# The Windows dialog under wine in a virtual X display, in a wine prefix of
# its own: the driver program checks it by window messages, then xdotool
# types Enter, Escape and Alt+F4 into the real window, which stays open.
# Usage: run_driver.sh vexa.exe vexa_driver.exe
set -euo pipefail
exe=$(realpath "$1") driver=$(realpath "$2")
source "$(dirname "$0")/../../scripts/xvfb_display.sh"
begin_xvfb_session
command -v wine >/dev/null || { echo "SKIP: wine is not installed"; exit 77; }
locale -a | grep -qix 'zh_CN.utf8' || { echo "SKIP: no zh_CN.UTF-8 locale (scripts/setup.sh)"; exit 77; }

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
export WINEPREFIX=$tmp/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share \
    XDG_CACHE_HOME=$tmp/home/.cache XDG_RUNTIME_DIR=$tmp
trap 'timeout 20 wineserver -k 2>/dev/null || true; end_xvfb_session' EXIT
mkdir -p "$HOME" "$tmp/work"
start_xvfb "$tmp" 1024x768
timeout 180 wineboot --init >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
work="Z:${tmp//\//\\}\\work"
cd "$tmp/work"

status=0
timeout 300 wine "$driver" "Z:${exe//\//\\}" "$work" || status=$?

timeout 30 wine "$exe" >/dev/null 2>&1 &
pids+=($!)
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Korvane$' | head -1) || true
xdotool windowfocus --sync "$dialog" || { echo "FAIL the dialog did not show for xdotool"; exit 1; }
for keys in Return Escape "Tab Return" alt+F4; do
    xdotool key $keys && sleep 0.5
    xdotool search --onlyvisible --name '^Korvane$' >/dev/null &&
        echo "ok   $keys leaves the window open" || { echo "FAIL $keys closed the window"; status=1; }
done
exit $status
