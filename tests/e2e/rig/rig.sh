# Headless desktop for end-to-end tests: source this file from a bash test script.
#
#   source tests/e2e/rig/rig.sh
#   rig_start --tray                      # Xvfb + openbox (+ trayer), exports DISPLAY
#   rig_xterm "Ziel" "$RIG_DIR/ziel.out"  # capture window, ready to receive keys
#   ...drive the program with xdotool...
#   rig_wait_for_file_bytes "$RIG_DIR/ziel.out" 5
#
# Every process the rig starts is recorded and stopped on every way out of the script (end,
# failure, timeout, Ctrl-C) by the trap rig_start installs; a test with its own EXIT trap
# calls rig_stop from it. Each script gets its own display, so tests may run in parallel.
#
#   rig_start [--tray] [--no-wm] [--wm NAME]   Xvfb (RIG_SCREEN, default 1280x1024) on a free
#       display, a window manager (NAME, else $RIG_WM, else openbox; openbox i3 fluxbox awesome
#       bspwm dwm twm, with a private HOME) unless --no-wm, then trayer with --tray. Returns
#       once each answers. Exports DISPLAY, RIG_WM (empty without one) and XDG_RUNTIME_DIR (in
#       RIG_DIR, a private folder rig_stop removes).
#   rig_start_tray                 trayer, later
#   rig_spawn NAME COMMAND...      runs COMMAND in a session of its own (output to
#                                  $RIG_DIR/NAME.log), sets RIG_LAST_PID
#   rig_kill NAME                  TERM, then KILL after RIG_TIMEOUT
#   rig_wait_for_exit NAME [T]     rig_pid NAME: its PID
#   rig_xterm TITLE FILE [ARGS]    a raw UTF-8 xterm writing every byte it receives to FILE
#                                  (Enter as CR); returns when ready; RIG_LAST_WINDOW its id
#   rig_wait_for_window TITLE [T]  prints the id of a viewable window with exactly TITLE
#   rig_wait_for_no_window TITLE [T]
#   rig_wait_for_file_bytes FILE N [T]
#   rig_wait_for_active WINDOW [T] the window manager reports WINDOW (decimal or 0x) active
#   rig_use_window WINDOW          raises and clicks it, as a user who starts to work there;
#                                  waits for the focus (also under managers that ignore
#                                  activation requests)
#   rig_wait_until T WHAT CMD...   polls CMD every 20 ms; fails the test after T seconds
#   rig_wait_for_wm_idle [T]       a round trip through the window manager
#   rig_screenshot FILE            rig_fail MESSAGE: prints it, keeps a screenshot, exits 1
#   rig_stop [STATUS]              stops everything, last started first; removes RIG_DIR
#                                  unless RIG_KEEP=1 (or RIG_KEEP_FAILED=1 and STATUS != 0)
#
# Settings: RIG_TIMEOUT (seconds a wait may take, default 20: a loaded machine can take
# seconds to start a window manager), RIG_EVENT_LOG (a file collecting failures and
# retries), RIG_PROBE (kx-x11-probe, for the tray and window-manager round trips; needed
# with a window manager).

RIG_TIMEOUT=${RIG_TIMEOUT:-20}
RIG_DIR=${RIG_DIR:-}
RIG_LAST_PID=
RIG_LAST_WINDOW=
declare -a RIG_NAMES=()
declare -A RIG_PIDS=()
declare -A RIG_STARTS=()
_RIG_STOPPED=0

# Also appended to $RIG_EVENT_LOG when set (the soak script counts what was retried).
_rig_log()
{
    echo "rig: $*" >&2
    [ -z "${RIG_EVENT_LOG:-}" ] || echo "$(date '+%F %T') $*" >>"$RIG_EVENT_LOG"
}

rig_fail()
{
    _rig_log "FAIL: $*"
    if [ -n "${DISPLAY:-}" ] && [ -n "$RIG_DIR" ]; then
        rig_screenshot "$RIG_DIR/failure.png" 2>/dev/null && _rig_log "screenshot: $RIG_DIR/failure.png"
    fi
    exit 1
}

# Polls COMMAND every 20 ms for up to TIMEOUT seconds; its status says whether it succeeded.
_rig_poll()
{
    local limit_ns=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$limit_ns" ] || return 1
        sleep 0.02
    done
}

rig_wait_until()
{
    local timeout=$1 what=$2
    shift 2
    _rig_poll "$timeout" "$@" || rig_fail "timed out after ${timeout} s waiting for $what"
}

# "STATE STARTTIME" of a process, from /proc/PID/stat (fields 3 and 22; the command name
# before them may contain blanks and parentheses).
_rig_proc_state() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $1, $20}'; }

rig_spawn()
{
    local name=$1
    shift
    # Not a process group leader in a non-interactive shell, so setsid execs in place and
    # $! is the command's own PID.
    setsid "$@" >"$RIG_DIR/${name//[^A-Za-z0-9_.-]/_}.log" 2>&1 </dev/null &
    RIG_LAST_PID=$!
    # The start time is the process's identity: a PID the system has since given to another
    # process is never signalled. (It survives exec, so "sh -c 'exec prog'" still counts.)
    RIG_NAMES+=("$name")
    RIG_PIDS[$name]=$RIG_LAST_PID
    # A process that has ended already has none; that is no failure of the spawn.
    RIG_STARTS[$name]=$(_rig_proc_state "$RIG_LAST_PID" | cut -d' ' -f2) || true
}

rig_pid() { echo "${RIG_PIDS[$1]:-}"; }

# Not gone, not reused by another process, and no zombie (ended; only the reaping is left).
_rig_alive_as()
{
    local state
    [ -n "$1" ] && [ -n "$2" ] || return 1
    state=$(_rig_proc_state "$1")
    [ -n "$state" ] && [ "${state#* }" = "$2" ] && [ "${state%% *}" != Z ]
}

rig_kill()
{
    local name=$1
    local pid=${RIG_PIDS[$name]:-} start=${RIG_STARTS[$name]:-}
    [ -n "$pid" ] || return 0
    unset "RIG_PIDS[$name]"
    # It leads its own session: the group is signalled, so its children go too. It may end
    # between the check and the signal: no error, under set -e least of all.
    if _rig_alive_as "$pid" "$start"; then
        kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
        if ! _rig_poll "$RIG_TIMEOUT" eval '! _rig_alive_as "$pid" "$start"'; then
            _rig_log "$name ($pid) ignored TERM, killing it"
            kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    wait "$pid" 2>/dev/null || true
    return 0
}

rig_wait_for_exit()
{
    local name=$1 timeout=${2:-$RIG_TIMEOUT}
    rig_wait_until "$timeout" "$name to end" eval '! _rig_alive_as "${RIG_PIDS[$name]:-}" "${RIG_STARTS[$name]:-}"'
}

rig_stop()
{
    [ "$_RIG_STOPPED" = 1 ] && return 0
    _RIG_STOPPED=1
    local failed=${1:-0} i
    for ((i = ${#RIG_NAMES[@]} - 1; i >= 0; i--)); do
        rig_kill "${RIG_NAMES[$i]}"
    done
    [ -n "$RIG_DIR" ] && [ -d "$RIG_DIR" ] || return 0
    if [ "${RIG_KEEP:-0}" = 1 ] || { [ "$failed" != 0 ] && [ "${RIG_KEEP_FAILED:-0}" = 1 ]; }; then
        _rig_log "kept $RIG_DIR"
    else
        rm -rf "$RIG_DIR"
    fi
}

_rig_on_exit()
{
    local status=$?
    # A test's set -e must not turn a hiccup while tidying up into its own failure.
    set +e
    rig_stop "$status"
    exit $status
}

_rig_on_signal()
{
    set +e
    _rig_log "interrupted"
    rig_stop 130
    trap - EXIT
    exit 130
}

_rig_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Some window manager holds the root's substructure redirect: it manages the windows.
_rig_wm_redirects() { xwininfo -root -events 2>/dev/null | grep -q SubstructureRedirect; }

# Starts window manager $1 with a private HOME and its own minimal settings where the
# defaults do not suit a headless test.
_rig_spawn_wm()
{
    local wm=$1
    command -v "$wm" >/dev/null || rig_fail "$wm is not installed (run scripts/bootstrap)"
    mkdir -p "$RIG_DIR/home"
    local run=(rig_spawn "$wm" env HOME="$RIG_DIR/home")
    case $wm in
    openbox) "${run[@]}" openbox --sm-disable ;;
    i3)
        # Without a bar, whose tray would take the icons from trayer.
        # (A file without the version line is taken for an old one and given a bar.)
        printf '# i3 config file (v4)\nfont pango:DejaVu Sans Mono 8\n' >"$RIG_DIR/i3.config"
        "${run[@]}" i3 -c "$RIG_DIR/i3.config"
        ;;
    twm)
        # Debian's settings (fonts, bindings), placing windows without asking.
        { cat /etc/X11/twm/system.twmrc; printf 'RandomPlacement\nUsePPosition "on"\n'; } >"$RIG_DIR/twmrc"
        "${run[@]}" twm -f "$RIG_DIR/twmrc"
        ;;
    fluxbox)
        # Its style's wallpaper fails on Xvfb, and the message about it would be a window.
        mkdir -p "$RIG_DIR/home/.fluxbox"
        echo 'background: none' >"$RIG_DIR/home/.fluxbox/overlay"
        "${run[@]}" fluxbox
        ;;
    awesome | bspwm | dwm) "${run[@]}" "$wm" ;;
    *) rig_fail "rig_start: unknown window manager $wm" ;;
    esac
}

rig_start()
{
    local tray=0 wm=${RIG_WM:-openbox}
    while [ $# -gt 0 ]; do
        case $1 in
        --tray) tray=1 ;;
        --no-wm) wm= ;;
        --wm)
            wm=${2:-}
            shift
            ;;
        *) rig_fail "rig_start: unknown option $1" ;;
        esac
        shift
    done
    export RIG_WM=$wm
    for arg in Xvfb xdpyinfo xprop xdotool xterm; do
        command -v "$arg" >/dev/null || rig_fail "$arg is not installed (run scripts/bootstrap)"
    done
    RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kx-rig.XXXXXX")
    # Sockets and other per-session files of the programs under test stay in the test's folder.
    export XDG_RUNTIME_DIR=$RIG_DIR/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    _RIG_STOPPED=0
    trap _rig_on_exit EXIT
    trap _rig_on_signal INT TERM

    # -displayfd lets the server pick a free display number itself (no race between
    # tests looking for one) and report it once it listens.
    local numberfile=$RIG_DIR/display-number
    rig_spawn Xvfb Xvfb -displayfd 5 -screen 0 "${RIG_SCREEN:-1280x1024}x24" -nolisten tcp -noreset 5>"$numberfile"
    rig_wait_until "$RIG_TIMEOUT" "Xvfb to choose a display" grep -q '^[0-9]' "$numberfile"
    export DISPLAY=:$(head -n 1 "$numberfile")
    rig_wait_until "$RIG_TIMEOUT" "Xvfb on $DISPLAY" xdpyinfo -display "$DISPLAY"

    if [ -n "$wm" ]; then
        _rig_spawn_wm "$wm"
        rig_wait_until "$RIG_TIMEOUT" "$wm (substructure redirect on the root)" _rig_wm_redirects
        if [ "$wm" != twm ]; then
            rig_wait_until "$RIG_TIMEOUT" "$wm (_NET_SUPPORTING_WM_CHECK)" _rig_wm_running
        fi
        # openbox announces itself before its event loop runs, and events that reach it in
        # between can stay queued until another one arrives: a window mapped then (trayer's
        # panel) would never appear. A round trip proves the loop runs and the queue is empty
        # (awesome answers only once its configuration has been run).
        rig_wait_for_wm_idle
    fi
    if [ "$tray" = 1 ]; then
        rig_start_tray
    fi
}

_rig_has_probe() { [ -n "${RIG_PROBE:-}" ] && [ -x "$RIG_PROBE" ]; }

_rig_tray_ready()
{
    [ -n "$(xdotool search --onlyvisible --class '^trayer$' 2>/dev/null)" ] || return 1
    ! _rig_has_probe || "$RIG_PROBE" selection-owner _NET_SYSTEM_TRAY_S0 >/dev/null
}

# What the screen shows of trayer, for the log when its panel does not come up.
_rig_tray_state()
{
    local owner="no owner" w
    if _rig_has_probe; then
        owner=$("$RIG_PROBE" selection-owner _NET_SYSTEM_TRAY_S0) || owner="no owner"
    fi
    printf 'tray selection: %s;' "$owner"
    for w in $(xdotool search --class '^trayer$' 2>/dev/null); do
        printf ' window %s %s;' "$w" "$(xwininfo -id "$w" 2>/dev/null | sed -n 's/.*Map State: //p')"
    done
}

rig_start_tray()
{
    command -v trayer >/dev/null || rig_fail "trayer is not installed"
    local attempt
    for attempt in 1 2 3; do
        rig_spawn trayer trayer --edge bottom --align right --widthtype request --height 28 \
            --SetDockType true --SetPartialStrut true --transparent false --expand true
        # Its panel waits for the window manager to map it; make sure openbox is not sitting
        # on the request.
        rig_wait_for_wm_idle
        _rig_poll "$RIG_TIMEOUT" _rig_tray_ready && return 0
        # Not seen since the round trip above; logged and tried again rather than waited for.
        _rig_log "trayer did not come up (attempt $attempt): $(_rig_tray_state) $(tail -c 300 "$RIG_DIR/trayer.log")"
        rig_kill trayer
    done
    rig_fail "trayer (tray selection owned, panel visible) did not come up in 3 attempts"
}

# Prints the ids of viewable windows whose title is exactly $1.
_rig_find_window()
{
    local pattern
    # xdotool matches a regular expression; escape the title to match it literally.
    pattern=$(printf '%s' "$1" | sed 's/[][\.^$*+?(){}|/]/\\&/g')
    xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null
}

# The id comes from the same search that saw the window: a second search can come back
# empty (xdotool gives up when another window vanishes during its walk).
_rig_window_found() { _RIG_FOUND=$(_rig_find_window "$1" | head -n 1) && [ -n "$_RIG_FOUND" ]; }
_rig_window_gone() { [ -z "$(_rig_find_window "$1")" ]; }

rig_wait_for_window()
{
    rig_wait_until "${2:-$RIG_TIMEOUT}" "window '$1'" _rig_window_found "$1"
    echo "$_RIG_FOUND"
}

rig_wait_for_no_window()
{
    rig_wait_until "${2:-$RIG_TIMEOUT}" "window '$1' to disappear" _rig_window_gone "$1"
}

rig_wait_for_file_bytes()
{
    local file=$1 n=$2
    rig_wait_until "${3:-$RIG_TIMEOUT}" "$n bytes in $file (has $(stat -c %s "$file" 2>/dev/null || echo none))" \
        eval '[ -f "$file" ] && [ "$(stat -c %s "$file")" -ge "$n" ]'
}

_rig_active_is()
{
    local active
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$active" ] && [ $((active)) -eq $(($1)) ]
}

rig_wait_for_active()
{
    [ -n "$1" ] || rig_fail "rig_wait_for_active: no window given (an earlier wait failed)"
    rig_wait_until "${2:-$RIG_TIMEOUT}" "window $1 to become active" _rig_active_is "$1"
}

rig_wait_for_wm_idle()
{
    local timeout=${1:-$RIG_TIMEOUT}
    [ -n "${RIG_WM:-}" ] && [ -n "${RIG_PIDS[$RIG_WM]:-}" ] || return 0
    _rig_has_probe || rig_fail "RIG_PROBE names no kx-x11-probe (build/dev/tests/e2e/x11/kx-x11-probe)"
    "$RIG_PROBE" wm-roundtrip "$timeout" >/dev/null || rig_fail "$RIG_WM did not answer a round trip within $timeout s"
}

rig_xterm()
{
    local title=$1 capture=$2
    shift 2
    rm -f "$capture"
    # The capture file is created by the redirection, after stty has made the terminal
    # raw: its existence says the capture is ready. A cooked terminal would cut lines and
    # echo.
    LC_ALL=C.UTF-8 LANG=C.UTF-8 rig_spawn "xterm:$title" xterm -u8 -fa 'DejaVu Sans Mono' -fs 10 \
        -geometry 80x24 -T "$title" "$@" -e sh -c 'stty raw -echo && exec cat > "$0"' "$capture"
    RIG_LAST_WINDOW=$(rig_wait_for_window "$title") || exit 1
    rig_wait_until "$RIG_TIMEOUT" "capture of '$title' to start" test -e "$capture"
}

# The input focus is on WINDOW (xdotool reports the client window that holds it).
_rig_has_focus() { [ "$(($(xdotool getwindowfocus 2>/dev/null || echo -1)))" -eq "$(($1))" ]; }

rig_use_window()
{
    local window=$1
    [ -n "$window" ] || rig_fail "rig_use_window: no window given (an earlier wait failed)"
    # Raised first, as clicking raises it under most managers (not twm), so that no other
    # window covers the point; the pointer comes from the screen's corner opposite the
    # window, so that it enters the window even when it was there already (managers that
    # focus the window the pointer enters see nothing otherwise).
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool windowraise "$window" \
        mousemove $((X + WIDTH / 2 < 640 ? 1279 : 0)) $((Y + HEIGHT / 2 < 512 ? 1023 : 0)) \
        mousemove --window "$window" 20 20 click 1
    rig_wait_until "$RIG_TIMEOUT" "window $window to get the keyboard focus" _rig_has_focus "$window"
}

rig_screenshot() { import -display "$DISPLAY" -window root "$1"; }
