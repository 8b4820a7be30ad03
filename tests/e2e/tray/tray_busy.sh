#!/usr/bin/env bash
# A click on the icon while a long send is typing starts no second send: the menu opens
# only once the first text has arrived whole in its own terminal, and the entry chosen
# from it then goes whole into the other terminal. A click while the selection dialog of
# a send is open opens no menu at all. Nothing of any send lands in another's window.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
# Letters missing from the keymap are typed in rounds of rebound keycodes, which makes
# this send last long enough for a click to land in it.
long=
for l in α β γ δ ε ζ η θ ι κ λ μ ν ξ ο π ρ σ τ υ φ χ ψ ω б в г д ж з и й к л м н п ф ц ч ш щ; do
    long+="$l-Zeile $l"$'\r'
done
tray_cli add Lang --text "$long" --title 'Ziel A' --crypt 0
tray_cli add Kurz --text 'BBB' --title 'Ziel B' --crypt 0
tray_cli add Beide --text 'an A' --title 'Ziel' --crypt 0

rig_xterm "Ziel A" "$RIG_DIR/a.out"
window_a=$RIG_LAST_WINDOW
rig_xterm "Ziel B" "$RIG_DIR/b.out"
window_b=$RIG_LAST_WINDOW
rig_wait_for_active "$window_b"
tray_start

# Sorted: Beide, Kurz, Lang, -, &Bearbeiten, ...
tray_open_menu 1
tray_keys Down Down Down Return
# The send has begun once its target is active; the second click comes while it runs.
rig_wait_for_active "$window_a"
tray_click_icon 1
tray_expect_file "$RIG_DIR/a.out" "$long"
# That click opens the menu once the program is idle again.
tray_wait_menu_open
tray_keys Down Down Return
tray_expect_file "$RIG_DIR/b.out" 'BBB'

# The program handles the click before the keys that follow it: had it opened a menu,
# that menu would take them and the dialog would stay open.
tray_choose Down Return
rig_wait_for_window "Auswahl - [Kalmotex]" >/dev/null
tray_click_icon 1
tray_keys alt+o # the first of the sorted list, "Ziel A"
rig_wait_for_no_window "Auswahl - [Kalmotex]"
long+='an A'
tray_expect_file "$RIG_DIR/a.out" "$long"

# The menu opens again only once the program is idle: nothing more was sent.
tray_choose Escape
[ "$(cat "$RIG_DIR/a.out")" = "$long" ] || rig_fail "a got more: $(od -An -c "$RIG_DIR/a.out" | tail -3)"
[ "$(cat "$RIG_DIR/b.out")" = BBB ] || rig_fail "b got more: $(od -An -c "$RIG_DIR/b.out")"
echo "PASS"
