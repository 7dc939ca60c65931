# shellcheck shell=bash
# Helpers for the end-to-end call scenarios with the stand-in softphone, the
# stand-in adapter and (where wanted) the stand-in Skype. Source after
# lib.sh, softphone.sh and skype.sh.
#
#   e2e_softphone_cue MSG [WPARAM]  posts a cue to the softphone's dialer
#   e2e_transcript_since N    the softphone's transcript after its first N lines

E2E_SOFTPHONE_RING_CUE=0x8001     # WM_APP + 1
E2E_SOFTPHONE_HANG_UP_CUE=0x8002  # WM_APP + 2

e2e_softphone_cue() {
    wintool post "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE" "$1" "${2:-0}" 0 >/dev/null ||
        e2e_fail "could not cue the stand-in softphone"
}

e2e_transcript_since() { e2e_transcript | tail -n +"$(( $1 + 1 ))"; }
