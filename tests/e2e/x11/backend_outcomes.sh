#!/usr/bin/env bash
# The X11 backend's bounded waits and its keymap restore, checked by a GoogleTest program
# that plays the window manager itself (so the rig runs none).
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target --no-wm
KX_TARGET_WINDOW=$target "$KX_BACKEND_TEST"
echo "backend outcomes passed"
