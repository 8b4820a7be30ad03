# The usual start of the backend scripts; sources the rig (rig.sh).
#
#   x11_start_target [RIG OPTIONS]   rig_start, then a terminal "Ziel" that captures into
#                                    $RIG_DIR/target; sets target (its id) and probe
#                                    (kx-x11-probe)
source "$RIG_LIB"
x11_start_target()
{
    rig_start "$@"
    probe=$RIG_PROBE
    rig_xterm "Ziel" "$RIG_DIR/target"
    target=$RIG_LAST_WINDOW
}
