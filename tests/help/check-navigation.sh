#!/usr/bin/env bash
# Opens the help through KivWinHelp (helpprobe.exe) under Wine for every context number the
# programs use and for the contents, and reads from the viewer's trace which page it went to.
# Wine draws no page content, so the trace is where the page shows. Needs the environment of
# scripts/wine-env.sh (WINEPREFIX, DISPLAY).
# Usage: check-navigation.sh <program folder> <wine-exec>
set -uo pipefail
bin=$1
wine_exec=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# command, data, page the viewer must go to
check() {
    local command=$1 data=$2 page=$3
    WINEDEBUG=+htmlhelp "$wine_exec" "$bin/helpprobe.exe" "$command" "$data" 1 \
        >"$work/out" 2>"$work/trace" </dev/null
    local rc=$?
    [ $rc -eq 0 ] || { fail "help $command $data: helpprobe ended with $rc"; return; }
    grep -a 'trace:htmlhelp:navigate_url' "$work/trace" | grep -aqF "KIV.chm::/$page" ||
        fail "help $command $data did not go to $page: $(grep -a navigate_url "$work/trace")"
}

check 1 9 start.html           # HELP_CONTEXT: first steps
check 1 6 prop-icon.html       # property pages
check 1 2 prop-layout.html
check 1 37 prop-window.html
check 1 5 prop-filelist.html
check 1 38 prop-other.html
check 11 0 start.html          # HELP_FINDER: the contents, at the default page

# Without a help file beside it the call fails and no viewer is asked.
cp "$bin/helpprobe.exe" "$work/helpprobe.exe"
WINEDEBUG=+htmlhelp "$wine_exec" "$work/helpprobe.exe" 11 0 1 >"$work/out" 2>"$work/trace" </dev/null
rc=$?
[ $rc -eq 1 ] || fail "without a help file helpprobe ended with $rc, not 1"
! grep -aq 'trace:htmlhelp:navigate_url' "$work/trace" || fail "the viewer navigated without a help file"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "every help request went to its page"
