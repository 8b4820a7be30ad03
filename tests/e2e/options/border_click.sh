#!/usr/bin/env bash
# In click mode the pointer on the strip opens nothing; a click opens the menu and the
# entry is typed into the terminal used before. The options and the strip survive a
# restart of the program, and with the strip switched off no strip appears.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"
source "$(dirname "$0")/options_lib.sh"

tray_setup
tray_cli add Eins --text 1 --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
target=$RIG_LAST_WINDOW
options_preset 1 1 2 -2147483633
cp "$TRAY_INI" "$RIG_DIR/preset.ini"

for run in 1 2; do
    xdotool mousemove 400 400
    tray_activate "$target"
    options_start
    options_wait_strip
    options_expect_geometry 0 0 1 "$SCREEN_H"

    # Touching the strip opens nothing: the next menu to open is the tray's, at its icon
    # in the bottom right corner (the program handles events in order).
    xdotool mousemove 0 300 mousemove 0 320
    tray_open_menu 1
    corner=$(options_menu_corner)
    [ "${corner%% *}" -gt 600 ] && [ "${corner##* }" -gt 500 ] || rig_fail "a menu opened at $corner"
    tray_keys Escape
    tray_wait_menu_closed

    xdotool mousemove 0 300 click 1
    tray_wait_menu_open
    corner=$(options_menu_corner)
    [ "${corner%% *}" -lt 100 ] || rig_fail "the menu opened at $corner, not at the strip"
    tray_keys Home Return
    tray_wait_menu_closed
    tray_expect_file "$RIG_DIR/ziel.out" "$(printf '1%.0s' $(seq "$run"))"
    options_expect_not_active "$STRIP"

    xdotool mousemove 400 400
    options_quit
    cmp -s "$TRAY_INI" "$RIG_DIR/preset.ini" || rig_fail "the options changed: $(cat "$TRAY_INI")"
done

# Switched off: the program comes up with its icon and no strip.
options_preset 0 1 2 255
options_start
tray_open_menu 1
tray_keys Escape
tray_wait_menu_closed
[ -z "$(xdotool search --onlyvisible --name '^\[Kalmotex\]$')" ] || rig_fail "a strip is shown though it is off"
options_quit
echo "PASS"
