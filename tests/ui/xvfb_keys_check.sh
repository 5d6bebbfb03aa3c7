#!/usr/bin/env bash
# The real program in a virtual X display, keys typed by xdotool: Enter and
# Escape in the folder edit and Alt+F4 leave the dialog open; Space on 关于
# brings up the About box, and Escape answers that box; Space on 开始 and
# Enter in the confirmation run the job.
# Every wait polls for what it waits for, with a deadline, and a failure
# says what did not happen: a slow machine makes it slower, not flaky.
# Usage: xvfb_keys_check.sh path/to/vexa
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../scripts/xvfb_display.sh"
begin_xvfb_session
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'fail "command failed at line $LINENO: $BASH_COMMAND"' ERR

export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data HOME=$tmp XDG_RUNTIME_DIR=$tmp
mkdir -p "$XDG_CONFIG_HOME/Vexa" "$tmp/work"
printf 'foo 1\n' >"$tmp/work/a.txt"
printf 'foo`bar\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=$tmp/work
fileext="*.txt"
INI
start_xvfb "$tmp" 1024x600

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds, or fails naming WHAT.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "$what (waited ${seconds} s)"
        sleep 0.1
    done
}
# Visible top-level windows whose title is exactly $1, one id a line.
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
# A visible window titled Korvane other than the dialog itself: its message box.
other_korvane() { windows_named Korvane | grep -vx "$dialog" | head -1; }
has_other_korvane() { [[ -n $(other_korvane) ]]; }
no_other_korvane() { ! has_other_korvane; }
about_visible() { [[ -n $(windows_named '关于 Korvane') ]]; }
about_gone() { ! about_visible; }
file_rewritten() { [[ $(cat "$tmp/work/a.txt") == "bar 1" ]]; }

"$bin" &
vexa=$!
pids+=($vexa)
dialog_shown() { [[ -n $(windows_named Korvane) ]]; }
wait_until 30 "the dialog did not appear" dialog_shown
dialog=$(windows_named Korvane | head -1)
xdotool windowfocus --sync "$dialog"
sleep 0.5

still_open() {
    sleep 0.5
    kill -0 "$vexa" 2>/dev/null || fail "$1 ended the program"
    [[ -n $(windows_named Korvane) ]] || fail "$1 closed the dialog"
    has_other_korvane && fail "$1 opened a message box"
    echo "ok: $1 leaves the dialog open"
}

# Keys go through XTEST to the focused window, as typed keys do.
# The Start button has the focus; Tab moves to the folder edit.
# Enter, keypad Enter and Escape in the edit, then Alt+F4 there and on 指定.
for keys in "Tab Return" KP_Enter Escape alt+F4 "Tab alt+F4"; do
    xdotool key $keys
    still_open "$keys"
done

# Back to the Start button, then Shift+Tab to 关于 (last in the tab order).
xdotool key shift+Tab shift+Tab shift+Tab
xdotool key space
wait_until 20 "the About box did not appear" about_visible
echo "ok: the About box is up"
xdotool windowfocus --sync "$(windows_named '关于 Korvane' | head -1)"
xdotool key Escape
wait_until 20 "Escape did not answer the About box" about_gone
still_open "closing the About box"

# Focus is back on 关于; Tab wraps to 开始. Enter answers the confirmation (Yes).
xdotool key Tab space
wait_until 20 "no confirmation came up after Space on 开始" has_other_korvane
confirm=$(other_korvane)
xdotool windowfocus --sync "$confirm"
xdotool key Return
wait_until 30 "the run did not rewrite the file" file_rewritten
wait_until 20 "the confirmation did not go away" no_other_korvane
still_open "a whole run started from the keyboard"
