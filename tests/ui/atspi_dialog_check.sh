#!/usr/bin/env bash
# The dialog driven through the accessibility tree (AT-SPI) under a window
# manager in a virtual X display, as a screen reader user would: the
# buttons' names hold their labels, a run's status and counts can be read,
# and the results window is a window.
# Usage: atspi_dialog_check.sh path/to/vexa   (run inside dbus-run-session)
set -euo pipefail
bin=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/../../scripts/xvfb_display.sh"
begin_xvfb_session

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_CACHE_HOME=$tmp/cache
export XDG_RUNTIME_DIR=$tmp/run QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Vexa" "$XDG_RUNTIME_DIR" "$tmp/work"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'leak:libdbus-1.so\n' >"$tmp/lsan.supp"
export LSAN_OPTIONS="suppressions=$tmp/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
printf 'colour here\n' >"$tmp/work/a.txt"
printf 'nothing\n' >"$tmp/work/b.txt"
printf 'colour`color\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=$tmp/work
fileext="*.txt"
INI

start_xvfb "$tmp" 1024x768
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$bin" &
pids=($! "${pids[@]}")
/usr/bin/python3 "$here/atspi_dialog_driver.py"
[[ $(cat "$tmp/work/a.txt") == "color here" ]] || { echo "FAIL: a.txt was not rewritten" >&2; exit 1; }
echo ok
