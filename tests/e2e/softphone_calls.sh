# shellcheck shell=bash
# Helpers for the end-to-end call scenarios with the stand-in softphone, the
# stand-in adapter and (where wanted) the stand-in Skype. Source after
# lib.sh, softphone.sh and skype.sh.
#
#   e2e_handset CODE          a real handset key at the softphone
#   e2e_softphone_cue MSG [WPARAM]  posts a cue to the softphone's dialer
#   e2e_logged EVENT N        true once EVENT has been logged N times
#   e2e_record_of EVENT       the last record of EVENT
#   e2e_call_status           the record the Call Status window shows now
#   e2e_transcript_since N    the softphone's transcript after its first N lines
#   e2e_wait_ready            waits until the adapter is in use

E2E_SOFTPHONE_RING_CUE=0x8001     # WM_APP + 1
E2E_SOFTPHONE_HANG_UP_CUE=0x8002  # WM_APP + 2

e2e_handset() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }

e2e_softphone_cue() {
    wintool post "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE" "$1" "${2:-0}" 0 >/dev/null ||
        e2e_fail "could not cue the stand-in softphone"
}

e2e_logged() { (( $(e2e_log_count "$1") >= $2 )); }

e2e_record_of() { e2e_log_records | grep "^st=$1;" | tail -n1; }

# The second child of the Call Status window holds the record, as a sibling
# program reads it.
e2e_call_status() { wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2; }

e2e_transcript_since() { e2e_transcript | tail -n +"$(( $1 + 1 ))"; }

e2e_wait_ready() {
    ready() { e2e_log_records | grep -q '^st=DataFilePath:'; }
    e2e_wait 20 ready || e2e_fail "the adapter was never made ready"
}
