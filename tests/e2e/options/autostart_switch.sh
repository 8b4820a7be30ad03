#!/usr/bin/env bash
# The autostart box of the options dialog, driven by its access key: ticked, it writes the
# entry "[Kalmotex]" that starts this program with /AUTOSTART; cleared, it removes the entry.
# "&OK" closes the dialog and writes the options to section Common.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"
source "$(dirname "$0")/options_lib.sh"

tray_setup
export XDG_CONFIG_HOME=$RIG_DIR/config
entry=$XDG_CONFIG_HOME/autostart/[Kalmotex].desktop
dialog_title="[Kalmotex] - Optionen"

# Section Common of the configuration, one "key=value" a line, without the CRs.
common_section() { sed -n '/^\[Common\]/,/^\[/p' "$TRAY_INI" | tr -d '\r' | grep -v '^\['; }
# The program names itself by its resolved path.
program=$(realpath "$TRAY_APP/kalmotex")
entry_starts_program() { grep -qxF "Exec=$program /AUTOSTART" "$entry"; }
entry_gone() { [ ! -e "$entry" ]; }

options_start
tray_open_main_window
# Alt+O is taken twice in the main window ("&OK", "&Optionen"): it only moves the focus.
tray_open_extras o "$dialog_title" # "&Optionen..."

xdotool key --clearmodifiers alt+p # "&Programm direkt beim Systemstart aufrufen"
rig_wait_until "$RIG_TIMEOUT" "the autostart entry starting $program /AUTOSTART" entry_starts_program
xdotool key --clearmodifiers alt+p
rig_wait_until "$RIG_TIMEOUT" "the autostart entry to go" entry_gone

# Only "&OK" writes the options.
[ -z "$(common_section | grep '^PumAct')" ] || rig_fail "options written before \"&OK\": $(common_section | tr '\n' ' ')"
xdotool key --clearmodifiers alt+o # "&OK"
rig_wait_for_no_window "$dialog_title"
expected=$'PumActViaBorder=0\nPumActBorderByClick=0\nPumActPos=0\nPumActBorderCol=-2147483633\nSortNames=1'
[ "$(common_section | sort)" = "$(sort <<<"$expected")" ] \
    || rig_fail "section Common holds: $(common_section | tr '\n' ' ')"
entry_gone || rig_fail "the autostart entry came back"

options_quit
echo "PASS"
