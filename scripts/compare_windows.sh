#!/usr/bin/env bash
# Runs one job with the Linux build under a zh_CN.GBK locale and with the
# Windows build under wine with code page 936 (host locale zh_CN.UTF-8), on
# two copies of the same tree, and compares the results file by file: names
# (the Linux side's GBK names read as GBK), contents, exit statuses and the
# number of listed changes. Then undoes the Windows run (vexa-cli.exe --undo
# -y) and compares that tree with a copy taken before the run, byte for byte.
#
#   scripts/compare_windows.sh [LINUX_CLI [WINDOWS_CLI]]
#
# Defaults: build/default/src/cli/vexa-cli and build/windows/src/cli/vexa-cli.exe.
# Everything happens in a temporary folder of its own, wine's prefix included.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_cli=$(realpath "${1:-build/default/src/cli/vexa-cli}")
windows_cli=$(realpath "${2:-build/windows/src/cli/vexa-cli.exe}")
locale -a | grep -qx zh_CN.gbk || { echo "no zh_CN.GBK locale (VEXA_SETUP_WINDOWS=1 scripts/setup.sh)" >&2; exit 2; }
locale -a | grep -qx zh_CN.utf8 || { echo "no zh_CN.UTF-8 locale" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vexa-compare-XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
       XDG_CACHE_HOME=$work/home/cache WINEPREFIX=$work/wine WINEDEBUG=-all \
       WINEDLLOVERRIDES=winemenubuilder.exe=d
mkdir -p "$HOME"

gbk() { iconv -f UTF-8 -t GBK; }
# The tree: ASCII names, contents in GBK, UTF-8 with its mark and UTF-16 of
# both byte orders, line endings of both kinds, a GBK character whose second
# byte is a backslash, text GBK cannot hold, a Chinese file name (spelt in
# the encoding of the side's names: GBK on Linux, UTF-8 under wine) and
# folders to rename.
make_tree() {
    local t=$1 names=$2
    mkdir -p "$t/docs/olddir/deep" "$t/olddir" "$t/keep" "$t/.git"
    printf '旧的文本\r\n第二行 旧\r\n' | gbk >"$t/gbk.txt"
    printf '誠\\路径\\旧\n' | gbk >"$t/trail.txt"
    printf '\xEF\xBB\xBF旧 in UTF-8\n' >"$t/docs/bom.txt"
    printf '旧 € 😀\n' | iconv -f UTF-8 -t UTF-16LE | { printf '\xFF\xFE'; cat; } >"$t/docs/le.txt"
    printf '旧^行\n' | iconv -f UTF-8 -t UTF-16BE | { printf '\xFE\xFF'; cat; } >"$t/olddir/be.txt"
    printf '\xEF\xBB\xBF旧 😀\n' >"$t/olddir/emoji.txt"
    printf 'nothing to do\n' >"$t/keep/plain.txt"
    printf '旧\n' | gbk >"$t/docs/olddir/deep/a.txt"
    printf '旧\n' | gbk >"$t/docs/skip.htm"
    printf '旧\n' | gbk >"$t/.git/config.txt"
    printf '旧 name\n' | gbk >"$t/docs/$(printf '中文名.txt' | iconv -f UTF-8 -t "$names")"
}
make_tree "$work/linux" GBK
make_tree "$work/windows" UTF-8
cp -a "$work/windows" "$work/windows.before"
# Rules in GBK, the working code page of both runs.
printf '旧`新\n\\`/\n行`line^\n' | gbk >"$work/rules.txt"
printf 'olddir`新目录\ndeep`深\n' | gbk >"$work/rename.txt"

echo "Linux build, LC_ALL=zh_CN.GBK"
set +e
(cd "$work" && LC_ALL=zh_CN.GBK "$linux_cli" -s -R -y -l -q --rules rules.txt \
    --rename-rules rename.txt linux '*.txt') >"$work/linux.out" 2>"$work/linux.err"
linux_status=$?
echo "wine, host locale zh_CN.UTF-8 (code page 936)"
wineboot -i >/dev/null 2>&1
(cd "$work" && LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "$windows_cli" -s -R -y -l -q \
    --rules rules.txt --rename-rules rename.txt windows '*.txt') >"$work/windows.out" 2>"$work/windows.err"
windows_status=$?
set -e

# Every entry by relative name in UTF-8 (the Linux names are GBK bytes), with
# a digest of its content; folders end in "/".
listing() {
    local root=$1 from=$2
    (cd "$root" && find . -mindepth 1 | LC_ALL=C sort | while IFS= read -r p; do
        local name
        name=$(printf '%s' "$p" | iconv -f "$from" -t UTF-8)
        if [[ -d $p ]]; then echo "$name/"; else echo "$name $(sha256sum <"$p" | cut -c1-16)"; fi
    done) | LC_ALL=C sort
}
listing "$work/linux" GBK >"$work/linux.tree"
listing "$work/windows" UTF-8 >"$work/windows.tree"

failed=0
echo "--- Linux summary";   iconv -f GBK -t UTF-8 <"$work/linux.err" || cat "$work/linux.err"
echo "--- Windows summary"; cat "$work/windows.err"
if diff -u "$work/linux.tree" "$work/windows.tree"; then
    echo "same tree: $(wc -l <"$work/linux.tree") entries, names and contents alike"
else
    echo "the trees differ (above)"; failed=1
fi
if [[ $linux_status == "$windows_status" ]]; then
    echo "same exit status: $linux_status"
else
    echo "exit status differs: Linux $linux_status, Windows $windows_status"; failed=1
fi
linux_listed=$(wc -l <"$work/linux.out"); windows_listed=$(wc -l <"$work/windows.out")
if [[ $linux_listed == "$windows_listed" ]]; then
    echo "same number of listed changes: $linux_listed"
else
    echo "listed changes differ: Linux $linux_listed, Windows $windows_listed"; failed=1
fi
rewritten=$(cd "$work" && diff <(listing "$work/linux" GBK) <(listing "$work/windows.before" UTF-8) | grep -c '^<' || true)
echo "entries the job changed or made: $rewritten"
if grep -q "中文名" "$work/windows.tree" && ! grep -q "$(grep "中文名" <(listing "$work/windows.before" UTF-8))" "$work/windows.tree"; then
    echo "Windows: the GBK file 中文名.txt was rewritten"
else
    echo "Windows: 中文名.txt was NOT rewritten"; failed=1
fi

# The Windows run undone: every name and byte as before the run.
set +e
(cd "$work" && LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "$windows_cli" --undo -y windows) \
    >"$work/undo.out" 2>"$work/undo.err"
undo_status=$?
set -e
if [[ $undo_status == 0 ]] && diff -u <(listing "$work/windows.before" UTF-8) <(listing "$work/windows" UTF-8) &&
    diff -r "$work/windows.before" "$work/windows"; then
    echo "Windows: --undo -y (exit 0) restored the tree byte for byte: $(wc -l <"$work/windows.tree") entries"
else
    echo "Windows: --undo -y (exit $undo_status) did NOT restore the tree"; cat "$work/undo.err"; failed=1
fi
exit $failed
