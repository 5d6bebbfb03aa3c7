#!/usr/bin/env bash
# Times vexa-cli against the tools a user would otherwise pick, on the same
# generated tree, in one session, alternating the tools round by round. Each
# timed run starts from a pristine copy restored beforehand (not timed).
#
#   bench/compare.sh [--rounds N] [--disk-rounds N] [--files N] [--size-mb N]
#                    [--big-mb N] [--seed N] [--no-disk] [--quick]
#
# Prints the median of each tool and the ratios vexa-cli / peer, checks that
# vexa-cli leaves the tree byte for byte as `sed -i` does, and measures the
# peak memory of vexa-cli on a tree holding one large file. On the disk only
# vexa-cli, sed, cat and rg run: perl and sd take minutes there.
# VEXA_CLI names another binary; VEXA_BENCH_TMPFS and VEXA_BENCH_DISK name the
# two places to work in (defaults /dev/shm and build/bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=5 disk_rounds=3 files=20000 size_mb=200 big_mb=500 seed=1 disk=1
while [[ $# -gt 0 ]]; do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --disk-rounds) disk_rounds=$2; shift 2 ;;
        --files) files=$2; shift 2 ;;
        --size-mb) size_mb=$2; shift 2 ;;
        --big-mb) big_mb=$2; shift 2 ;;
        --seed) seed=$2; shift 2 ;;
        --no-disk) disk=0; shift ;;
        --quick) rounds=3 disk_rounds=3 files=2000 size_mb=20 big_mb=50; shift ;;
        -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
        *) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

VEXA_SETUP_BENCH=1 "$root/scripts/setup.sh"
cli=${VEXA_CLI:-$root/build/default/src/cli/vexa-cli}
if [[ -z ${VEXA_CLI:-} ]]; then
    (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target vexa-cli -j2 >/dev/null)
fi
[[ -x $cli ]] || { echo "compare.sh: no vexa-cli at $cli" >&2; exit 1; }
dialog=${VEXA_DIALOG_RUN:-$root/build/default/bench/vexa-dialog-run}
if [[ -z ${VEXA_DIALOG_RUN:-} ]]; then
    (cd "$root" && cmake --build --preset default --target vexa-dialog-run -j2 >/dev/null)
fi
[[ -x $dialog ]] || { echo "compare.sh: no vexa-dialog-run at $dialog" >&2; exit 1; }

# Every tool works in the same UTF-8 locale; vexa-cli takes it as its code page.
export LC_ALL=C.UTF-8
suffixes='*.htm;*.txt;*.css;*.js'
tmpfs_base=${VEXA_BENCH_TMPFS:-/dev/shm}/vexa-bench.$$
disk_base=${VEXA_BENCH_DISK:-$root/build/bench}/run.$$
cleanup() { rm -rf "$tmpfs_base" "$disk_base"; }
trap cleanup EXIT
mkdir -p "$tmpfs_base" "$disk_base"
export XDG_CONFIG_HOME=$tmpfs_base/config
started=$SECONDS

python3 "$root/bench/gen_corpus.py" "$tmpfs_base/corpus" --files "$files" --size-mb "$size_mb" --seed "$seed" |
    tee "$tmpfs_base/corpus.txt"
rules=$tmpfs_base/corpus.rules.txt
nomatch=$tmpfs_base/corpus.rules-nomatch.txt

# The selected files, relative to the tree, NUL-separated: the peers get
# exactly the files that vexa-cli selects (every name holds one dot).
list=$tmpfs_base/selected.list
(cd "$tmpfs_base/corpus" && find . -type f \( -name '*.htm' -o -name '*.txt' -o -name '*.css' -o -name '*.js' \) -print0) >"$list"
selected=$(tr -cd '\0' <"$list" | wc -c)
selected_mb=$(cd "$tmpfs_base/corpus" && du -cb --files0-from="$list" | tail -1 | awk '{printf "%.0f", $1 / 1e6}')

# The peers' programs, with every rule a literal: sed one pass with all
# rules, perl with \Q...\E, sd once per rule, rg with the same patterns.
python3 - "$rules" "$nomatch" "$tmpfs_base" <<'EOF'
import sys
rules_path, nomatch_path, out = sys.argv[1:4]
def load(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("`")[:2] for line in f if line.strip()]
def esc(text, chars):
    return "".join("\\" + c if c in chars else c for c in text)
rules = load(rules_path)
with open(out + "/rules.sed", "w", encoding="utf-8") as f:
    for find, repl in rules:
        f.write("s/%s/%s/g\n" % (esc(find, "\\/.*[]^$"), esc(repl, "\\/&")))
with open(out + "/rules.pl", "w", encoding="utf-8") as f:
    for find, repl in rules:
        f.write("s/\\Q%s\\E/%s/g;\n" % (esc(find, "\\/$@"), esc(repl, "\\/$@")))
for name, path in (("sd", rules_path), ("rg", nomatch_path)):
    with open("%s/%s.args" % (out, name), "wb") as f:
        for find, repl in load(path):
            f.write(find.encode() + b"\0" + repl.encode() + b"\0")
EOF
mapfile -d '' sd_args <"$tmpfs_base/sd.args"
mapfile -d '' rg_args <"$tmpfs_base/rg.args"
rg_patterns=()
for ((i = 0; i < ${#rg_args[@]}; i += 2)); do rg_patterns+=(-e "${rg_args[i]}"); done

# vexa-cli's summary goes to a log; a run that is not clean stops the bench.
vexa_log=$tmpfs_base/vexa-cli.log
vexa() {
    "$cli" -s -y -q "$@" 2>>"$vexa_log" || {
        echo "compare.sh: vexa-cli exited $?; see its summary:" >&2
        tail -5 "$vexa_log" >&2
        exit 1
    }
}
run_vexa() { vexa "$1" "$suffixes" --rules "$rules"; }
run_vexa_nomatch() { vexa "$1" "$suffixes" --rules "$nomatch"; }
# The same job through the real dialog (offscreen), timed by the program
# itself from the Start click to "执行完成！"; its own start-up is not counted.
dialog_secs=$tmpfs_base/dialog.secs
run_dialog() {
    QT_QPA_PLATFORM=offscreen "$dialog" "$1" "$suffixes" "$rules" >"$dialog_secs" 2>/dev/null || {
        echo "compare.sh: the dialog's run did not finish cleanly" >&2
        exit 1
    }
}
run_sed() { (cd "$1" && xargs -0 sed -i -f "$tmpfs_base/rules.sed" <"$list"); }
run_perl() { (cd "$1" && xargs -0 perl -pi "$tmpfs_base/rules.pl" <"$list"); }
run_sd() {
    local i
    for ((i = 0; i < ${#sd_args[@]}; i += 2)); do
        (cd "$1" && xargs -0 sd -s -- "${sd_args[i]}" "${sd_args[i + 1]}" <"$list")
    done
}
run_cat() { (cd "$1" && xargs -0 cat <"$list" >/dev/null); }
# rg exits 1 when nothing matches, which is the point of this run.
run_rg() {
    rg -j1 -F -c -uu -g '*.htm' -g '*.txt' -g '*.css' -g '*.js' "${rg_patterns[@]}" "$1" >/dev/null || [[ $? -eq 1 ]]
}

# A literal replacement can change only the files that hold a find text, so
# putting those back from the pristine copy restores the whole tree's content
# (a full copy of 20,000 files takes most of a minute on the disk).
# The patterns come from a file: xargs may start grep more than once and each
# start reads them anew (a pipe would be used up by the first). The
# generator's own count of files with a find text must agree.
matching=$tmpfs_base/matching.list
cut -d'`' -f1 "$rules" >"$tmpfs_base/finds.txt"
(cd "$tmpfs_base/corpus" && xargs -0 grep -lZF -f "$tmpfs_base/finds.txt" -- <"$list") >"$matching" || true
matched=$(tr -cd '\0' <"$matching" | wc -c)
generated=$(sed -n 's/.*text, \([0-9]*\) with a find text.*/\1/p' "$tmpfs_base/corpus.txt")
if [[ $matched != "$generated" || $matched -eq 0 ]]; then
    echo "compare.sh: FAIL: $matched selected files hold a find text, the generator wrote $generated" >&2
    exit 1
fi
restore() { # pristine work
    if [[ ! -d $2 ]]; then
        cp -a "$1" "$2"
    else
        (cd "$1" && xargs -0 cp --parents -t "$2" -- <"$matching")
    fi
    sync -f "$2" 2>/dev/null || sync
}

declare -A times
# time_run KEY COMMAND DIR: appends the wall time in seconds to times[KEY].
time_run() {
    local t0=$EPOCHREALTIME
    "$2" "$3" >/dev/null
    local t1=$EPOCHREALTIME
    times[$1]+="$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }') "
}
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Byte-for-byte check: vexa-cli and sed on two fresh copies of the UTF-8 tree.
check_equal() {
    local base=$1
    cp -a "$base/pristine" "$base/a"
    cp -a "$base/pristine" "$base/b"
    run_vexa "$base/a"
    run_sed "$base/b"
    local changed
    changed=$(diff -rq "$base/pristine" "$base/a" | wc -l || true)
    if ! diff -rq "$base/a" "$base/b" >/dev/null; then
        echo "compare.sh: FAIL: vexa-cli's tree differs from sed's:" >&2
        diff -rq "$base/a" "$base/b" | head >&2
        exit 1
    fi
    echo "check: vexa-cli's tree equals sed's byte for byte ($changed files rewritten)"
    rm -rf "$base/a" "$base/b"
}

bench_place() { # key label base rounds tools...
    local key=$1 label=$2 base=$3 rounds=$4 r tool
    shift 4
    local tools=("$@")
    cp -a "$tmpfs_base/corpus" "$base/pristine"
    [[ $key != tmpfs ]] || check_equal "$base"
    local work=$base/work
    for ((r = 1; r <= rounds; r++)); do
        for tool in "${tools[@]}"; do
            restore "$base/pristine" "$work"
            if [[ $tool == dialog ]]; then
                run_dialog "$work"
                times[$key.dialog]+="$(<"$dialog_secs") "
            else
                time_run "$key.$tool" "run_$tool" "$work"
            fi
        done
        # The reading runs start after the write-back of the last writer, in
        # an order that alternates so that neither side always goes first.
        restore "$base/pristine" "$work"
        time_run "$key.cat" run_cat "$work"
        if ((r % 2)); then
            time_run "$key.vexa_nomatch" run_vexa_nomatch "$work"
            time_run "$key.rg" run_rg "$work"
        else
            time_run "$key.rg" run_rg "$work"
            time_run "$key.vexa_nomatch" run_vexa_nomatch "$work"
        fi
    done
    rm -rf "$work" "$base/pristine"
    local v n c g p
    v=$(median "${times[$key.vexa]}")
    n=$(median "${times[$key.vexa_nomatch]}")
    c=$(median "${times[$key.cat]}")
    g=$(median "${times[$key.rg]}")
    printf '\n%s: %d selected files, %s MB, %d rounds (median seconds; ratio vexa-cli / peer)\n' \
        "$label" "$selected" "$selected_mb" "$rounds"
    printf '  %-34s %8.3f\n' "vexa-cli -s -y -q" "$v"
    for tool in "${tools[@]:1}"; do
        [[ $tool != dialog ]] || continue
        p=$(median "${times[$key.$tool]}")
        printf '  %-34s %8.3f   ratio %.3f (1/%.1f)\n' "$(peer_name "$tool")" "$p" \
            "$(ratio "$v" "$p")" "$(ratio "$p" "$v")"
    done
    printf '  %-34s %8.3f   ratio %.3f\n' "cat of the files (read bound)" "$c" "$(ratio "$v" "$c")"
    printf '  %-34s %8.3f\n' "vexa-cli, no rule matches" "$n"
    printf '  %-34s %8.3f   ratio %.3f\n' "rg -j1 -F -c, same patterns" "$g" "$(ratio "$n" "$g")"
    if [[ -n ${times[$key.dialog]:-} ]]; then
        local d
        d=$(median "${times[$key.dialog]}")
        printf '  %-34s %8.3f   ratio dialog / vexa-cli %.3f\n' "the dialog's run, same job" "$d" "$(ratio "$d" "$v")"
    fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }
peer_name() {
    case $1 in
        sed) echo "sed -i (one pass, all rules)" ;;
        perl) echo "perl -pi (\\Q...\\E)" ;;
        sd) echo "sd -s (one pass per rule)" ;;
    esac
}

echo "machine: $(nproc) cores, $(awk '/model name/ { $1 = $2 = $3 = ""; print; exit }' /proc/cpuinfo | sed 's/^ *//'), $(free -g | awk '/Mem:/ { print $2 }') GB"
bench_place tmpfs "tmpfs ($(stat -f -c %T "$tmpfs_base"))" "$tmpfs_base" "$rounds" vexa sed perl sd dialog
if [[ $disk == 1 ]]; then
    bench_place disk "disk ($(stat -f -c %T "$disk_base"), $disk_base)" "$disk_base" "$disk_rounds" vexa sed
fi
rm -rf "$tmpfs_base/corpus"

# Peak memory on one large file that the rules rewrite.
python3 "$root/bench/gen_corpus.py" "$tmpfs_base/big" --one-file-mb "$big_mb" --seed "$seed" >/dev/null
big_bytes=$(stat -c %s "$tmpfs_base/big/big.txt")
/usr/bin/time -v -o "$tmpfs_base/time.txt" "$cli" -s -y -q "$tmpfs_base/big" '*.txt' \
    --rules "$tmpfs_base/big.rules.txt" 2>>"$vexa_log" >/dev/null
rss_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$tmpfs_base/time.txt")
printf '\npeak memory: %d MB for one file of %d MB: %.2fx the file size\n' \
    $((rss_kb / 1024)) $((big_bytes / 1000000)) "$(awk -v r="$rss_kb" -v b="$big_bytes" 'BEGIN { print r * 1024 / b }')"
echo "total: $((SECONDS - started)) s"
