#!/usr/bin/env bash
# With TypeToFilter=1, letters typed into the open menu narrow it to the matching entries
# and Enter types the first one shown into the terminal used last; a filter that matches
# nothing sends nothing, Backspace takes letters back, Escape clears the filter first.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
printf '[Common]\r\nSortNames=1\r\nTypeToFilter=1\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n' >"$TRAY_INI"
tray_cli add Zeta --text zeta --crypt 0
tray_cli add 'Grüße an Müller' --text 'Gruß' --crypt 0
tray_cli add Gruppe --text Team --crypt 0
tray_cli add '&Adresse' --text Anschrift --crypt 0

rig_xterm "Ziel" "$RIG_DIR/a.out"
window=$RIG_LAST_WINDOW
tray_activate "$window"
tray_start

# Sorted: Adresse, Gruppe, Grüße an Müller, Zeta. "gru" keeps the two in the middle.
tray_choose g r u Return
expected='Team'
tray_expect_file "$RIG_DIR/a.out" "$expected"

# "mul" finds "Müller"; the "xy" before it matched nothing, so Return did nothing.
tray_choose x y Return BackSpace BackSpace m u l Return
expected+='Gruß'
tray_expect_file "$RIG_DIR/a.out" "$expected"

# "e" would be the access key of "B&eenden"; here it is a filter letter. The first Escape
# clears the filter, so "adr" then finds "&Adresse" by the name it shows.
tray_choose e Escape a d r Return
expected+='Anschrift'
tray_expect_file "$RIG_DIR/a.out" "$expected"

# Escape twice closes the menu without sending.
tray_choose z Escape Escape
tray_expect_file "$RIG_DIR/a.out" "$expected"
kill -0 "$TRAY_PID" || rig_fail "the program ended"
echo "PASS"
