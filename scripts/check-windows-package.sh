#!/usr/bin/env bash
# Checks the Windows setup and .zip that ./dev windows-package made, under
# wine, in a wine prefix of its own inside a temporary folder:
#   - the .zip holds both programs, the licence and the read-me in one
#     folder, and its vexa-cli.exe runs;
#   - per machine, silently (/S): both programs, the uninstaller beside them,
#     the installed vexa-cli.exe prints the version, the Start menu shortcut
#     Korvane leads to vexa.exe, Programs and Features lists Korvane with
#     its version, publisher and icon, and no PATH is touched; installed
#     again over it with /AddToPath, the folder ends the system's PATH and
#     vexa-cli is found through it;
#   - per user (/CurrentUser /AddToPath) beside a PATH of the user's own;
#   - per user in a folder given with /D=: a PATH too long for the setup's
#     strings, and one the folder would lengthen to 1,024 characters, stay
#     as they are to the last character; one it lengthens to 1,023 takes it;
# and after each silent uninstall (the QuietUninstallString of Programs and
# Features) nothing of the program is left, and every PATH is back to what
# it was before, byte for byte.
# Usage: scripts/check-windows-package.sh [SETUP.exe [ZIP]]
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Vexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=${1:-build/vexa-$version-setup.exe}
zip=${2:-build/vexa-$version-win64.zip}
fail() { echo "check-windows-package: FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }
for f in "$setup" "$zip"; do
    [[ -f $f ]] || fail "$f not found (run ./dev windows-package first)"
done
setup=$(realpath "$setup") zip=$(realpath "$zip")
command -v wine >/dev/null || fail "wine is not installed (VEXA_SETUP_WINDOWS=1 scripts/setup.sh)"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vexa-winpkg-XXXXXX")
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all LC_ALL=C.UTF-8
# No Mono or Gecko prompt at the prefix's creation, no menu entries of the
# host desktop for the shortcuts, no debugger window when a program crashes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share \
    XDG_CACHE_HOME=$tmp/home/.cache XDG_RUNTIME_DIR=$tmp
trap 'timeout 20 wineserver -k >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
mkdir -p "$HOME"
cd "$tmp"

# The .zip.
expected_zip=$(printf "vexa-$version-win64/%s\n" LICENSE.txt README.txt vexa-cli.exe vexa.exe)
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
[[ $listed == "$expected_zip" ]] || fail "the .zip holds:"$'\n'"$listed"
unzip -q "$zip" -d "$tmp/zip"
timeout 180 wineboot --init >/dev/null 2>&1 || fail "wineboot could not make the prefix"
got=$(timeout 60 wine "$tmp/zip/vexa-$version-win64/vexa-cli.exe" --version | tr -d '\r')
[[ $got == "vexa-cli $version" ]] || fail "vexa-cli.exe --version from the .zip said: $got"
ok "the .zip holds vexa.exe, vexa-cli.exe, LICENSE.txt and README.txt; its vexa-cli.exe says $got"

# Windows folders of this prefix as Windows and as Linux names.
winvar() { timeout 60 wine cmd /c "echo %$1%" | tr -d '\r'; }
unix() { timeout 60 winepath -u "$1" | tr -d '\r' | sed 's:/$::'; }
program_files='C:\Program Files'
local_programs="$(winvar LOCALAPPDATA)\\Programs"
common_menu="$(winvar ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs"
user_menu="$(winvar APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
machine_env='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
user_env='HKCU\Environment'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexa'

# reg_value KEY NAME: the value's data; fails when there is no such value.
# A query is tried three times: once in a CI run, reg.exe failed for a
# value the setup had just written and the next query found it.
reg_value() {
    local out try
    for try in 1 2 3; do
        if out=$(timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r'); then
            sed -n "s/^    $2    REG_[A-Z_]*    //p" <<<"$out"
            return 0
        fi
        sleep 2
    done
    return 1
}
# What the key holds, for a failure's message.
reg_dump() { timeout 60 wine reg query "$1" 2>&1 | tr -d '\r' || true; }
reg_type() { timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $2 }'; }
set_user_path() {
    timeout 60 wine reg add "$user_env" /v Path /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1 ||
        fail "could not set the user's PATH"
}
# wineserver -w: the uninstaller runs on from a copy of itself in the
# temporary folder after the program started returns.
run_setup() {
    timeout 180 wine "$setup" "$@" || fail "the setup $* exited with status $?"
    timeout 120 wineserver -w
}
# Uninstalls as Programs and Features would, by the entry's QuietUninstallString.
run_uninstall() {
    local root=$1 quiet exe
    quiet=$(reg_value "$root\\$uninstall_key" QuietUninstallString) || fail "no QuietUninstallString"
    exe=${quiet#\"} exe=${exe%%\"*}
    read -ra args <<<"${quiet##*\" }"
    timeout 180 wine "$exe" "${args[@]}" || fail "$quiet exited with status $?"
    timeout 120 wineserver -w
}
# A PATH of N entries C:\long\entryNNN, 16 characters each.
long_path() { seq -f 'C:\long\entry%03g' 0 $(($1 - 1)) | paste -sd ';'; }

# check_installed ROOT MODE FOLDER MENU: everything a silent installation
# in that mode promises.
check_installed() {
    local root=$1 mode=$2 folder=$3 menu=$4 dir key got
    dir=$(unix "$folder") key="$root\\$uninstall_key"
    for f in vexa.exe vexa-cli.exe uninstall.exe LICENSE.txt README.txt; do
        [[ -f $dir/$f ]] || fail "$mode: $folder\\$f is missing"
    done
    got=$(timeout 60 wine "$folder\\vexa-cli.exe" --version | tr -d '\r')
    [[ $got == "vexa-cli $version" ]] || fail "$mode: the installed vexa-cli.exe --version said: $got"
    ok "$mode: $folder holds vexa.exe, vexa-cli.exe and uninstall.exe; vexa-cli.exe --version says $got"

    local lnk
    lnk="$(unix "$menu")/Korvane.lnk"
    [[ -f $lnk ]] || fail "$mode: no shortcut $menu\\Korvane.lnk"
    grep -aqF "$folder\\vexa.exe" "$lnk" || fail "$mode: Korvane.lnk does not lead to $folder\\vexa.exe"
    ok "$mode: the Start menu shortcut $menu\\Korvane.lnk leads to vexa.exe"

    local name
    local -A want=([DisplayName]=Korvane [DisplayVersion]=$version [Publisher]="The Vexa developers"
        [DisplayIcon]="$folder\\vexa.exe,0" [InstallLocation]=$folder
        [UninstallString]="\"$folder\\uninstall.exe\" /$mode")
    for name in "${!want[@]}"; do
        got=$(reg_value "$key" "$name") || fail "$mode: $key has no $name; it holds:"$'\n'"$(reg_dump "$key")"
        [[ $got == "${want[$name]}" ]] || fail "$mode: $key $name is '$got', not '${want[$name]}'"
    done
    timeout 60 wine uninstaller --list | tr -d '\r' | grep -qx 'Vexa|||Korvane' ||
        fail "$mode: Programs and Features does not list Korvane"
    ok "$mode: Programs and Features lists Korvane $version by The Vexa developers, icon vexa.exe, in $root"
}

# check_removed MODE: no program, shortcut, folder or entry left anywhere.
check_removed() {
    local mode=$1 left
    left=$(find "$WINEPREFIX/drive_c" \( -iname 'vexa*.exe' -o -iname 'uninstall.exe' -o -iname 'Korvane.lnk' \
        -o -ipath '*/Programs/Vexa' -o -ipath '*/Program Files/Vexa' \) -print)
    [[ -z $left ]] || fail "$mode: left after the uninstall:"$'\n'"$left"
    for root in HKLM HKCU; do
        ! timeout 60 wine reg query "$root\\$uninstall_key" >/dev/null 2>&1 ||
            fail "$mode: $root\\$uninstall_key is still there"
    done
    ! timeout 60 wine uninstaller --list | grep -q Korvane || fail "$mode: Programs and Features still lists Korvane"
    ok "$mode: the silent uninstall left no vexa*.exe, shortcut, folder or uninstall entry"
}

# expect_path KEY WANT WHAT: the Path value under KEY is WANT; "-" for none.
expect_path() {
    local got
    got=$(reg_value "$1" Path) || got=-
    [[ $got == "$2" ]] || fail "$3: the Path of $1 is"$'\n'"  $got"$'\n'"not"$'\n'"  $2"
}

machine_path=$(reg_value "$machine_env" Path) || fail "the prefix has no system Path"
! reg_value "$user_env" Path >/dev/null || fail "a new prefix has a user Path"

# Per machine, as an administrator's silent installation does by default.
run_setup /S
check_installed HKLM AllUsers "$program_files\\Vexa" "$common_menu"
expect_path "$machine_env" "$machine_path" "the default installation"
expect_path "$user_env" - "the default installation"
ok "AllUsers: without /AddToPath no PATH changed"
run_setup /S /AddToPath
check_installed HKLM AllUsers "$program_files\\Vexa" "$common_menu"
expect_path "$machine_env" "$machine_path;$program_files\\Vexa" "/AddToPath"
[[ $(reg_type "$machine_env" Path) == REG_EXPAND_SZ ]] || fail "the system Path is no longer REG_EXPAND_SZ"
got=$(timeout 60 wine cmd /c 'vexa-cli --version' | tr -d '\r')
[[ $got == "vexa-cli $version" ]] || fail "vexa-cli through the system PATH said: $got"
ok "AllUsers: installed again with /AddToPath, the folder ends the system PATH; cmd finds vexa-cli"
run_uninstall HKLM
check_removed AllUsers
expect_path "$machine_env" "$machine_path" "the uninstall"
ok "AllUsers: the system PATH is as before"

# Per user, beside a PATH of the user's own with a variable in it.
user_path='C:\keep;%USERPROFILE%\bin'
set_user_path "$user_path"
run_setup /S /CurrentUser /AddToPath
check_installed HKCU CurrentUser "$local_programs\\Vexa" "$user_menu"
expect_path "$user_env" "$user_path;$local_programs\\Vexa" "/CurrentUser /AddToPath"
expect_path "$machine_env" "$machine_path" "/CurrentUser /AddToPath"
got=$(timeout 60 wine cmd /c 'vexa-cli --version' | tr -d '\r')
[[ $got == "vexa-cli $version" ]] || fail "vexa-cli through the user's PATH said: $got"
ok "CurrentUser: the folder ends the user's PATH, the system PATH is untouched; cmd finds vexa-cli"
run_uninstall HKCU
check_removed CurrentUser
expect_path "$user_env" "$user_path" "the per-user uninstall"
ok "CurrentUser: the user's PATH is as before"

# The setup holds a PATH in strings of NSIS_MAX_STRLEN (1,024) characters,
# the final zero included, and must never write one back cut short. In a
# folder of the user's choice (/D=): a PATH it cannot even read, one that the
# folder and its semicolon would lengthen to 1,024, both left as they are;
# then one that they lengthen to 1,023, which takes the folder.
folder='C:\Tools\Korvane'
unreadable=$(long_path 80)
too_long_by_one="C:\\$(printf 'p%.0s' $(seq $((1024 - 1 - ${#folder} - 3))))"
for user_path in "$unreadable" "$too_long_by_one"; do
    set_user_path "$user_path"
    run_setup /S /CurrentUser /AddToPath "/D=$folder"
    expect_path "$user_env" "$user_path" "a PATH of ${#user_path} characters"
    ! reg_value "HKCU\\$uninstall_key" PathEntry >/dev/null || fail "a PATH entry was recorded that was not added"
done
check_installed HKCU CurrentUser "$folder" "$user_menu"
user_path=${too_long_by_one%p}
set_user_path "$user_path"
run_setup /S /CurrentUser /AddToPath "/D=$folder"
expect_path "$user_env" "$user_path;$folder" "a PATH that can take the folder"
got=$(reg_value "$user_env" Path)
ok "CurrentUser in $folder: PATHs of ${#unreadable} and $((${#too_long_by_one} + 1 + ${#folder})) characters with the folder are left as they are, one of ${#got} takes it"
run_uninstall HKCU
check_removed CurrentUser
[[ ! -e $(unix "$folder") ]] || fail "$folder is still there"
expect_path "$user_env" "$user_path" "the uninstall after a long PATH"
ok "CurrentUser in $folder: uninstalled, the user's PATH is as before"

echo "check-windows-package: all checks passed for $(basename "$setup") and $(basename "$zip")"
