#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vexa need.
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-translations-l10n
    gettext
    fonts-noto-cjk locales
    libxxhash-dev
    libboost-regex1.81-dev
    bash-completion
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
# The fuzz targets: clang and its libFuzzer and sanitizer runtimes.
if [[ "${VEXA_SETUP_FUZZ:-0}" == 1 ]]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi
if [[ "${VEXA_SETUP_DESKTOP:-0}" == 1 ]]; then
    packages+=(xvfb xdotool x11-utils imagemagick openbox)
    # The checks that read the windows through the accessibility bus.
    packages+=(at-spi2-core python3-pyatspi dbus)
fi
# The Windows cross build and its tests under wine. --no-install-recommends
# leaves /usr/bin/wine out unless wine itself is named; googletest ships the
# sources the build compiles for the target.
locales_wanted=()
if [[ "${VEXA_SETUP_WINDOWS:-0}" == 1 ]]; then
    packages+=(g++-mingw-w64-x86-64-posix wine wine64 googletest)
    # The Windows dialog's test drives it in a virtual X display.
    packages+=(xvfb xdotool)
    locales_wanted+=("en_US.UTF-8 UTF-8" "zh_CN.UTF-8 UTF-8" "zh_CN.GBK GBK")
fi
# The Windows setup program (makensis; the programs need no DLL beside them)
# and the .zip's listing in scripts/check-windows-package.sh.
if [[ "${VEXA_SETUP_WINDOWS_PACKAGE:-0}" == 1 ]]; then
    packages+=(nsis unzip)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
# locale -a lists the character set in lower case, "utf8" without the dash.
locales_missing=()
for l in "${locales_wanted[@]}"; do
    name=${l%% *}
    codeset=$(echo "${name#*.}" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
    listed="${name%%.*}.$codeset"
    locale -a 2>/dev/null | grep -qx "$listed" || locales_missing+=("$l")
done
[[ ${#missing[@]} -eq 0 && ${#locales_missing[@]} -eq 0 ]] && exit 0

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "setup: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [[ ${#locales_missing[@]} -gt 0 ]]; then
    echo "setup: generating locales ${locales_missing[*]}" >&2
    for l in "${locales_missing[@]}"; do
        "${sudo_cmd[@]}" sed -i -E "s/^# *(${l//./\\.})\$/\\1/" /etc/locale.gen
        grep -qx "$l" /etc/locale.gen || echo "$l" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
fi
