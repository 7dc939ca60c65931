#!/usr/bin/env bash
# Brings the Wine prefix shared by one run of the end-to-end tests up or down.
#   prefix.sh up   [STATE]   (CTest fixture set-up)
#   prefix.sh down [STATE]   (CTest fixture clean-up; safe after a failed "up")
# STATE defaults to $E2E_STATE.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

action=${1:-}
state=${2:-${E2E_STATE:-}}
[[ -n "$state" ]] || e2e_fail "no state file: pass one or set E2E_STATE"

case "$action" in
    up)
        # A failed start leaves nothing running behind it.
        trap 'rc=$?; (( rc != 0 )) && e2e_prefix_down "$state"; exit $rc' EXIT
        e2e_prefix_up "$state"
        if [[ -n "${E2E_WINTOOL:-}" ]]; then
            # First Wine program after boot; shows that wintool runs at all.
            wintool count - - >/dev/null || e2e_fail "wintool does not run in the new prefix"
        fi
        ;;
    down)
        e2e_prefix_down "$state"
        ;;
    *)
        echo "usage: $0 up|down [STATE]" >&2
        exit 2
        ;;
esac
