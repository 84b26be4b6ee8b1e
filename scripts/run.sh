#!/usr/bin/env bash
# Builds Kiv and runs it in a working directory (default: a demo directory in the build tree).
# With a display ($DISPLAY) Kiv runs until it is closed ("Kiv.exe /CloseKiv" in the same
# directory, or the exit command of its menu). Without one the test build's Kiv, whose top
# windows stay shown, runs on a virtual display, a screenshot is saved and printed, and it is
# closed again.
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
if [ -z "${1:-}" ] && [ ! -d "$work/IconData/TopWindow2" ]; then
    # A demo folder: two top windows with a few items, one at the top edge, one at the left.
    mkdir -p "$work"
    wine "$build/bin/kivdemo.exe" "$(winepath -w "$work")" >"$build/kivdemo.log" 2>&1 || true
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

# The test build's Kiv keeps its top windows shown, so that the picture shows their items.
shown="$build/bin/KivShown.exe"
[ -f "$shown" ] || shown=$kiv
wine "$shown" &
kiv_pid=$!
sleep "${KIV_SCREENSHOT_DELAY:-6}"
shot="$build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
wine "$build/bin/winprobe.exe" | grep -v $'\thidden\t' || true
wine "$kiv" /CloseKiv
wait "$kiv_pid" || true
echo "run: screenshot saved to $shot"
