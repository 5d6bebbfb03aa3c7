#!/usr/bin/env bash
# The real program in a virtual X display, keys typed by xdotool: Enter and
# Escape in the folder edit and Alt+F4 leave the dialog open; Space on 关于
# brings up the About box, and Escape answers that box; Space on 开始 and
# Enter in the confirmation run the job.
# Usage: xvfb_keys_check.sh path/to/vexa
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../scripts/xvfb_display.sh"
begin_xvfb_session
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp
mkdir -p "$XDG_CONFIG_HOME/Vexa" "$tmp/work"
printf 'foo 1\n' >"$tmp/work/a.txt"
printf 'foo`bar\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=$tmp/work
fileext="*.txt"
INI
start_xvfb "$tmp" 1024x600

"$bin" &
vexa=$!
pids+=($vexa)
dialog=$(timeout 20 xdotool search --sync --name '^Korvane$' | head -1)
[[ -n $dialog ]] || fail "the dialog did not appear"
xdotool windowfocus --sync "$dialog"
sleep 0.5

still_open() {
    sleep 0.5
    kill -0 "$vexa" 2>/dev/null || fail "$1 ended the program"
    xdotool search --name '^Korvane$' >/dev/null || fail "$1 closed the dialog"
    echo "ok: $1 leaves the dialog open"
}

# Keys go through XTEST to the focused window, as typed keys do.
# The Start button has the focus; Tab moves to the folder edit.
# Enter, keypad Enter and Escape in the edit, then Alt+F4 there and on 指定.
for keys in "Tab Return" KP_Enter Escape alt+F4 "Tab alt+F4"; do
    xdotool key $keys
    still_open "$keys"
done

# Back to the Start button, then Shift+Tab past 预览 to 关于 (结果, last in the
# tab order, is skipped while disabled).
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab
xdotool key space
about=$(timeout 10 xdotool search --sync --onlyvisible --name '^关于 Korvane$' | head -1)
[[ -n $about ]] || fail "the About box did not appear"
echo "ok: the About box is up"
xdotool windowfocus --sync "$about"
xdotool key Escape
sleep 0.5
xdotool search --onlyvisible --name '^关于 Korvane$' >/dev/null && fail "Escape did not answer the About box"
still_open "closing the About box"

# Focus is back on 关于; Tab passes 预览 and wraps to 开始. Enter answers the
# confirmation (Yes).
xdotool key Tab Tab space
confirm=$(timeout 10 xdotool search --sync --onlyvisible --name '^Korvane$' | grep -v "^$dialog$" | head -1)
[[ -n $confirm ]] || fail "no confirmation came up"
xdotool windowfocus --sync "$confirm"
xdotool key Return
for _ in $(seq 50); do [[ $(cat "$tmp/work/a.txt") == "bar 1" ]] && break; sleep 0.1; done
[[ $(cat "$tmp/work/a.txt") == "bar 1" ]] || fail "the run did not rewrite the file"
still_open "a whole run started from the keyboard"
