# Sourced: prepares Wine for the build tree $build. Creates the project's own prefix under the
# Japanese locale (ANSI code page 932), starts a virtual X display when none is given, and keeps
# one wineserver alive until kiv_wine_stop runs.
# Sourced on its own (not from test.sh), it takes the build tree of the checkout it lies in, so that
# the prefix is never the shared /wineprefix.
build=${build:-${KIV_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX="$build/wineprefix"
kiv_xvfb_pid=

kiv_start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        kiv_xvfb_pid=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            sleep 0.1
        done
        kill "$kiv_xvfb_pid" 2>/dev/null || true
    done
    echo "wine-env: no virtual display could be started" >&2
    return 1
}

kiv_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$kiv_xvfb_pid" ] && kill "$kiv_xvfb_pid" 2>/dev/null || true
    kiv_xvfb_pid=
}

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    kiv_start_xvfb
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
# A server that is still running from an earlier run of this tree is simply reused.
wineserver -p >/dev/null 2>&1 || true
# Start Wine's own background services now, with their output going nowhere: started by the first
# test instead, they would inherit CTest's output pipe and keep it waiting until its time-out.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
