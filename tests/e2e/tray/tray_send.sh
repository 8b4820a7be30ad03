#!/usr/bin/env bash
# A left press on the icon opens the menu with the entries sorted by name; choosing one
# types it into the terminal used last: Enter, Tab, umlauts, the euro sign, a scrambled
# text and a date placeholder arrive byte for byte, and the other terminal gets nothing.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Zeta --text z --crypt 0
tray_cli add Brief --text $'Hallo Welt\rZeile 2\tTab äöüß €' --crypt 0
tray_cli add Geheim --text 'Passwort: 12345' --crypt 1
tray_cli add Datum --text 'Heute ist %datum%.' --crypt 0
tray_two_terminals
tray_start

# Sorted: Brief, Datum, Geheim, Zeta, -, &Bearbeiten, -, &Abbrechen, B&eenden.
tray_choose Down Return
expected=$'Hallo Welt\rZeile 2\tTab äöüß €'
tray_expect_file "$RIG_DIR/a.out" "$expected"

tray_choose Down Down Down Return
expected+='Passwort: 12345'
tray_expect_file "$RIG_DIR/a.out" "$expected"

tray_choose Down Down Return
expected+="Heute ist $(date +%x)."
tray_expect_file "$RIG_DIR/a.out" "$expected"

tray_choose Up Up Up Up Return # from the bottom up, over the separators, to "Zeta"
expected+='z'
tray_expect_file "$RIG_DIR/a.out" "$expected"

tray_expect_empty "$RIG_DIR/b.out"
echo "PASS"
