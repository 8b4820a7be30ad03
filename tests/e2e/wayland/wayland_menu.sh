#!/usr/bin/env bash
# kalmotex-cli menu, as the sway key binding the README shows runs it: the popup menu opens
# floating at the pointer with the README's sway rule (in the rig's configuration), a second request meanwhile is
# refused, and the entry chosen with the keys arrives in the terminal used last. The border
# strip, switched on, is no window of its own here (a layer surface).
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

# Sway centres the floating menu on the pointer.
_wl_menu_at()
{
    _wl_tree | jq -e --argjson x "$1" --argjson y "$2" '[.. | select(.name? == "PumMain"
        and .type? == "floating_con" and .focused? == true) | .rect
        | select(.x <= $x and $x < .x + .width and .y <= $y and $y < .y + .height)] | length == 1'
}

wl_setup
sed -i 's/^SortNames=1\r$/&\nPumActViaBorder=1\r/' "$TRAY_INI"
tray_cli add Erste --text $'eins\r' --crypt 0
tray_cli add Zweite --text $'zwei\r' --crypt 0
wl_foot ziel "$RIG_DIR/ziel.out"
wl_start
wl_focus ziel
swaymsg 'seat seat0 cursor set 300 200' >/dev/null

cli_ok menu menu
rig_wait_until "$RIG_TIMEOUT" "the menu at the pointer" _wl_menu_at 300 200
cli_start again menu
cli_end again 1 # refused while the menu is open

# Sorted: Erste, Zweite, then the program's own items; nothing is selected at first.
wtype -k Down -k Down -k Return
rig_wait_until "$RIG_TIMEOUT" "the menu to close" _wl_menu_gone
tray_expect_file "$RIG_DIR/ziel.out" $'zwei\r'
windows=$(_wl_tree | jq '[.. | select(.app_id? == "de.kalmotex.Kalmotex")] | length')
[ "$windows" -eq 1 ] || rig_fail "the program shows $windows windows, not its main window alone"
echo "PASS"
