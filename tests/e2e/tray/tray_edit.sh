#!/usr/bin/env bash
# An entry edited in the configuration file by hand is sent as changed at once.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Gruss --text 'alt' --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
tray_start

tray_open_menu 1
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "alt"

sed -i 's/^1=alt\r$/1=neu\\Nzwei\r/' "$TRAY_INI"
grep -q '^1=neu' "$TRAY_INI" || rig_fail "could not edit $TRAY_INI"
tray_open_menu 1
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" $'altneu\rzwei'
echo "PASS"
