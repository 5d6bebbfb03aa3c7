#!/usr/bin/env bash
# The English catalog against the sources: every text marked for vexa-cli's
# catalog has its translation, no translation is fuzzy, and each keeps the
# number of "{}" its text has (FillMessage fills them in order).
# Usage: catalog_check.sh SOURCE_DIR
set -euo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$src/po/extract.sh" "$tmp/vexa.pot" "$src"
for po in "$src"/po/*.po; do
    msgcmp --use-untranslated "$po" "$tmp/vexa.pot" 2>/dev/null && msgcmp "$po" "$tmp/vexa.pot" ||
        { echo "catalog_check: $po lacks texts of the sources (cmake --build ... --target vexa-pot)" >&2; exit 1; }
    if msgattrib --only-fuzzy "$po" | grep -q '^msgid'; then
        echo "catalog_check: $po has fuzzy translations" >&2
        exit 1
    fi
    # msgexec runs the check once per message: the text in MSGEXEC_MSGID,
    # its translation on standard input.
    msgexec -i "$po" sh -c '
        [ "$(printf %s "$MSGEXEC_MSGID" | grep -o "{}" | wc -l)" = "$(grep -o "{}" | wc -l)" ] ||
            { echo "catalog_check: the {} of \"$MSGEXEC_MSGID\" differ" >&2; exit 1; }' ||
        exit 1
done
echo "catalog_check: every text has its translation"
