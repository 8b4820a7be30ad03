#!/usr/bin/env bash
# Without an X display the program says why in German on stderr and ends with status 1,
# before the GUI toolkit gets a chance to abort. The command-line tool needs no display.
set -euo pipefail
bin=$KX_BINARY_DIR/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A display number that no X server serves here.
unserved=999
while [ -e "/tmp/.X11-unix/X$unserved" ]; do unserved=$((unserved + 1)); done

# refused EXPECTED-STDERR ENV-ARGS...: runs kalmotex with the environment changed by ENV-ARGS.
refused()
{
    local expected=$1 status=0
    shift
    # timeout only guards against a hang; the program should end at once.
    env "$@" timeout 60 "$bin/kalmotex" >"$work/out" 2>"$work/err" </dev/null || status=$?
    [ "$status" = 1 ] || fail "exit status $status with $*; stderr: $(cat "$work/err")"
    [ "$(cat "$work/err")" = "$expected" ] || fail "stderr with $*: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "stdout with $*: $(cat "$work/out")"
}

refused "Kalmotex kann nicht starten: Es ist kein X11-Display angegeben (die Umgebungsvariable DISPLAY ist nicht gesetzt)." \
    -u DISPLAY -u WAYLAND_DISPLAY
refused "Kalmotex kann nicht starten: Das X11-Display „:$unserved“ ist nicht erreichbar." \
    -u WAYLAND_DISPLAY DISPLAY=":$unserved"
refused "Kalmotex kann nicht starten: Der Wayland-Compositor bietet weder die Fensterliste und virtuelle Tastatur von wlroots noch X11 (Xwayland) an, also kann Kalmotex dort keinen Text eingeben." \
    -u DISPLAY WAYLAND_DISPLAY=wayland-0
refused "Kalmotex kann nicht starten: Der Wayland-Compositor bietet weder die Fensterliste und virtuelle Tastatur von wlroots noch X11 (Xwayland) an, also kann Kalmotex dort keinen Text eingeben." \
    DISPLAY= WAYLAND_DISPLAY=wayland-0

cli() { env -u DISPLAY -u WAYLAND_DISPLAY "$bin/kalmotex-cli" --config "$work/Kalmotex.ini" "$@"; }
# A command of each group it registers (what they print: CliTest, TransmitCommandsTest).
[ "$(cli add Gruß --text 'Hallo {Welt}')" = 1 ] || fail "add"
[ "$(cli expand 1)" = "Hallo {Welt}" ] || fail "expand: $(cli expand 1)"
echo "startup without a display passed"
