#!/usr/bin/env bash
# With the border strip on, each edge (top, bottom, left, right) gets a one-pixel strip
# "[Kalmotex]" along its whole length, above other windows, without frame, out of the task
# bar and the pager, never focused. Touching it opens the popup menu, and the entry chosen
# there is typed into the terminal used before. In click mode the pointer on the strip opens
# nothing; a click opens the menu. Quitting leaves the options as they were.
set -uo pipefail
source "$(dirname "$0")/options_lib.sh"

tray_setup
tray_cli add Eins --text 1 --crypt 0
tray_cli add Zwei --text 2 --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
target=$RIG_LAST_WINDOW

expected=
# edge, expected geometry "x y w h", a point on the strip, a move along it
for edge in 0 1 2 3; do
    case $edge in
    0) geometry="0 0 $SCREEN_W 1" point="640 0" along="40 0" ;;
    1) geometry="0 $((SCREEN_H - 1)) $SCREEN_W 1" point="640 $((SCREEN_H - 1))" along="40 0" ;;
    2) geometry="0 0 1 $SCREEN_H" point="0 512" along="0 40" ;;
    3) geometry="$((SCREEN_W - 1)) 0 1 $SCREEN_H" point="$((SCREEN_W - 1)) 512" along="0 40" ;;
    esac
    options_preset 1 0 "$edge" 255
    xdotool mousemove 400 400
    tray_activate "$target"
    tray_start
    options_wait_strip
    options_expect_geometry $geometry

    if [ "$edge" = 0 ]; then
        state=$(xprop -id "$STRIP" _NET_WM_STATE)
        for atom in _NET_WM_STATE_ABOVE _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER; do
            grep -q "$atom" <<<"$state" || rig_fail "strip lacks $atom: $state"
        done
        xprop -id "$STRIP" WM_HINTS | grep -q 'accepts input or input focus: False' \
            || rig_fail "strip accepts the focus: $(xprop -id "$STRIP" WM_HINTS)"
        # Frameless: the window manager puts no border or title around it.
        extents=$(xprop -id "$STRIP" _NET_FRAME_EXTENTS)
        grep -q '= 0, 0, 0, 0' <<<"$extents" || rig_fail "strip has a frame: $extents"
    fi

    # The pointer reaches the edge: the menu opens there, without activating the strip.
    xdotool mousemove $point
    tray_wait_menu_open
    options_expect_not_active "$STRIP"
    # The menu opens under the pointer, which may already point at an item: start from the top.
    tray_keys Home Down Return # Eins, Zwei: the second
    tray_wait_menu_closed
    expected+=2
    tray_expect_file "$RIG_DIR/ziel.out" "$expected"
    options_expect_not_active "$STRIP"
    rig_wait_for_active "$target"

    # The menu does not come back by itself while the pointer rests on the strip; moving
    # along the strip opens it again.
    xdotool mousemove_relative -- $along
    tray_wait_menu_open
    tray_keys Escape
    tray_wait_menu_closed
    tray_expect_file "$RIG_DIR/ziel.out" "$expected"

    xdotool mousemove 400 400
    tray_quit
done

# Click mode.
options_preset 1 1 2 -2147483633
cp "$TRAY_INI" "$RIG_DIR/preset.ini"
xdotool mousemove 400 400
tray_activate "$target"
tray_start
options_wait_strip
options_expect_geometry 0 0 1 "$SCREEN_H"

# Touching the strip opens nothing: the next menu to open is the tray's, at its icon in the
# bottom right corner (the program handles events in order).
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
tray_expect_file "$RIG_DIR/ziel.out" "${expected}1"
options_expect_not_active "$STRIP"

xdotool mousemove 400 400
tray_quit
cmp -s "$TRAY_INI" "$RIG_DIR/preset.ini" || rig_fail "the options changed: $(cat "$TRAY_INI")"
echo "PASS"
