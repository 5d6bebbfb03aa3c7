#!/usr/bin/env bash
# Writes the catalog template (the texts vexa-cli can print, as marked in the
# sources with N_, Tr and FillMessage) to $1, from the source tree $2.
set -euo pipefail
out=$1
src=${2:-$(dirname "$0")/..}
cd "$src"
find src/platform src/engine src/prep src/app src/cli -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
    xargs xgettext --from-code=UTF-8 --language=C++ -k -kN_ -kTr -kFillMessage:1 \
        --add-location=file --sort-by-file --package-name=vexa \
        --msgid-bugs-address=vexa@example.org -o "$out"
