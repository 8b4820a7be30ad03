#!/usr/bin/env bash
# The window stack comes back top-down in the order the windows were raised, a minimised
# window is reported hidden, and UTF-8, Latin-1 and compound-text titles arrive exactly.
set -euo pipefail
source "$RIG_LIB"
rig_start --tray
probe=$RIG_PROBE

rig_xterm "Erstes Fenster" "$RIG_DIR/1"
first=$RIG_LAST_WINDOW
rig_xterm "Zweites – Größe ÄÖÜ äöü ß €" "$RIG_DIR/2"
second=$RIG_LAST_WINDOW
rig_xterm "Drittes" "$RIG_DIR/3"
third=$RIG_LAST_WINDOW
rig_xterm "Verstecktes" "$RIG_DIR/4"
hidden=$RIG_LAST_WINDOW

# Known order, top first: Erstes, Drittes, Zweites; Verstecktes minimised.
xdotool windowminimize --sync "$hidden"
"$probe" activate "$second"
"$probe" activate "$third"
"$probe" activate "$first"

stack=$("$probe" stack)
echo "$stack"
hex() { printf '0x%x' "$1"; }
expected="$(hex "$first") visible Erstes Fenster
$(hex "$third") visible Drittes
$(hex "$second") visible Zweites – Größe ÄÖÜ äöü ß €"
# The trayer panel is a dock and is left out; the minimised window stays in the list.
[ "$(echo "$stack" | grep -v Verstecktes)" = "$expected" ] || rig_fail "stack order or titles wrong"
echo "$stack" | grep -qx "$(hex "$hidden") hidden Verstecktes" || rig_fail "minimised window not reported hidden"
echo "$stack" | grep -qi trayer && rig_fail "the tray panel is listed"

# Walking up: above the second is the third, above the first (the top) is nothing, and a
# window outside the stack counts as below every window.
[ "$("$probe" above "$second")" = "$(hex "$third")" ] || rig_fail "window above the second"
[ "$("$probe" above "$first")" = 0x0 ] || rig_fail "window above the top"
bottom=$(echo "$stack" | tail -n 1 | cut -d' ' -f1)
[ "$("$probe" above 0x1)" = "$bottom" ] || rig_fail "unknown window does not start at the bottom"

# Activating the minimised window restores it, on top.
"$probe" activate "$hidden"
[ "$("$probe" stack | head -n 1)" = "$(hex "$hidden") visible Verstecktes" ] || rig_fail "minimised window not restored"

# Without _NET_WM_NAME the title comes from WM_NAME, in Latin-1 or as compound text.
xprop -id "$first" -remove _NET_WM_NAME
xprop -id "$first" -f WM_NAME 8s -set WM_NAME "$(printf 'Gr\xf6\xdfe Latin-1')"
"$probe" stack | grep -qx "$(hex "$first") visible Größe Latin-1" || rig_fail "Latin-1 WM_NAME"
LC_ALL=C.UTF-8 xprop -id "$first" -f WM_NAME 8t -set WM_NAME "Größe Ω compound"
"$probe" stack | grep -qx "$(hex "$first") visible Größe Ω compound" || rig_fail "compound text WM_NAME"

# A window that has gone is no error: it has no title and cannot be activated.
xdotool windowkill "$third"
rig_wait_for_no_window "Drittes"
"$probe" activate "$third" 2>"$RIG_DIR/err" && rig_fail "activated a closed window"
grep -q "^activate $(hex "$third")" "$RIG_DIR/err" || rig_fail "activation error does not name the window"
echo "stack and titles passed"
