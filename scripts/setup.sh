#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vexa need.
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-translations-l10n
    fonts-noto-cjk locales
    libxxhash-dev
)
if [[ "${VEXA_SETUP_BENCH:-0}" == 1 ]]; then
    packages+=(sd hyperfine ripgrep time python3)
fi
if [[ "${VEXA_SETUP_PACKAGE:-0}" == 1 ]]; then
    # dpkg-shlibdeps and strip for CPack; the checks of scripts/check-package.sh
    packages+=(dpkg-dev file binutils lintian appstream desktop-file-utils man-db bash-completion)
fi
if [[ "${VEXA_SETUP_FORMAT:-0}" == 1 ]]; then
    packages+=(clang-format)
fi
if [[ "${VEXA_SETUP_DESKTOP:-0}" == 1 ]]; then
    packages+=(xvfb xdotool x11-utils imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
