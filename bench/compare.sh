#!/usr/bin/env bash
# Times vexa-cli against the tools a user would otherwise pick, on the same
# generated tree, in one session, with alt-time: the tools take turns round by
# round and each ratio is the median of the per-round ratios. Before every
# timed run the whole tree is copied back from a pristine copy (not timed).
#
#   bench/compare.sh [--rounds N] [--disk-rounds N] [--files N] [--size-mb N]
#                    [--big-mb N] [--seed N] [--no-disk] [--quick] [--shapes]
#
# --shapes then times the other shapes of tree too (bench/shapes.py: many
# tiny files, huge files, every file matching, 100 rules, GBK, UTF-16, a wide
# folder, a deep chain; -j1 and all cores against rg -j1 and rg; peak memory),
# with its checks against sed -i and of -j1 against the parallel run.
# bench/random_trees.py compares -j1 and the parallel run on random trees.
# vexa-cli -E (the match modes' path) runs the same rules as regexes, every
# special character escaped, against sd's regex mode on them.
#
# Prints the median of each tool and the ratios vexa-cli / peer, checks that
# vexa-cli leaves the tree byte for byte as `sed -i` does, checks after every
# run (warm-up included) that vexa-cli reported rewriting every file that
# holds a find text and that each tool left the tree it should, and measures
# the peak memory of vexa-cli on a tree holding one large file. On the disk
# only vexa-cli, sed, cat and rg run: perl and sd take minutes there.
# VEXA_CLI and VEXA_DIALOG_RUN name other binaries; VEXA_BENCH_TMPFS and
# VEXA_BENCH_DISK name the two places to work in (defaults /dev/shm and
# build/bench); VEXA_ALT_TIME names alt-time (default ../shared/tools/alt-time
# beside the repository).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=5 disk_rounds=3 files=20000 size_mb=200 big_mb=500 seed=1 disk=1 shapes=0
while [[ $# -gt 0 ]]; do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --disk-rounds) disk_rounds=$2; shift 2 ;;
        --files) files=$2; shift 2 ;;
        --size-mb) size_mb=$2; shift 2 ;;
        --big-mb) big_mb=$2; shift 2 ;;
        --seed) seed=$2; shift 2 ;;
        --no-disk) disk=0; shift ;;
        --shapes) shapes=1; shift ;;
        --quick) rounds=3 disk_rounds=3 files=2000 size_mb=20 big_mb=50; shift ;;
        -h|--help) sed -n '2,27p' "$0"; exit 0 ;;
        *) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

alt_time=${VEXA_ALT_TIME:-$root/../shared/tools/alt-time}
if [[ ! -f $alt_time ]]; then
    echo "compare.sh: no alt-time at $alt_time; set VEXA_ALT_TIME to its path" >&2
    exit 1
fi
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
export XDG_CONFIG_HOME=$tmpfs_base/config XDG_DATA_HOME=$tmpfs_base/data
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

# The files that hold a find text: a literal replacement rewrites exactly
# these, so every correct run must rewrite this many. The patterns come from
# a file: xargs may start grep more than once and each start reads them anew.
# The generator's own count must agree.
cut -d'`' -f1 "$rules" >"$tmpfs_base/finds.txt"
matching=$( (cd "$tmpfs_base/corpus" && xargs -0 grep -lZF -f "$tmpfs_base/finds.txt" -- <"$list" || true) |
    tr -cd '\0' | wc -c)
generated=$(sed -n 's/.*text, \([0-9]*\) with a find text.*/\1/p' "$tmpfs_base/corpus.txt")
if [[ $matching != "$generated" || $matching -eq 0 ]]; then
    echo "compare.sh: FAIL: $matching selected files hold a find text, the generator wrote $generated" >&2
    exit 1
fi

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
# The same rules as regular expressions, for vexa-cli -E and sd without -s:
# every character with a meaning of its own escaped, "$" doubled.
regex = [(esc(find, "\\.+*?[]^$(){}|"), repl.replace("$", "$$")) for find, repl in rules]
with open(out + "/rules.regex.txt", "w", encoding="utf-8") as f:
    for find, repl in regex:
        f.write("%s`%s\n" % (find, repl))
with open(out + "/sd_regex.args", "wb") as f:
    for find, repl in regex:
        f.write(find.encode() + b"\0" + repl.encode() + b"\0")
EOF
mapfile -d '' sd_args <"$tmpfs_base/sd.args"
mapfile -d '' rg_args <"$tmpfs_base/rg.args"
mapfile -d '' sd_regex_args <"$tmpfs_base/sd_regex.args"
rg_patterns=()
for ((i = 0; i < ${#rg_args[@]}; i += 2)); do rg_patterns+=(-e "${rg_args[i]}"); done

# The shell text of each tool's run on the tree DIR, as alt-time times it.
q() { printf '%q ' "$@"; }
# sd takes one rule per run: one run per find text and replacement pair.
sd_cmd() { # dir options find replacement ...
    local dir=$1 options=$2
    shift 2
    printf 'cd %s' "$(q "$dir")"
    while (($# >= 2)); do
        printf ' && xargs -0 sd %s %s<%s' "$options" "$(q "$1" "$2")" "$(q "$list")"
        shift 2
    done
    echo
}
tool_cmd() { # tool dir
    local dir=$2
    case $1 in
        # vexa-cli keeps its undo journal in XDG_DATA_HOME beside the tree, on
        # the same file system; each run first removes the previous run's.
        vexa) echo "XDG_DATA_HOME=$(q "$(dirname "$dir")/data") $(q "$cli" -s -y -q "$dir" "$suffixes" --rules "$rules") 2>$(q "$bench_state/vexa.log")" ;;
        vexa_noundo) echo "$(q "$cli" -s -y -q --no-undo "$dir" "$suffixes" --rules "$rules") 2>$(q "$bench_state/vexa.log")" ;;
        # The match modes' path: the same rules as regular expressions.
        vexa_regex) echo "$(q "$cli" -s -y -q --no-undo -E "$dir" "$suffixes" --rules "$tmpfs_base/rules.regex.txt") 2>$(q "$bench_state/vexa.log")" ;;
        vexa_nomatch) echo "XDG_DATA_HOME=$(q "$(dirname "$dir")/data") $(q "$cli" -s -y -q "$dir" "$suffixes" --rules "$nomatch") 2>$(q "$bench_state/vexa.log")" ;;
        # The dialog's run, timed by the program itself from the Start click
        # to "执行完成！"; its own start-up is not counted.
        dialog) echo "QT_QPA_PLATFORM=offscreen $(q "$dialog" "$dir" "$suffixes" "$rules") >>$(q "$dialog_secs") 2>/dev/null" ;;
        sed) echo "cd $(q "$dir") && xargs -0 sed -i -f $(q "$tmpfs_base/rules.sed") <$(q "$list")" ;;
        perl) echo "cd $(q "$dir") && xargs -0 perl -pi $(q "$tmpfs_base/rules.pl") <$(q "$list")" ;;
        sd) sd_cmd "$dir" "-s --" "${sd_args[@]}" ;;
        sd_regex) sd_cmd "$dir" "--" "${sd_regex_args[@]}" ;;
        cat) echo "cd $(q "$dir") && xargs -0 cat <$(q "$list") >/dev/null" ;;
        rg) echo "rg -j1 -F -c -uu -g '*.htm' -g '*.txt' -g '*.css' -g '*.js' $(q "${rg_patterns[@]}" "$dir") >/dev/null" ;;
    esac
}
# Around each timed command, two notes for the check that follows it: which
# tool ran and how it exited (two echos, microseconds and the same for every
# tool). alt-time itself lets any exit status 0 or 1 pass.
timed_cmd() { # tool dir
    echo "echo $1 >$(q "$bench_state/last"); { $(tool_cmd "$1" "$2"); }; echo \$? >>$(q "$bench_state/last")"
}

# The checks and the restore run in the shells that alt-time starts for its
# prepare step, so they and what they read are exported.
export bench_state=$tmpfs_base/state
export bench_expected=$tmpfs_base/expected
export bench_checks=$tmpfs_base/checks.log
export bench_selected=$selected bench_matching=$matching
dialog_secs=$bench_state/dialog.secs
mkdir -p "$bench_state"

# check_counts LOG REWRITTEN: vexa-cli's summary in LOG must say that it
# selected every file and rewrote REWRITTEN of them.
check_counts() {
    local want="已选文件 $bench_selected 个，已改写 $2 个，"
    if ! grep -qF "$want" "$1"; then
        echo "compare.sh: FAIL: vexa-cli's summary does not say \"$want\":" >&2
        cat "$1" >&2
        return 1
    fi
}
# check_tree TOOL DIR WANT: after TOOL, DIR must hold the same files as WANT,
# byte for byte.
check_tree() {
    if ! diff -rq "$3" "$2" >"$bench_state/diff.txt" 2>&1; then
        echo "compare.sh: FAIL: after $1, $2 differs from $3 in $(wc -l <"$bench_state/diff.txt") files:" >&2
        head "$bench_state/diff.txt" >&2
        return 1
    fi
}
# check_last PRISTINE WORK: the run that alt-time timed last on WORK must have
# exited as it should and left the rewritten tree (a writer) or the pristine
# one (a reader); vexa-cli's own counts must say so too.
check_last() {
    local tool= rc= want_rc=0 want_tree=$bench_expected rewritten=$bench_matching
    [[ -f $bench_state/last ]] || return 0
    { read -r tool; read -r rc; } <"$bench_state/last" || true
    rm -f "$bench_state/last"
    case $tool in
        cat) want_tree=$1 rewritten=0 ;;
        rg) want_rc=1 want_tree=$1 rewritten=0 ;; # 1: rg found nothing
        vexa_nomatch) want_tree=$1 rewritten=0 ;;
    esac
    if [[ $rc != "$want_rc" ]]; then
        echo "compare.sh: FAIL: the run of ${tool:-(unknown)} exited ${rc:-(no status)}, not $want_rc" >&2
        [[ $tool != vexa* ]] || cat "$bench_state/vexa.log" >&2
        return 1
    fi
    if [[ $tool == vexa* ]]; then
        check_counts "$bench_state/vexa.log" "$rewritten" || return 1
    fi
    check_tree "$tool" "$2" "$want_tree" || return 1
    echo "$tool $rewritten" >>"$bench_checks"
}
# restore PRISTINE WORK: a fresh copy of the whole tree, written back to the
# disk before the timed run starts.
restore() {
    rm -rf "$2" && cp -a "$1" "$2" && { sync -f "$2" 2>/dev/null || sync; }
}
export -f check_counts check_tree check_last restore

# The reference result, once, on two fresh copies of the tree: vexa-cli and
# sed must agree byte for byte and change exactly the files that hold a find
# text. vexa-cli's tree is then what every writer must leave.
make_expected() { # pristine
    local a=$tmpfs_base/a b=$tmpfs_base/b changed
    cp -a "$1" "$a"
    cp -a "$1" "$b"
    "$cli" -s -y -q "$a" "$suffixes" --rules "$rules" 2>"$bench_state/vexa.log" || {
        echo "compare.sh: vexa-cli exited $?; see its summary:" >&2
        cat "$bench_state/vexa.log" >&2
        exit 1
    }
    check_counts "$bench_state/vexa.log" "$matching"
    (cd "$b" && xargs -0 sed -i -f "$tmpfs_base/rules.sed" <"$list")
    if ! diff -rq "$a" "$b" >/dev/null; then
        echo "compare.sh: FAIL: vexa-cli's tree differs from sed's:" >&2
        diff -rq "$a" "$b" | head >&2
        exit 1
    fi
    changed=$(diff -rq "$1" "$a" | wc -l || true)
    if [[ $changed != "$matching" ]]; then
        echo "compare.sh: FAIL: vexa-cli and sed changed $changed files, not $matching" >&2
        exit 1
    fi
    mv "$a" "$bench_expected"
    rm -rf "$b"
    echo "check: vexa-cli's tree equals sed's byte for byte ($changed of $selected selected files rewritten)"
}

declare -A stats
# read_stats KEY JSON [DIALOG_SECS]: medians and ratios from alt-time's
# report into stats[KEY.median.TOOL] and stats[KEY.ratio.A/B]; the dialog's
# own times (the warm-up's first) give stats[KEY.median.dialog_self] and the
# median of the per-round ratios dialog / vexa-cli.
read_stats() {
    local key=$1 kind name value
    while read -r kind name value; do
        stats[$key.$kind.$name]=$value
    done < <(python3 - "$2" "${3:-}" <<'EOF'
import json, statistics, sys
report = json.load(open(sys.argv[1]))
for name, value in report["median"].items():
    print("median", name, value)
for pair, value in report["ratio"].items():
    print("ratio", pair, value)
for name, values in report["times"].items():
    print("times", name, " ".join("%.3f" % v for v in values))
if sys.argv[2]:
    own = [float(line) for line in open(sys.argv[2])]
    own = own[len(own) - len(report["times"]["vexa"]):]
    print("median", "dialog_self", statistics.median(own))
    print("times", "dialog_self", " ".join("%.3f" % v for v in own))
    print("ratio", "dialog_self/vexa",
          statistics.median(d / v for d, v in zip(own, report["times"]["vexa"])))
EOF
    )
}

bench_place() { # key label base rounds tools...
    local key=$1 label=$2 base=$3 rounds=$4 tool
    shift 4
    local tools=("$@") cmds=()
    local pristine=$base/pristine work=$base/work
    cp -a "$tmpfs_base/corpus" "$pristine"
    rm -f "$dialog_secs" "$bench_checks"
    for tool in "${tools[@]}"; do cmds+=("$tool=$(timed_cmd "$tool" "$work")"); done
    local report=$tmpfs_base/$key.json
    if ! python3 "$alt_time" --rounds "$rounds" --warmup 1 \
        --prepare "check_last $(q "$pristine" "$work")&& restore $(q "$pristine" "$work")" \
        "${cmds[@]}" >"$report"; then
        # No report: a check in the prepare step failed and said why above.
        local why="a check failed"
        [[ ! -s $report ]] || why=$(<"$report")
        echo "compare.sh: FAIL: alt-time stopped on $label: $why" >&2
        exit 1
    fi
    check_last "$pristine" "$work" || exit 1
    rm -rf "$work" "$pristine"
    local dialog_own=
    [[ " ${tools[*]} " != *" dialog "* ]] || dialog_own=$dialog_secs
    read_stats "$key" "$report" "$dialog_own"

    local v n c g p
    v=${stats[$key.median.vexa]}
    n=${stats[$key.median.vexa_nomatch]}
    c=${stats[$key.median.cat]}
    g=${stats[$key.median.rg]}
    printf '\n%s: %d selected files, %s MB, %d rounds after 1 warm-up round\n' \
        "$label" "$selected" "$selected_mb" "$rounds"
    printf '(median seconds; ratio = median of the per-round ratios vexa-cli / peer)\n'
    printf '  %-34s %8.3f   ratio %.3f (with journal / --no-undo)\n' "vexa-cli -s -y -q, with journal" "$v" \
        "${stats[$key.ratio.vexa/vexa_noundo]}"
    printf '  %-34s %8.3f\n' "vexa-cli -s -y -q --no-undo" "${stats[$key.median.vexa_noundo]}"
    for tool in "${tools[@]}"; do
        case $tool in sed|perl|sd) ;; *) continue ;; esac
        p=${stats[$key.median.$tool]}
        printf '  %-34s %8.3f   ratio %.3f (1/%.1f)\n' "$(peer_name "$tool")" "$p" \
            "${stats[$key.ratio.vexa/$tool]}" "${stats[$key.ratio.$tool/vexa]}"
    done
    printf '  %-34s %8.3f   ratio %.3f\n' "cat of the files (read bound)" "$c" "${stats[$key.ratio.vexa/cat]}"
    printf '  %-34s %8.3f\n' "vexa-cli, no rule matches" "$n"
    if [[ -n ${stats[$key.median.vexa_regex]:-} ]]; then
        printf '  %-34s %8.3f   ratio %.3f (1/%.1f) against sd, regex mode, same rules %.3f\n' \
            "vexa-cli -E, the rules as regexes" "${stats[$key.median.vexa_regex]}" \
            "${stats[$key.ratio.vexa_regex/sd_regex]}" "${stats[$key.ratio.sd_regex/vexa_regex]}" \
            "${stats[$key.median.sd_regex]}"
    fi
    printf '  %-34s %8.3f   ratio %.3f (no-match run / rg), %.3f (full run / rg)\n' \
        "rg -j1 -F -c, no-match patterns" "$g" "${stats[$key.ratio.vexa_nomatch/rg]}" "${stats[$key.ratio.vexa/rg]}"
    if [[ -n $dialog_own ]]; then
        printf '  %-34s %8.3f   ratio dialog / vexa-cli %.3f\n' "the dialog's run, same job" \
            "${stats[$key.median.dialog_self]}" "${stats[$key.ratio.dialog_self/vexa]}"
    fi
    echo "  seconds per round (as alt-time timed them; the dialog's also by its own clock):"
    for tool in "${tools[@]}"; do printf '    %-12s %s\n' "$tool" "${stats[$key.times.$tool]}"; done
    [[ -z $dialog_own ]] || printf '    %-12s %s\n' "dialog, own" "${stats[$key.times.dialog_self]}"
    # One line per run that alt-time made, warm-up included, each checked.
    echo "  checked after every run (rewritten files per run):"
    for tool in "${tools[@]}"; do
        printf '    %-12s %s\n' "$tool" "$(awk -v t="$tool" '$1 == t { printf "%s ", $2 }' "$bench_checks")"
    done
}
peer_name() {
    case $1 in
        sed) echo "sed -i (one pass, all rules)" ;;
        perl) echo "perl -pi (\\Q...\\E)" ;;
        sd) echo "sd -s (one pass per rule)" ;;
    esac
}

echo "machine: $(nproc) cores, $(awk '/model name/ { $1 = $2 = $3 = ""; print; exit }' /proc/cpuinfo | sed 's/^ *//'), $(free -g | awk '/Mem:/ { print $2 }') GB"
make_expected "$tmpfs_base/corpus"
bench_place tmpfs "tmpfs ($(stat -f -c %T "$tmpfs_base"))" "$tmpfs_base" "$rounds" \
    vexa vexa_noundo sed perl sd dialog cat vexa_nomatch rg vexa_regex sd_regex
if [[ $disk == 1 ]]; then
    bench_place disk "disk ($(stat -f -c %T "$disk_base"), $disk_base)" "$disk_base" "$disk_rounds" \
        vexa vexa_noundo sed cat vexa_nomatch rg
fi
rm -rf "$tmpfs_base/corpus" "$bench_expected"

# Peak memory on one large file that the rules rewrite.
vexa_log=$tmpfs_base/vexa-cli.log
python3 "$root/bench/gen_corpus.py" "$tmpfs_base/big" --one-file-mb "$big_mb" --seed "$seed" >/dev/null
big_bytes=$(stat -c %s "$tmpfs_base/big/big.txt")
/usr/bin/time -v -o "$tmpfs_base/time.txt" "$cli" -s -y -q "$tmpfs_base/big" '*.txt' \
    --rules "$tmpfs_base/big.rules.txt" 2>>"$vexa_log" >/dev/null
rss_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$tmpfs_base/time.txt")
printf '\npeak memory: %d MB for one file of %d MB: %.2fx the file size\n' \
    $((rss_kb / 1024)) $((big_bytes / 1000000)) "$(awk -v r="$rss_kb" -v b="$big_bytes" 'BEGIN { print r * 1024 / b }')"
if [[ $shapes == 1 ]]; then
    VEXA_CLI=$cli python3 "$root/bench/shapes.py" --rounds "$rounds"
fi
echo "total: $((SECONDS - started)) s"
