#!/usr/bin/env bash
# The X11 backend's bounded waits and its keymap restore, checked by a GoogleTest program
# that plays the window manager itself (so the rig runs none).
set -euo pipefail
source "$RIG_LIB"
rig_start --no-wm

rig_xterm "Ziel" "$RIG_DIR/target"
KX_TARGET_WINDOW=$RIG_LAST_WINDOW KX_TARGET_CAPTURE=$RIG_DIR/target "$KX_BACKEND_TEST"
echo "backend outcomes passed"
