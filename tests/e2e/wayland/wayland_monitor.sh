#!/usr/bin/env bash
# The window-list monitor of debug mode under sway lists the windows in the order they were
# last activated (Wayland has no stacking order), not in the order they were opened: the
# terminal opened first but used last is the line just below the monitor itself. A line is
# read by copying it (Ctrl+C, through the Wayland clipboard) and pasting it into a terminal.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
wl_foot ziel-a "$RIG_DIR/a.out"
wl_foot ziel-b "$RIG_DIR/b.out"
wl_start debug
rig_wait_until "$RIG_TIMEOUT" "the monitor" _wl_has_title QZDEBUGFRM

# Uses B, then A, then the monitor, where KEYS mark a line and Ctrl+C copies it; A pastes it.
# Turning to the monitor refreshes its list; a refresh of its own (every second) can empty
# the mark before Ctrl+C, and the next try gets it.
line_pasted()
{
    local keys=$1 pattern=$2
    : >"$RIG_DIR/a.out"
    wl_focus ziel-b
    wl_focus ziel-a
    swaymsg '[title="^QZDEBUGFRM$"] focus' >/dev/null
    rig_wait_until "$RIG_TIMEOUT" "the monitor to have the focus" _wl_focused_title_is QZDEBUGFRM
    wtype $keys -M ctrl -k c -m ctrl
    wl_focus ziel-a
    wtype -M shift -k Insert -m shift
    _rig_poll 2 grep -qE "$pattern" "$RIG_DIR/a.out"
}
rig_wait_until "$RIG_TIMEOUT" "A just below the monitor" line_pasted "-k End -k Up" "^[0-9]{3} [0-9A-F]{8,} V 'ziel-a'$"
echo "PASS"
