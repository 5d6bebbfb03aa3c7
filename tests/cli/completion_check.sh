#!/usr/bin/env bash
# The bash completion of vexa-cli, sourced as bash-completion loads it and
# run in a temporary folder whose names hold command substitutions, spaces,
# quotes and newlines: completing runs nothing hidden in a name, offers the
# suffix patterns the program selects by, quoted so that the shell reads
# them back exactly, and reads the options that take values as vexa-cli does.
# usage: completion_check.sh COMPLETION_SCRIPT
set -euo pipefail
script=$(realpath "$1")
helpers=/usr/share/bash-completion/bash_completion
[[ -r $helpers ]] || { echo "no $helpers: install bash-completion (scripts/setup.sh)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir site quotes 'odd $(touch${IFS}PWNED_DIR) dir'
touch 'site/x.$(touch${IFS}PWNED).txt' 'site/a b.txt' "site/it's.htm" 'site/say "hi".css' \
    $'site/two\nlines.md' 'site/y.$(>P).z' 'site/`touch${IFS}PWNED`.js' 'site/long.abcdefghijk' \
    'site/empty..x' 'site/r.txt' 'site/star.*.x' "quotes/q.it's.v" 'quotes/d.a"b.w'

# Each line is completed as typed (words split at spaces); the candidates
# come out one per line, a line of "--" after each completion.
results=$(bash -c '
    source "$1" && source "$2"
    shift 2
    for line in "$@"; do
        COMP_LINE=$line COMP_POINT=${#line} COMPREPLY=()
        read -ra COMP_WORDS <<<"$line"
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _vexa_cli
        printf "%s\n" "${COMPREPLY[@]}" --
    done' _ "$helpers" "$script" \
    'vexa-cli site ' 'vexa-cli -s site *.t' "vexa-cli site '*.txt;*.h" 'vexa-cli -j 4 site *.t' \
    'vexa-cli -sj 2 site *.h' 'vexa-cli --jobs=2 site *.c' 'vexa-cli --exc r.txt site *.j' \
    'vexa-cli -j ' 'vexa-cli --undo site ' 'vexa-cli --forget ' 'vexa-cli --journal ' \
    'vexa-cli --rules site/r.' 'vexa-cli --rename-rules=site/r.' 'vexa-cli --rules -' \
    'vexa-cli --di' 'vexa-cli --jo' 'vexa-cli quotes ')
mapfile -t got < <(printf '%s\n' "$results" | awk '/^--$/ { print line; line = ""; next }
    { line = line (line == "" ? "" : "|") $0 }')

fail() { echo "FAIL: $*" >&2; exit 1; }
pwned=$(find "$tmp" -name 'PWNED*' -o -name P)
[[ -z $pwned ]] || fail "completing ran a command hidden in a name: $pwned"
# The shell reads the candidates back as every suffix pattern of at most 10
# bytes without a semicolon, and nothing runs on the way.
sorted() { IFS='|' read -ra list <<<"$1" && printf '%s\n' "${list[@]}" | sort; }
read_back() {
    local candidate out=()
    IFS='|' read -ra list <<<"$1"
    for candidate in "${list[@]}"; do
        eval "candidate=$candidate"
        out+=("$candidate")
    done
    sorted "$(IFS='|' && echo "${out[*]}")"
}
[[ $(read_back "${got[0]}") == "$(sorted '*.*|*.txt|*.htm|*.css|*.md|*.js|*.$(>P)')" ]] ||
    fail "the folder's patterns: ${got[0]}"
[[ $(read_back "${got[16]}") == "$(sorted "*.*|*.it's|*.a\"b")" ]] || fail "quotes: ${got[16]}"
[[ -z $(find "$tmp" -name 'PWNED*' -o -name P) ]] || fail "reading a candidate back ran it"
expected=('' '*.txt' '*.txt;*.htm' '*.txt' '*.htm' '*.css' '*.js' '' '' 'odd $(touch${IFS}PWNED_DIR) dir|quotes|site'
    '' 'site/r.txt' 'site/r.txt' '-' '--diff' '--journal|--jobs')
for ((i = 1; i < ${#expected[@]}; i++)); do
    [[ $(sorted "${got[i]}") == "$(sorted "${expected[i]}")" ]] ||
        fail "completion $i: got '${got[i]}', wanted '${expected[i]}'"
done
echo "ok: ${#got[@]} completions, nothing run"
