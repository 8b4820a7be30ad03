#!/usr/bin/env bash
# The border strip, switched on, is drawn along the top edge in its colour without taking
# the keyboard; the pointer entering it (or, as the options say, a click on it) opens the
# menu, and the entry chosen with the keys arrives in the terminal used last.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

# The colour of the pixel at X, Y of the screen as "R G B".
_wl_pixel() { grim -t ppm -g "$1,$2 1x1" - | tail -c 3 | od -An -tu1 | xargs; }
_wl_pixel_is() { [ "$(_wl_pixel "$1" "$2")" = "$3" ]; }

wl_setup
tray_cli add Erste --text $'eins\r' --crypt 0
tray_cli add Zweite --text $'zwei\r' --crypt 0
wl_foot ziel "$RIG_DIR/ziel.out"
read -r width height < <(swaymsg -t get_outputs | jq -r '.[0].rect | "\(.width) \(.height)"')
mkfifo "$RIG_DIR/pointer.in"
rig_spawn pointer sh -c 'exec "$0" "$1" "$2" <"$3"' "$WL_POINTER" "$width" "$height" "$RIG_DIR/pointer.in"
exec 3>"$RIG_DIR/pointer.in"

# by click, the menu item (sorted: Erste, Zweite), what arrives
for mode in "0 2 zwei" "1 1 eins"; do
    read -r byClick item expected <<<"$mode"
    sed -i '/^PumAct/d; s/^SortNames=1\r$/&\nPumActViaBorder=1\r\nPumActBorderCol=255\r\nPumActBorderByClick='"$byClick"'\r/' \
        "$TRAY_INI"
    : >"$RIG_DIR/ziel.out"
    echo "$((width / 2)) $((height / 2))" >&3
    wl_start
    wl_focus ziel
    rig_wait_until "$RIG_TIMEOUT" "the red strip along the top edge" _wl_pixel_is $((width / 3)) 0 "255 0 0"
    echo "$((width / 3)) 0" >&3
    [ "$byClick" = 0 ] || echo click >&3
    rig_wait_until "$RIG_TIMEOUT" "the menu" _wl_menu_open
    # The strip took no focus from the terminal: the menu's entry goes there.
    keys=()
    for ((i = 0; i < item; i++)); do keys+=(-k Down); done
    wtype "${keys[@]}" -k Return
    rig_wait_until "$RIG_TIMEOUT" "the menu to close" _wl_menu_gone
    tray_expect_file "$RIG_DIR/ziel.out" "$expected"$'\r'
    rig_kill kalmotex
done
echo "PASS"
