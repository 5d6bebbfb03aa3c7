#!/usr/bin/env bash
# Checks the .deb that ./dev package made, without installing it: unpacked
# into a temporary folder of its own, the programs run (vexa-cli in English
# under an English locale, from where it was unpacked), the desktop entry,
# the AppStream metadata (pedantic) and the manual pages of both languages
# are checked by their own tools, and lintian must report no warning.
# Usage: scripts/check-package.sh [path/to/vexa_VERSION_amd64.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Vexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=${1:-build/vexa_${version}_amd64.deb}
fail() { echo "check-package: FAIL: $*" >&2; exit 1; }
[[ -f $deb ]] || fail "$deb not found (run ./dev package first)"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data
mkdir -p "$HOME"
root=$tmp/root
dpkg-deb -x "$deb" "$root"

control=$(dpkg-deb -f "$deb")
grep -q "^Version: $version\$" <<<"$control" || fail "the version is not $version"
for dep in fonts-noto-cjk qt6-translations-l10n libqt6widgets6 libc6; do
    grep -q "^Depends:.*\b$dep\b" <<<"$control" || fail "Depends lacks $dep"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -Eq '(pre|post)(inst|rm)$' &&
    fail "the package has maintainer scripts"
for f in usr/bin/vexa usr/bin/vexa-cli usr/share/doc/vexa/copyright \
    usr/share/doc/vexa/changelog.gz usr/share/bash-completion/completions/vexa-cli \
    usr/share/man/{,zh_CN/}man1/vexa{,-cli}.1.gz usr/share/locale/en/LC_MESSAGES/vexa.mo \
    usr/share/icons/hicolor/{16x16,32x32,48x48}/apps/vexa.png \
    usr/share/icons/hicolor/scalable/apps/vexa.svg; do
    [[ -f $root/$f ]] || fail "$f is missing"
done
for bin in vexa vexa-cli; do
    file "$root/usr/bin/$bin" | grep -q ', stripped' || fail "$bin is not stripped"
done

got=$("$root/usr/bin/vexa-cli" --version)
[[ $got == "vexa-cli $version" ]] || fail "vexa-cli --version said: $got"
echo "ok: $got"
# The catalog is found beside the program wherever it lies; the locale is
# built here, as the machine may have none but C.
localedef -i en_US -f UTF-8 "$tmp/en_US.UTF-8" >/dev/null 2>&1 || fail "localedef en_US.UTF-8 failed"
said=$(LOCPATH=$tmp LC_ALL=en_US.UTF-8 "$root/usr/bin/vexa-cli" -y "$tmp/nowhere" '*.txt' 2>&1 || true)
[[ $said == "vexa-cli: $tmp/nowhere: no such folder" ]] || fail "vexa-cli under en_US.UTF-8 said: $said"
said=$(LC_ALL=C.UTF-8 "$root/usr/bin/vexa-cli" -y "$tmp/nowhere" '*.txt' 2>&1 || true)
[[ $said == "vexa-cli: $tmp/nowhere: 路径无效！" ]] || fail "vexa-cli under C.UTF-8 said: $said"
echo "ok: vexa-cli in English under en_US.UTF-8, in Chinese under C.UTF-8"
desktop-file-validate "$root/usr/share/applications/vexa.desktop"
echo "ok: desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
grep -q '<project_license>MIT</project_license>' "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo does not say MIT"
# English pages in man1, Chinese ones in zh_CN/man1: each renders without a
# warning on an ASCII terminal (C) and a UTF-8 one; under C the English page
# holds no character outside ASCII, and the Chinese one points to it.
for page in man1/vexa-cli man1/vexa zh_CN/man1/vexa-cli zh_CN/man1/vexa; do
    for locale in C C.UTF-8; do
        out=$tmp/$(tr / _ <<<"$page").$locale.txt
        warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page.1.gz" 2>&1 >"$out")
        [[ -z $warnings ]] || fail "LC_ALL=$locale man -l $page.1.gz: $warnings"
        grep -q '^NAME' "$out" || fail "LC_ALL=$locale man -l $page.1.gz shows no NAME section"
        echo "ok: LC_ALL=$locale man -l $page.1.gz ($(wc -l <"$out") lines)"
    done
done
LC_ALL=C grep -q '[^ -~]' "$tmp/man1_vexa-cli.C.txt" && fail "man1/vexa-cli.1.gz under C holds non-ASCII text"
grep -q 'vexa-cli(1) in the man1' "$tmp/zh_CN_man1_vexa-cli.C.txt" ||
    fail "zh_CN/man1/vexa-cli.1.gz under C does not point to the English page"
grep -q '包含子目录' "$tmp/zh_CN_man1_vexa-cli.C.UTF-8.txt" || fail "zh_CN/man1/vexa-cli.1.gz is not Chinese"
# The completion, as bash-completion would load it: options, and suffix
# patterns from the files of the folder given first.
mkdir -p "$tmp/site" && touch "$tmp/site/a.txt" "$tmp/site/jquery.min.js"
completed=$(cd "$tmp" && bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    for line in "vexa-cli --di" "vexa-cli -s site "; do
        COMP_LINE=$line COMP_POINT=${#line}
        read -ra COMP_WORDS <<<"$line"
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _vexa_cli
        echo "${COMPREPLY[*]}"
    done' _ "$root/usr/share/bash-completion/completions/vexa-cli")
[[ $completed == $'--diff\n*.* *.txt *.min' || $completed == $'--diff\n*.* *.min *.txt' ]] ||
    fail "the completion offered: $completed"
echo "ok: bash completion"

lintian_status=0
lintian_out=$(lintian --fail-on warning --tag-display-limit 0 "$deb" 2>&1) || lintian_status=$?
lintian_out=$(grep -v 'running with root privileges' <<<"$lintian_out" || true)
echo "lintian:"
echo "${lintian_out:-  (nothing)}"
((lintian_status == 0)) || fail "lintian reports warnings or errors"
echo "ok: lintian --fail-on warning"
echo "check-package: all checks passed for $deb"
