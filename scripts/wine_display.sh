# Sourced by the Windows screenshot scripts: a virtual X display and a wine
# prefix of its own in a temporary folder (code page 936, from the
# zh_CN.UTF-8 locale; windows placed where the program puts them), with
# HOME and XDG_* inside it; both are taken down when the script exits.
# Sets exe (the first argument, or the Windows build's vexa.exe) and tmp,
# and offers open_dialog.
source scripts/xvfb_display.sh
exe=$(realpath "${1:-build/windows/src/win32/vexa.exe}")
[[ -f $exe ]] || { echo "build first: cmake --workflow --preset windows" >&2; exit 1; }

begin_xvfb_session
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
export WINEPREFIX=$tmp/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_CACHE_HOME=$tmp/home/.cache
export XDG_DATA_HOME=$tmp/home/.local/share XDG_RUNTIME_DIR=$tmp
trap 'timeout 20 wineserver -k 2>/dev/null || true; end_xvfb_session' EXIT
mkdir -p "$HOME"
start_xvfb "$tmp" 1024x768
timeout 180 wineboot --init >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# Starts the program in $tmp for at most $1 seconds and waits for its dialog:
# sets dialog to the window, focused.
open_dialog() {
    (cd "$tmp" && exec timeout "$1" wine "$exe" >/dev/null 2>&1) &
    pids+=($!)
    dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Korvane$' | head -1)
    xdotool windowfocus --sync "$dialog"
    sleep 1
}
