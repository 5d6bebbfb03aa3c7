#!/usr/bin/env bash
# The rules editor driven through the accessibility tree (AT-SPI) under a
# window manager in a virtual X display: a rule added and saved lands after
# the file's lines in its own encoding and line breaks (a UTF-16 LE file
# with its mark, CR LF and a Ctrl-Z; a GBK file without a mark under a GBK
# locale), and an empty row keeps 保存 off with its reason readable.
# Usage: atspi_rules_check.sh path/to/vexa   (run inside dbus-run-session)
set -euo pipefail
bin=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/../../scripts/xvfb_display.sh"
begin_xvfb_session
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_CACHE_HOME=$tmp/cache
export XDG_RUNTIME_DIR=$tmp/run QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Vexa" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'leak:libdbus-1.so\n' >"$tmp/lsan.supp"
export LSAN_OPTIONS="suppressions=$tmp/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
rules=$XDG_CONFIG_HOME/Vexa/vexa_文本替换规则.txt

start_xvfb "$tmp" 1024x768
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1

# check NAME BEFORE-FILE EXPECTED-FILE [ENV...]: the driver against a fresh program.
check() {
    local name=$1 before=$2 expected=$3
    shift 3
    cp "$before" "$rules"
    env "$@" "$bin" &
    local vexa=$!
    pids=("$vexa" "${pids[@]}")
    env "$@" /usr/bin/python3 "$here/atspi_rules_driver.py" >"$tmp/driver.out" ||
        fail "$name: the driver failed"
    grep -qx saved "$tmp/driver.out" && grep -qx refused "$tmp/driver.out" ||
        fail "$name: $(cat "$tmp/driver.out")"
    # The empty row was never saved: the file is what the first save wrote.
    cmp "$rules" "$expected" || fail "$name: $(od -c "$rules" | head -20)"
    kill "$vexa" 2>/dev/null || true
    wait "$vexa" 2>/dev/null || true
    echo "ok: $name"
}

utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }
{ printf '\xff\xfe'; utf16 $'a`b\r\n# 注释\r\n'; printf '\x1a\x00'; } >"$tmp/le.before"
{ printf '\xff\xfe'; utf16 $'a`b\r\n# 注释\r\ncolour`color\r\n'; printf '\x1a\x00'; } >"$tmp/le.expected"
check "UTF-16 LE" "$tmp/le.before" "$tmp/le.expected" LC_ALL=C.UTF-8

if localedef -i zh_CN -f GBK "$tmp/zh_CN.GBK" >/dev/null 2>&1; then
    printf '旧`新\n乛`x' | iconv -f UTF-8 -t GBK >"$tmp/gbk.before"
    printf '旧`新\n乛`x\ncolour`color\n' | iconv -f UTF-8 -t GBK >"$tmp/gbk.expected"
    check "GBK" "$tmp/gbk.before" "$tmp/gbk.expected" LOCPATH="$tmp" LC_ALL=zh_CN.GBK
else
    echo "skipped: GBK (localedef cannot build zh_CN.GBK here)"
fi
