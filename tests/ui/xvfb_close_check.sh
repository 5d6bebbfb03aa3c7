#!/usr/bin/env bash
# The real program under a window manager (openbox) in a virtual X display:
# Alt+F4 during a run is turned by the window manager into a close request,
# which asks first. No keeps the window and the run; Yes stops the run and
# the program ends once the worker has finished the file in hand.
# Usage: xvfb_close_check.sh path/to/vexa
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../scripts/xvfb_display.sh"
begin_xvfb_session
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_RUNTIME_DIR=$tmp
export XDG_CACHE_HOME=$tmp/cache
# Its exit status is checked: under the leak checker, the D-Bus library's own
# allocation at exit (not the program's) must not count.
printf 'leak:libdbus-1.so\n' >"$tmp/lsan.supp"
export LSAN_OPTIONS="suppressions=$tmp/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Vexa" "$tmp/work"
# Enough files that the run lasts while the keys are typed, on every processor
# (each replace is synced; a quiet machine rewrites a few thousand a second).
for d in $(seq 40); do
    mkdir "$tmp/work/d$d"
    for f in $(seq 500); do printf 'foo\n' >"$tmp/work/d$d/f$f.txt"; done
done
total=20000
printf 'foo`bar\n' >"$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt"
cat >"$XDG_CONFIG_HOME/Vexa/vexa.ini" <<INI
[General]
pathuser=$tmp/work
fileext="*.txt"
sub=1
INI
start_xvfb "$tmp" 1024x600
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1

"$bin" &
vexa=$!
pids=("$vexa" "${pids[@]}")
dialog=$(timeout 20 xdotool search --sync --name '^Korvane$' | head -1)
[[ -n $dialog ]] || fail "the dialog did not appear"
xdotool windowactivate --sync "$dialog"
sleep 0.5

rewritten() { grep -rl bar "$tmp/work" | wc -l || true; }
# The question box: another window titled Korvane.
question() {
    local w
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --name '^Korvane$' | grep -v "^$dialog$" | head -1 || true)
        [[ -n $w ]] && { echo "$w"; return; }
        sleep 0.1
    done
}

# The Start button has the focus; Return answers the confirmation (Yes).
xdotool key space
confirm=$(question)
[[ -n $confirm ]] || fail "no confirmation came up"
xdotool windowactivate --sync "$confirm" key Return
for _ in $(seq 100); do (($(rewritten) > 0)) && break; sleep 0.1; done
(($(rewritten) > 0)) || fail "the run did not start"

xdotool windowactivate --sync "$dialog" key alt+F4
box=$(question)
[[ -n $box ]] || fail "Alt+F4 during the run did not ask"
echo "ok: Alt+F4 during the run asks first"
before=$(rewritten)
xdotool windowactivate --sync "$box" key Escape  # No
sleep 1
kill -0 "$vexa" 2>/dev/null || fail "No ended the program"
xdotool search --name '^Korvane$' >/dev/null || fail "No closed the dialog"
(($(rewritten) > before)) || fail "No stopped the run"
echo "ok: No keeps the window and the run"

xdotool windowactivate --sync "$dialog" key alt+F4
box=$(question)
[[ -n $box ]] || fail "the second Alt+F4 did not ask"
xdotool windowactivate --sync "$box" key Return  # Yes
for _ in $(seq 300); do kill -0 "$vexa" 2>/dev/null || break; sleep 0.1; done
kill -0 "$vexa" 2>/dev/null && fail "Yes did not close the program"
wait "$vexa" || fail "the program ended with status $?"
done_count=$(rewritten)
((done_count < total)) || fail "the run was not stopped (all $total files rewritten)"
echo "ok: Yes stopped the run after $done_count of $total files and closed the window"
