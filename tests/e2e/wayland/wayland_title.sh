#!/usr/bin/env bash
# An entry with a window title goes to the window of that title, not to the one used last.
# One whose title matches two terminals opens the selection dialog: the second one, chosen
# with the keys, gets the text and the first gets nothing. (No window with the title: the
# core's TransmitterTest; the message box under sway: wayland_focus_guard.)
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
tray_cli add Titel --text $'an B\r' --title 'ZIEL-B' --crypt 0
tray_cli add Konsolen --text $'an zwei\r' --title ' konsole ' --crypt 0
wl_foot konsole-zwei "$RIG_DIR/zwei.out"
wl_foot konsole-eins "$RIG_DIR/eins.out"
wl_foot ziel-b "$RIG_DIR/b.out"
wl_foot ziel-a "$RIG_DIR/a.out"
wl_focus ziel-a
wl_start

cli_ok titled send 1
tray_expect_file "$RIG_DIR/b.out" $'an B\r'

cli_start choose send 2
rig_wait_until "$RIG_TIMEOUT" "the selection dialog" _wl_focused_title_is "Auswahl - [Kalmotex]"
# Sorted: konsole-eins (preselected), konsole-zwei.
wtype -k Down -M alt -k o -m alt
cli_end choose 0
rig_wait_until "$RIG_TIMEOUT" "the dialog to close" _wl_no_title "Auswahl - [Kalmotex]"
tray_expect_file "$RIG_DIR/zwei.out" $'an zwei\r'
tray_expect_empty "$RIG_DIR/eins.out"
tray_expect_empty "$RIG_DIR/a.out"
tray_expect_file "$RIG_DIR/b.out" $'an B\r'
echo "PASS"
