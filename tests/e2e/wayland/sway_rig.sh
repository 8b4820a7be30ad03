#!/usr/bin/env bash
# The headless sway the `wayland` tests share, started and stopped by CTest's fixture:
#
#   sway_rig.sh start STATE_DIR   sway on a virtual output with Xwayland, and swaybar with a
#                                 tray on a session bus of its own; returns once its socket,
#                                 its IPC and Xwayland answer; STATE_DIR/env says how clients
#                                 reach it (WL_XDISPLAY: Xwayland's display, WL_BUS: the bus)
#   sway_rig.sh stop STATE_DIR    ends them (sway's clients go with it), removes STATE_DIR
#
# sway 1.7 refuses to run as root, so it runs as the system user `nobody` in a runtime folder
# of its own; the tests, as whoever runs them, connect to its socket by its full path.
set -euo pipefail
command=${1:?start or stop}
state=${2:?state folder}
# The rig's process bookkeeping and waits, without its trap: the start and the stop are
# separate runs, which find each other's processes in STATE_DIR.
source "$(dirname "$0")/../rig/rig.sh"
timeout=$RIG_TIMEOUT

# Ends the process recorded in FILE ("PID STARTTIME"), if it is still that process.
end_recorded()
{
    [ -f "$1" ] || return 0
    local pid start
    read -r pid start <"$1"
    _rig_alive_as "$pid" "$start" || return 0
    kill -TERM "$pid" 2>/dev/null || true
    _rig_poll "$timeout" eval '! _rig_alive_as "$pid" "$start"' || kill -KILL "$pid" 2>/dev/null || true
}

stop()
{
    end_recorded "$state/pid"
    end_recorded "$state/dbus.pid"
    rm -rf "$state"
}

wait_for()
{
    local what=$1
    shift
    _rig_poll "$timeout" "$@" && return 0
    echo "sway_rig: timed out after $timeout s waiting for $what; sway said:" >&2
    tail -n 20 "$state/sway.log" >&2 || true
    stop
    exit 1
}

start()
{
    stop # what a run that was killed left behind
    command -v sway >/dev/null || { echo "sway_rig: sway is not installed (run scripts/bootstrap)" >&2; exit 1; }
    mkdir -p "$state/sway" "$state/clients"
    # The sway user reaches its runtime folder through folders it may not list.
    chmod 711 "$state"
    chmod 700 "$state/sway" "$state/clients"
    printf 'xwayland enable\nfocus_follows_mouse no\noutput HEADLESS-1 resolution 1280x1024\n' >"$state/config"
    # The README's rule for the popup menu that kalmotex-cli menu opens.
    printf '%s\n' 'for_window [app_id="de.kalmotex.Kalmotex" title="^PumMain$"] floating enable, move position cursor' \
        >>"$state/config"
    chmod 644 "$state/config"
    # swaybar's tray, for the test of the program's icon: a session bus for the sway user and
    # the tests, and a bar that hosts StatusNotifierItems.
    printf 'bar {\n    position top\n    tray_output *\n}\n' >>"$state/config"
    cat >"$state/bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <policy context="default"><allow user="*"/></policy>
</busconfig>
CONF
    chmod 644 "$state/bus.conf"
    local run=()
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody:nogroup "$state/sway"
        run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    local bus="unix:path=$state/sway/bus"
    setsid "${run[@]}" env -i PATH=/usr/bin:/bin dbus-daemon --nofork --nopidfile \
        --config-file="$state/bus.conf" --address="$bus" >"$state/dbus.log" 2>&1 </dev/null &
    echo "$! $(_rig_proc_state "$!" | cut -d' ' -f2)" >"$state/dbus.pid"
    wait_for "the session bus" test -S "$state/sway/bus"
    setsid "${run[@]}" env -i PATH=/usr/bin:/bin HOME="$state/sway" XDG_RUNTIME_DIR="$state/sway" \
        DBUS_SESSION_BUS_ADDRESS="$bus" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$state/config" >"$state/sway.log" 2>&1 </dev/null &
    local pid=$!
    echo "$pid $(_rig_proc_state "$pid" | cut -d' ' -f2)" >"$state/pid"
    wait_for "sway's socket" test -S "$state/sway/wayland-1"
    wait_for "sway's IPC socket" compgen -G "$state/sway/sway-ipc.*.sock"
    local ipc
    ipc=$(compgen -G "$state/sway/sway-ipc.*.sock" | head -n 1)
    wait_for "sway's IPC to answer" env SWAYSOCK="$ipc" swaymsg -t get_version
    # Xwayland runs as the sway user too: its display, and access for whoever runs the tests.
    env SWAYSOCK="$ipc" swaymsg exec "printenv DISPLAY >'$state/sway/display.new' \
        && xhost +si:localuser:$(id -un) && mv '$state/sway/display.new' '$state/sway/display'" >/dev/null
    wait_for "Xwayland to let us in" test -s "$state/sway/display"
    {
        echo "export WL_XDISPLAY=$(cat "$state/sway/display")"
        echo "export WAYLAND_DISPLAY=$state/sway/wayland-1"
        echo "export SWAYSOCK=$ipc"
        echo "export XDG_RUNTIME_DIR=$state/clients"
        # Not exported: with a tray host the program hides its main window, which the other
        # tests wait for.
        echo "WL_BUS=$bus"
    } >"$state/env"
}

case $command in
start) start ;;
stop) stop ;;
*) echo "sway_rig: unknown command $command" >&2; exit 2 ;;
esac
