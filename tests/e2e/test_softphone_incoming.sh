#!/usr/bin/env bash
# The softphone's own call while the program is idle: the program notes it
# and lets the softphone ring, answer and end it. Lifting the handset
# answers in the softphone (the popup goes) while the program only follows
# ("CallAnswered" on the softphone line) and never takes the handset; a key
# is a tone in the softphone's call; putting the handset down ends it. A
# call the far end gives up ends with the dialer put away, and the next
# call shows the dialer again. Another program's Qt window of the popup's
# size, below the softphone's windows, is never taken for a call.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone_calls.sh"
e2e_begin softphone_incoming

e2e_start_clutter 1 QWidget 280 126
e2e_start_with_adapter --no-skype
sleep 2  # polls with the stranger's window on the desk
(( $(e2e_log_count IncomingCall) == 0 )) || e2e_fail "another program's Qt window was taken for a softphone call"

lines=$(e2e_transcript | wc -l)
mark=$(e2e_mark)
e2e_softphone_cue "$E2E_SOFTPHONE_RING_CUE"
e2e_wait 10 e2e_logged_since "$mark" IncomingCall || e2e_fail "the softphone's call was not noticed"
# The poll that found it saw the stranger's window too.
! e2e_logged_since "$mark" IncomingCall 2 || e2e_fail "another program's Qt window was taken for a softphone call"
e2e_assert_match "the Call Status record while it rings" '^st=IncomingCall; ct=1; cs=4; of=0;' "$(e2e_status_record)"

e2e_key 0x8E
e2e_wait 10 e2e_logged_since "$mark" CallAnswered || e2e_fail "lifting the handset was not seen as an answer"
e2e_assert_match "the answered call" '^st=CallAnswered; ct=1; cs=3; of=1;' "$(e2e_record_of CallAnswered)"
answered() { e2e_transcript_since "$lines" | grep -qx popup-gone; }
e2e_wait 5 answered || e2e_fail "the softphone did not answer: $(e2e_transcript_since "$lines")"
e2e_assert_eq "the softphone's side" $'popup 280x126\nhandset 0x8E\nanswer\npopup-gone' "$(e2e_transcript_since "$lines")"
sleep 2  # twenty polls see no popup
! e2e_logged_since "$mark" CallDisconnected || e2e_fail "the answered call was taken for a lost one"
e2e_assert_match "the Call Status record while talking" '; ct=1; cs=3; of=1;' "$(e2e_status_record)"

e2e_key 0x35
tone() { e2e_transcript | tail -n1 | grep -qx 'tone 5'; }
e2e_wait 5 tone || e2e_fail "the key was not a tone in the softphone's call"
e2e_hang_up
e2e_assert_match "the record after the call" '^st=CallOnhook; ct=0; cs=0; of=0;' "$(e2e_record_of CallOnhook)"
e2e_transcript | grep -qx call-end || e2e_fail "the softphone's call did not end"
e2e_transcript | grep -q '^inject' && e2e_fail "the program took the handset from the softphone's call"
e2e_transcript | grep -q '^popup-click' && e2e_fail "the program clicked the softphone's popup"

# Given up by the far end while it rings: the dialer is put away...
mark=$(e2e_mark)
e2e_softphone_cue "$E2E_SOFTPHONE_RING_CUE" 1
e2e_wait 10 e2e_logged_since "$mark" IncomingCall || e2e_fail "the second call was not noticed"
e2e_softphone_cue "$E2E_SOFTPHONE_HANG_UP_CUE"
e2e_wait 10 e2e_logged_since "$mark" CallDisconnected || e2e_fail "the given-up call was not noticed"
e2e_assert_match "the record after it" '^st=CallDisconnected; ct=0; cs=0; of=0;' "$(e2e_record_of CallDisconnected)"
hidden() { [[ "$(wintool visible "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE")" == 0 ]]; }
e2e_wait 5 hidden || e2e_fail "the dialer was not put away"
# ...and comes back with the next call.
e2e_softphone_cue "$E2E_SOFTPHONE_RING_CUE"
shown() { [[ "$(wintool visible "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE")" == 1 ]]; }
e2e_wait 5 shown || e2e_fail "the dialer did not come back with the next call"
e2e_wait 10 e2e_logged_since "$mark" IncomingCall 2 || e2e_fail "the third call was not noticed"
