#!/usr/bin/env bash
# Starts the dialog from the default build; explains instead of crashing when
# there is no display to show it on.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/default/src/ui/vexa
if [[ ! -x $bin ]]; then
    echo "vexa: the dialog is not built yet; the engine self-check runs instead" >&2
    exec build/default/src/cli/vexa-cli --version
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "vexa: no display found (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
    echo "vexa: start it from a desktop session, or try: xvfb-run $bin" >&2
    exit 1
fi
exec "$bin" "$@"
