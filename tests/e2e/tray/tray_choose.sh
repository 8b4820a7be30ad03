#!/usr/bin/env bash
# An entry whose title matches two terminals opens the selection dialog: choosing the
# second sends only there; "&Abbruch" sends nothing.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Konsolen --text 'an beide?' --title ' konsole ' --crypt 0
rig_xterm "Konsole zwei" "$RIG_DIR/zwei.out"
rig_xterm "Konsole eins" "$RIG_DIR/eins.out"
tray_start

tray_open_menu 1
tray_keys Down Return
rig_wait_for_active "$(rig_wait_for_window "Auswahl - [Kalmotex]")"
# Sorted: "Konsole eins" (preselected), "Konsole zwei".
tray_keys Down alt+o
rig_wait_for_no_window "Auswahl - [Kalmotex]"
tray_expect_file "$RIG_DIR/zwei.out" "an beide?"

tray_open_menu 1
tray_keys Down Return
rig_wait_for_active "$(rig_wait_for_window "Auswahl - [Kalmotex]")"
tray_keys alt+a
rig_wait_for_no_window "Auswahl - [Kalmotex]"

# The menu opens again only once the program is idle: nothing more was sent.
tray_open_menu 1
tray_keys Escape
tray_wait_menu_closed
tray_expect_empty "$RIG_DIR/eins.out"
[ "$(cat "$RIG_DIR/zwei.out")" = "an beide?" ] || rig_fail "zwei got more: $(od -An -c "$RIG_DIR/zwei.out")"
echo "PASS"
