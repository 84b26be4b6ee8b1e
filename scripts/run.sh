#!/usr/bin/env bash
# Builds Kiv and runs it in a working directory (default: a demo directory in the build tree).
# With a display ($DISPLAY) Kiv runs until it is closed ("Kiv.exe /CloseKiv" in the same
# directory, or the exit command of its menu). Without one it runs on a virtual display, a
# screenshot is saved and printed, and Kiv is closed again.
# Usage: scripts/run.sh [working-directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

had_display=${DISPLAY:-}
if [ -n "$had_display" ] && ! xdpyinfo >/dev/null 2>&1; then
    had_display=
fi
source "$root/scripts/wine-env.sh"
trap kiv_wine_stop EXIT

work=${1:-$build/demo}
if [ -z "${1:-}" ] && [ ! -d "$work/IconData" ]; then
    # A demo folder with something to show in the first top window.
    mkdir -p "$work/IconData/TopWindow1/資料" "$work/IconData/TopWindow1/写真"
    printf 'Kiv のデモです。\r\n' | iconv -f UTF-8 -t CP932 > "$work/IconData/TopWindow1/はじめに.txt"
    printf 'memo\r\n' > "$work/IconData/TopWindow1/memo.txt"
    : > "$work/IconData/TopWindow1/区切り.sep.kiv"
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
kiv="$build/bin/Kiv.exe"
echo "run: Kiv in $work"

cd "$work"
if [ -n "$had_display" ]; then
    wine "$kiv"
    exit 0
fi

wine "$kiv" &
kiv_pid=$!
sleep "${KIV_SCREENSHOT_DELAY:-6}"
shot="$build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
wine "$build/bin/winprobe.exe" | grep -v $'\thidden\t' || true
wine "$kiv" /CloseKiv
wait "$kiv_pid" || true
echo "run: screenshot saved to $shot"
