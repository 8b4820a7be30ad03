#!/usr/bin/env bash
# More distinct characters missing from the layout than there are spare keycodes: the
# keycodes are rebound in rounds, and every character still arrives in order.
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" keymap >"$RIG_DIR/keymap.before"
spares=$(grep -c ': 0 0 0 0' "$RIG_DIR/keymap.before" || true)
# Greek and Cyrillic letters, each twice, interleaved with ASCII: more than twice the spares.
letters=(α β γ δ ε ζ η θ ι κ λ μ ν ξ ο π ρ σ τ υ φ χ ψ ω б в г д ж з и й к л м н п ф ц ч ш щ)
[ "${#letters[@]}" -gt $((2 * spares)) ] || rig_fail "test needs more letters than 2 x $spares spares"
text=
for l in "${letters[@]}" "${letters[@]}"; do text+="$l-"; done
printf '%s\n' "$text" >"$RIG_DIR/text"
tr '\n' '\r' <"$RIG_DIR/text" >"$RIG_DIR/expected"

"$probe" type --window "$RIG_LAST_WINDOW" "$RIG_DIR/text"
rig_wait_for_file_bytes "$RIG_DIR/target" "$(stat -c %s "$RIG_DIR/expected")"
cmp "$RIG_DIR/expected" "$RIG_DIR/target" || rig_fail "typed: $(cat "$RIG_DIR/target")"
"$probe" keymap | diff "$RIG_DIR/keymap.before" - || rig_fail "keymap changed"
echo "many missing characters passed ($spares spare keycodes)"
