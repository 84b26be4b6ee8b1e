#!/usr/bin/env bash
# Packages Kiv (scripts/package.sh), then, under Wine in a fresh prefix of its own: installs the
# setup program silently, starts Kiv through its Start-menu shortcut, installs again over the
# running Kiv, uninstalls, and runs Kiv from the unpacked zip. One line per check, then
# "N passed, N failed"; the exit code is 0 only when every check passed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
outer_build=${KIV_BUILD_DIR:-$root/build}
log_dir="$outer_build/install-test"
rm -rf "$log_dir"
mkdir -p "$log_dir"

if ! "$root/scripts/package.sh" > "$log_dir/package.log" 2>&1; then
    cat "$log_dir/package.log"
    echo "0 passed, 1 failed"
    exit 1
fi
grep '^package:' "$log_dir/package.log"
version=$(sed -n 's/^project(Kiv VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
dist=${KIV_DIST_DIR:-$root/dist}
setup="$dist/Kiv-$version-setup.exe"
zip_file="$dist/Kiv-$version.zip"

# A prefix of its own, made anew, so that nothing of an earlier run or of the other tests counts.
build="$log_dir"
source "$root/scripts/wine-env.sh"
trap kiv_wine_stop EXIT
# Creating Start-menu shortcuts would otherwise write menu entries into the Linux home.
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f \
    > "$log_dir/reg.log" 2>&1

passed=0
failed=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
        passed=$((passed + 1))
    else
        echo "FAIL $what"
        failed=$((failed + 1))
    fi
}
wait_for() { # seconds, then a command; true as soon as the command succeeds
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while [ $SECONDS -lt $end ]; do
        "$@" && return 0
        sleep 0.5
    done
    "$@"
}
probe="$outer_build/bin/winprobe.exe"
# Visible windows of the program's own window class (the top windows).
kiv_windows() { wine "$probe" > "$log_dir/windows.txt" 2>/dev/null; grep -c $'\tNWindowClass\tvisible\t' "$log_dir/windows.txt"; }
has_kiv_window() { [ "$(kiv_windows)" -gt 0 ]; }
no_kiv_window() { [ "$(kiv_windows)" -eq 0 ]; }

user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
install_dir="$user_dir/AppData/Local/Programs/Kiv"
data_dir="$user_dir/AppData/Roaming/Kiv"
menu_dir="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kiv"
win_user='C:\users\'"$(id -un)"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiv'

wine "$setup" /S > "$log_dir/setup1.log" 2>&1
check "the setup program installs silently" test $? -eq 0
all_files() {
    local f
    for f in Kiv.exe KivProp.kxe KivRen.kxe KivAbout.kxe KIV.chm README.txt LICENSE.txt \
        uninstall.exe; do
        [ -f "$install_dir/$f" ] || return 1
    done
}
check "the programs, help, readme, licence and uninstaller are in the user's programs folder" all_files
check "the Start-menu shortcut exists" test -f "$menu_dir/Kiv.lnk"
check "no start-with-Windows shortcut unless chosen" \
    test ! -e "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup/Kiv.lnk"
check "the data folder is created" test -d "$data_dir"
registered() {
    wine reg query "$uninstall_key" /v DisplayVersion > "$log_dir/reg-query.log" 2>&1 &&
        grep -q "$version" "$log_dir/reg-query.log"
}
check "the uninstaller is registered with the version" registered

# The shortcut starts Kiv with the data folder as its working directory.
wine start "$win_user"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Kiv\Kiv.lnk' \
    > "$log_dir/start.log" 2>&1
check "Kiv started from the Start menu creates IconData in the data folder" \
    wait_for 60 test -d "$data_dir/IconData/TopWindow1"
check "a top window appears" wait_for 60 has_kiv_window

wine "$setup" /S > "$log_dir/setup2.log" 2>&1
check "a second install over the running Kiv succeeds" test $? -eq 0
check "the second install closed the running Kiv first" wait_for 60 no_kiv_window
check "the programs are still installed" all_files

wine "$install_dir/uninstall.exe" /S > "$log_dir/uninstall.log" 2>&1
# The uninstaller copies itself to the temporary folder and goes on there, after the call has
# returned; the wineserver is kept alive for the whole run, so wait for its work instead.
check "the uninstaller removes the programs folder" wait_for 60 test ! -e "$install_dir"
check "the uninstaller removes the Start-menu folder" test ! -e "$menu_dir"
not_registered() { ! wine reg query "$uninstall_key" > "$log_dir/reg-query2.log" 2>&1; }
check "the uninstaller removes its registration" not_registered
check "the uninstaller keeps the data folder" test -d "$data_dir/IconData/TopWindow1"

unpacked="$log_dir/unpacked"
mkdir -p "$unpacked/work"
unzip -q "$zip_file" -d "$unpacked" 2>"$log_dir/unzip.log"
check "the zip unpacks to a folder with the four programs and the help" \
    test -f "$unpacked/Kiv-$version/KivAbout.kxe" -a -f "$unpacked/Kiv-$version/KIV.chm"
(cd "$unpacked/work" && exec wine "$unpacked/Kiv-$version/Kiv.exe") > "$log_dir/zip-kiv.log" 2>&1 &
zip_kiv=$!
check "Kiv runs from the unpacked zip" wait_for 60 test -d "$unpacked/work/IconData/TopWindow1"
check "and shows a top window" wait_for 60 has_kiv_window
(cd "$unpacked/work" && wine "$unpacked/Kiv-$version/Kiv.exe" /CloseKiv) > "$log_dir/close.log" 2>&1
closed() { ! kill -0 "$zip_kiv" 2>/dev/null; }
check "and ends with /CloseKiv" wait_for 60 closed

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
