# Sourced by the scripts that show the dialog in a virtual X display.

# begin_xvfb_session: a temporary folder in $tmp and a pids array whose
# processes (the program first, then its display) end when the script does.
begin_xvfb_session() {
    tmp=$(mktemp -d)
    pids=()
    trap end_xvfb_session EXIT
}
end_xvfb_session() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}

# start_xvfb DIR SIZE: starts Xvfb on a free display (DIR holds its number),
# exports DISPLAY and appends Xvfb's process id to the caller's pids array.
start_xvfb() {
    local dir=$1 size=$2
    Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp -noreset 5>"$dir/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [[ -s $dir/display ]] && break; sleep 0.1; done
    [[ -s $dir/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$(head -1 "$dir/display")
}

# begin_dialog_session: begin_xvfb_session for the screenshot scripts of the
# Qt dialog: bin is the built dialog, HOME and XDG_* lie in $tmp.
begin_dialog_session() {
    bin=$PWD/build/default/src/ui/vexa
    [[ -x $bin ]] || { echo "build first: cmake --build --preset default" >&2; exit 1; }
    begin_xvfb_session
    export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_RUNTIME_DIR=$tmp
    export XDG_CACHE_HOME=$tmp/cache
}
