#!/usr/bin/env bash
# Every start removes the autostart entry "Kalmotex" the program never writes, and keeps its
# own "[Kalmotex]" as it is. The autostart box of the options dialog shows that entry;
# driven by its access key, cleared it removes the entry, ticked it writes one that starts
# this program with /AUTOSTART. "&OK" writes the options to section Common, not the entry.
set -uo pipefail
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
export XDG_CONFIG_HOME=$RIG_DIR/config
autostart=$XDG_CONFIG_HOME/autostart
entry=$autostart/[Kalmotex].desktop
mkdir -p "$autostart"
own=$'[Desktop Entry]\nType=Application\nName=Kalmotex\nExec=/somewhere/kalmotex /AUTOSTART\n'
printf '%s' "$own" >"$entry"
printf '[Desktop Entry]\nType=Application\nName=Kalmotex\nExec=/old/kalmotex\n' >"$autostart/Kalmotex.desktop"
printf '[Desktop Entry]\nType=Application\nName=Uhr\nExec=xclock\n' >"$autostart/Uhr.desktop"

tray_start
# The removal is the first step of start-up: done once the icon is there.
[ ! -e "$autostart/Kalmotex.desktop" ] || rig_fail "the stale entry is still there"
[ "$(cat "$entry")" = "${own%$'\n'}" ] || rig_fail "the own entry changed"
[ -e "$autostart/Uhr.desktop" ] || rig_fail "another program's entry went away"

dialog_title="[Kalmotex] - Optionen"
# Section Common of the configuration, one "key=value" a line, without the CRs.
common_section() { sed -n '/^\[Common\]/,/^\[/p' "$TRAY_INI" | tr -d '\r' | grep -v '^\['; }
# The program names itself by its resolved path.
program=$(realpath "$TRAY_APP/kalmotex")
entry_starts_program() { grep -qxF "Exec=$program /AUTOSTART" "$entry"; }
entry_gone() { [ ! -e "$entry" ]; }

tray_open_main_window
# Alt+O is taken twice in the main window ("&OK", "&Optionen"): it only moves the focus.
tray_open_extras o "$dialog_title" # "&Optionen..."

xdotool key --clearmodifiers alt+p # "&Programm direkt beim Systemstart aufrufen"
rig_wait_until "$RIG_TIMEOUT" "the autostart entry to go" entry_gone
xdotool key --clearmodifiers alt+p
rig_wait_until "$RIG_TIMEOUT" "the autostart entry starting $program /AUTOSTART" entry_starts_program

# Only "&OK" writes the options.
[ -z "$(common_section | grep '^PumAct')" ] || rig_fail "options written before \"&OK\": $(common_section | tr '\n' ' ')"
xdotool key --clearmodifiers alt+o # "&OK"
rig_wait_for_no_window "$dialog_title"
expected=$'PumActViaBorder=0\nPumActBorderByClick=0\nPumActPos=0\nPumActBorderCol=-2147483633\nSortNames=1'
[ "$(common_section | sort)" = "$(sort <<<"$expected")" ] \
    || rig_fail "section Common holds: $(common_section | tr '\n' ' ')"
entry_starts_program || rig_fail "\"&OK\" changed the autostart entry"

tray_quit
echo "PASS"
