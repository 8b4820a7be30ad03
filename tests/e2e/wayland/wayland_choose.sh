#!/usr/bin/env bash
# An entry whose title matches two terminals opens the selection dialog; the second one,
# chosen with the keys, gets the text and the first gets nothing.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
tray_cli add Konsolen --text $'an zwei\r' --title ' konsole ' --crypt 0
wl_foot konsole-zwei "$RIG_DIR/zwei.out"
wl_foot konsole-eins "$RIG_DIR/eins.out"
wl_start

cli_start choose send 1
rig_wait_until "$RIG_TIMEOUT" "the selection dialog" _wl_focused_title_is "Auswahl - [Kalmotex]"
# Sorted: konsole-eins (preselected), konsole-zwei.
wtype -k Down -M alt -k o -m alt
cli_end choose
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 1 failed: $CLI_OUTPUT"
rig_wait_until "$RIG_TIMEOUT" "the dialog to close" _wl_no_title "Auswahl - [Kalmotex]"
tray_expect_file "$RIG_DIR/zwei.out" $'an zwei\r'
tray_expect_empty "$RIG_DIR/eins.out"
echo "PASS"
