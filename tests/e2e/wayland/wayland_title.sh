#!/usr/bin/env bash
# An entry with a window title goes to the window of that title, not to the one used last;
# one whose title no window has types nothing and says so.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
tray_cli add Titel --text $'an B\r' --title 'ZIEL-B' --crypt 0
tray_cli add Fern --text 'fern' --title 'Gibt es nicht' --crypt 0
wl_foot ziel-b "$RIG_DIR/b.out"
wl_foot ziel-a "$RIG_DIR/a.out"
wl_focus ziel-a
wl_start

cli_start titled send 1
cli_end titled
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 1 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/b.out" $'an B\r'

cli_start missing send 2
rig_wait_until "$RIG_TIMEOUT" "the message about the missing window" _wl_focused_title_is Kalmotex
wtype -k Return
cli_end missing
[ "$CLI_STATUS" -eq 1 ] || rig_fail "send 2 without a target: status $CLI_STATUS, $CLI_OUTPUT"
tray_expect_empty "$RIG_DIR/a.out"
tray_expect_file "$RIG_DIR/b.out" $'an B\r'
echo "PASS"
