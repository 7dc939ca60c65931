#!/usr/bin/env bash
# Brings the Wine prefix shared by one run of the end-to-end tests up or down.
#   prefix.sh up   [STATE]   (CTest fixture set-up)
#   prefix.sh down [STATE]   (CTest fixture clean-up; safe after a failed "up")
# STATE defaults to $E2E_STATE. E2E_ARCH picks a 32-bit or a 64-bit prefix;
# "up" is skipped where the host cannot run the images of E2E_ARCH.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

action=${1:-}
state=${2:-${E2E_STATE:-}}
[[ -n "$state" ]] || e2e_fail "no state file: pass one or set E2E_STATE"

case "$action" in
    up)
        e2e_skip_unless_runnable
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
