#!/usr/bin/env bash
# Starting the program again while it runs shows the running one's main window, raised and
# active, and the second start ends at once with status 0: one process, one tray icon, and
# that one still sends. A socket left by a program that was killed blocks no new start.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Eins --text 'eins' --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
xterm_window=$RIG_LAST_WINDOW
tray_start
first=$TRAY_PID
rig_wait_for_active "$xterm_window"
_rig_window_gone "[Kalmotex]" || rig_fail "the main window should start hidden"

rig_spawn second "$TRAY_APP/kalmotex"
second=$RIG_LAST_PID
rig_wait_for_exit second
wait "$second"
status=$?
[ "$status" -eq 0 ] || rig_fail "the second start ended with status $status: $(cat "$RIG_DIR/second.log")"
main=$(rig_wait_for_window "[Kalmotex]")
rig_wait_for_active "$main"
kill -0 "$first" 2>/dev/null || rig_fail "the first program has ended"
[ "$(tray_icons | wc -l)" -eq 1 ] || rig_fail "expected one icon in the tray, found: $(tray_icons | tr '\n' ' ')"
[ "$(tray_icons)" = "$TRAY_ICON" ] || rig_fail "the icon is not the first program's"

# The user closes the main window again (the close box only hides it). Qt may still ask
# the window manager to activate the window it showed, so the window is out of the way
# before the terminal is chosen.
xdotool key alt+F4
rig_wait_until "$RIG_TIMEOUT" "the main window to hide" _rig_window_gone "[Kalmotex]"
kill -0 "$first" 2>/dev/null || rig_fail "closing the main window ended the program"

# The first program still sends from its menu, into the terminal used before.
xdotool windowactivate --sync "$xterm_window"
rig_wait_for_active "$xterm_window"
tray_choose Down Return
tray_expect_file "$RIG_DIR/ziel.out" "eins"

# A program that is killed leaves its socket behind; the next start takes it over.
socket=$XDG_RUNTIME_DIR/kalmotex-${DISPLAY#:}.socket
[ -S "$socket" ] || rig_fail "no socket at $socket"
kill -KILL "$first"
rig_wait_until "$RIG_TIMEOUT" "the killed program's icon to go" eval '[ -z "$(tray_icons)" ]'
[ -S "$socket" ] || rig_fail "the killed program's socket should still be there"
tray_start
rig_spawn third "$TRAY_APP/kalmotex"
third=$RIG_LAST_PID
rig_wait_for_exit third
wait "$third"
status=$?
[ "$status" -eq 0 ] || rig_fail "the start beside the new program ended with status $status"
rig_wait_for_window "[Kalmotex]" >/dev/null
echo "PASS"
