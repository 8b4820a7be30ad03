#!/usr/bin/env bash
# The team file that TeamFile names: its entries follow one's own under the greyed heading
# "Team", sorted like them; one chosen from the menu arrives in the terminal used last, and
# an entry added to the team file meanwhile is there at the next opening; two writers at once
# lose nothing.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
# A relative TeamFile counts from the folder of the program's own file.
printf '[Common]\r\nSortNames=1\r\nTeamFile=team.ini\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n' >"$TRAY_INI"
tray_cli add Eigen --text e --crypt 0
TEAM_INI=$TRAY_APP/team.ini
team_cli() { "$TRAY_CLI_BIN" --config "$TEAM_INI" "$@" >/dev/null || rig_fail "kalmotex-cli (team) $*"; }
team_cli add Zoll --text zoll --crypt 0
team_cli add Adresse --text $'Musterweg 1\r12345 Ort' --crypt 0
tray_two_terminals
tray_start

# Eigen, -, Team (greyed), Adresse, Zoll, -, &Bearbeiten, ...: Down passes over the heading.
tray_choose Down Down Return
expected=$'Musterweg 1\r12345 Ort'
tray_expect_file "$RIG_DIR/a.out" "$expected"

team_cli add Absender --text 'Firma Muster' --crypt 0
tray_choose Down Down Return # now "Absender" comes first
expected+='Firma Muster'
tray_expect_file "$RIG_DIR/a.out" "$expected"

tray_expect_empty "$RIG_DIR/b.out"

# Two colleagues adding at the same moment: the file ends up with every entry of both.
colleague() { for i in {1..15}; do team_cli add "$1$i" --text "$1" --crypt 0; done; }
colleague Anna &
anna=$!
colleague Bert &
bert=$!
wait "$anna" && wait "$bert" || rig_fail "a colleague's add failed"
"$TRAY_CLI_BIN" --config "$TEAM_INI" list | cut -f2 | sort >"$RIG_DIR/team.names"
printf '%s\n' Absender Adresse Anna{1..15} Bert{1..15} Zoll | sort >"$RIG_DIR/team.expected"
diff "$RIG_DIR/team.expected" "$RIG_DIR/team.names" || rig_fail "entries were lost"
echo "PASS"
