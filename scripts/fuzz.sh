#!/usr/bin/env bash
# Runs each fuzz target of build/fuzz (./dev fuzz builds it) for SECONDS
# (60 by default), one after another, on a copy of its seed corpus in a
# temporary folder, and prints how many inputs each ran. A finding stops it
# with status 1; the input that found it is kept in build/fuzz/findings/.
# usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(rules_file suffix journal text_mark code_page)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${targets[@]}"; do
    fuzzer=$PWD/build/fuzz/tests/fuzz/${name}_fuzzer
    [[ -x $fuzzer ]] || { echo "fuzz: no $fuzzer (build the preset fuzz)" >&2; exit 2; }
    dir=$work/$name
    mkdir -p "$dir/corpus" "$dir/found"
    cp tests/fuzz/"${name}"_seeds/* "$dir/corpus/"
    # TMPDIR: what a target makes for itself stays in this run's folder.
    if ! (cd "$dir" && TMPDIR=$dir "$fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=found/ corpus >log 2>&1); then
        tail -n 40 "$dir/log" >&2
        kept=build/fuzz/findings/$name
        mkdir -p "$kept"
        cp "$dir"/found/* "$kept/" 2>/dev/null || true
        echo "fuzz: $name found a fault; the input is in $kept (replay: $fuzzer FILE)" >&2
        exit 1
    fi
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$dir/log")
    echo "fuzz: $name: ${runs:-?} inputs in $seconds s, no finding" >&2
done
