#!/usr/bin/env bash
# Checks the .deb that ./dev package made, without installing it: unpacked
# into a temporary folder of its own, the programs run, the desktop entry,
# the AppStream metadata and the manual pages are checked by their own
# tools, and lintian must report no error (its warnings are printed).
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
    usr/share/doc/vexa/changelog.Debian.gz usr/share/bash-completion/completions/vexa-cli \
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
desktop-file-validate "$root/usr/share/applications/vexa.desktop"
echo "ok: desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
grep -q '<project_license>MIT</project_license>' "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo does not say MIT"
for page in vexa-cli vexa; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >"$tmp/$page.txt")
    [[ -z $warnings ]] || fail "man -l $page.1.gz: $warnings"
    grep -q '^NAME' "$tmp/$page.txt" || fail "man -l $page.1.gz shows no NAME section"
    echo "ok: man -l $page.1.gz ($(wc -l <"$tmp/$page.txt") lines)"
done
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

lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
echo "lintian:"
echo "${lintian_out:-  (nothing)}"
grep -q '^E:' <<<"$lintian_out" && fail "lintian reports errors"
echo "check-package: all checks passed for $deb"
