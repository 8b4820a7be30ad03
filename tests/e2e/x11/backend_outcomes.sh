#!/usr/bin/env bash
# Without a window manager the stack is the root window's children, and activation raises
# the window and gives it the focus itself. Then the X11 backend's bounded waits and its
# keymap restore, checked by a GoogleTest program that plays the window manager itself.
set -euo pipefail
source "$(dirname "$0")/x11_lib.sh"
x11_start_target --no-wm
rig_xterm "Unten" "$RIG_DIR/lower"
lower=$RIG_LAST_WINDOW
rig_xterm "Oben" "$RIG_DIR/upper"
upper=$RIG_LAST_WINDOW
hex() { printf '0x%x' "$1"; }

stack=$("$probe" stack)
echo "$stack"
[ "$stack" = "$(hex "$upper") visible Oben
$(hex "$lower") visible Unten
$(hex "$target") visible Ziel" ] || rig_fail "stack without a window manager"

printf 'ohne WM: äß Ω\n' >"$RIG_DIR/text"
"$probe" type --window "$lower" "$RIG_DIR/text"
tr '\n' '\r' <"$RIG_DIR/text" >"$RIG_DIR/expected"
rig_wait_for_file_bytes "$RIG_DIR/lower" "$(stat -c %s "$RIG_DIR/expected")"
cmp "$RIG_DIR/expected" "$RIG_DIR/lower" || rig_fail "typed text: $(od -c "$RIG_DIR/lower")"
[ "$("$probe" stack | head -n 1)" = "$(hex "$lower") visible Unten" ] || rig_fail "activation did not raise"
[ ! -s "$RIG_DIR/upper" ] || rig_fail "the other window received keys"

KX_TARGET_WINDOW=$target "$KX_BACKEND_TEST"
echo "backend outcomes passed"
