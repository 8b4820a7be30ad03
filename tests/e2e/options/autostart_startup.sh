#!/usr/bin/env bash
# Every start removes the autostart entry "Kalmotex" the program never writes, and keeps
# its own "[Kalmotex]" as it is.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
export XDG_CONFIG_HOME=$RIG_DIR/config
autostart=$XDG_CONFIG_HOME/autostart
mkdir -p "$autostart"
own=$'[Desktop Entry]\nType=Application\nName=Kalmotex\nExec=/somewhere/kalmotex /AUTOSTART\n'
printf '%s' "$own" >"$autostart/[Kalmotex].desktop"
printf '[Desktop Entry]\nType=Application\nName=Kalmotex\nExec=/old/kalmotex\n' >"$autostart/Kalmotex.desktop"
printf '[Desktop Entry]\nType=Application\nName=Uhr\nExec=xclock\n' >"$autostart/Uhr.desktop"

tray_start
# The removal is the first step of start-up: done once the icon is there.
[ ! -e "$autostart/Kalmotex.desktop" ] || rig_fail "the stale entry is still there"
[ "$(cat "$autostart/[Kalmotex].desktop")" = "${own%$'\n'}" ] || rig_fail "the own entry changed"
[ -e "$autostart/Uhr.desktop" ] || rig_fail "another program's entry went away"
tray_quit
echo "PASS"
