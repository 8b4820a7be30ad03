#!/usr/bin/env bash
# A private, headless Wine for the tests of the Windows build.
#
# Usage: wine-env.sh start PREFIX          creates PREFIX if needed, starts its wineserver
#        wine-env.sh run PREFIX EXE ARGS   runs a Windows program in PREFIX
#        wine-env.sh stop PREFIX           stops PREFIX's wineserver
#
# The prefix lives in the build folder: nothing in ~/.wine is read or changed.
set -euo pipefail

command=${1:?usage: wine-env.sh start|run|stop PREFIX [EXE ARGS...]}
prefix=${2:?usage: wine-env.sh start|run|stop PREFIX [EXE ARGS...]}
shift 2

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No .NET or HTML engine: without these Wine would offer to download them on first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
# No window of Wine's own may appear: the tests need no display.
unset DISPLAY WAYLAND_DISPLAY

# Debian installs the 64-bit loader beside the 32-bit one; `wine` alone complains when the
# 32-bit part is missing.
loader=wine
for candidate in /usr/lib/wine/wine64 /usr/bin/wine64; do
    if [ -x "$candidate" ]; then
        loader=$candidate
        break
    fi
done

case $command in
start)
    mkdir -p "$prefix"
    # A persistent server, started first so that the set-up below and every test use it:
    # each test then starts in a fraction of a second instead of bringing up its own. It
    # fails when the prefix's server runs already, which is as good.
    wineserver -p 2>/dev/null || true
    if [ ! -f "$prefix/.kx-headless" ]; then
        "$loader" wineboot -i >/dev/null 2>&1
        # The null graphics driver: no X server is asked for, none is needed.
        "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        # The desktop process wineboot started chose its driver before the line above and
        # creates no window without a display: restart the server so the next program
        # brings up a desktop on the null driver.
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        wineserver -p 2>/dev/null || true
        touch "$prefix/.kx-headless"
    fi
    ;;
run)
    # The first program in a prefix starts Wine's services, which inherit its output and
    # outlive it: CTest would wait for them to close the pipe. Through a file they hold
    # nothing CTest waits on.
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    status=0
    "$loader" "$@" >"$log" 2>&1 || status=$?
    cat "$log"
    exit $status
    ;;
stop)
    wineserver -k 2>/dev/null || true
    # -k only asks; wait until the prefix's server is gone so the next run starts clean.
    wineserver -w 2>/dev/null || true
    ;;
*)
    echo "wine-env.sh: unknown command '$command'" >&2
    exit 2
    ;;
esac
