#!/usr/bin/env bash
# Outgoing Skype calls from the handset through the real program, the
# stand-in softphone, adapter and Skype, with the traffic a real Skype
# sends (UNPLACED, ROUTING, EARLYMEDIA or the far end's RINGING, INPROGRESS,
# VIDEO_STATUS, DURATION). By number, with PIN digits passed on as tones
# while "AllowPinDialing" is 1 and kept back while it is 0; by speed-dial
# slot; to the echo test with "*0"; hung up while routing (Skype cancels
# it); refused by Skype with an ERROR (the reason shows in the Call Status
# window); and not placed at all while a sibling plug-in is in a call.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin skype_outgoing

# The settings file of adapter MJ00A1B2C3D4 (its serial's digits mirrored),
# read afresh at every use.
settings() {
    printf '[Options]\r\nAllowPinDialing=%s\r\n[SpeedDial]\r\nn7=Alice\r\nt7=alice.w\r\n' "$1" \
        >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
}
settings 1
e2e_start_with_adapter
program=$E2E_PROGRAM_PID

commands() { e2e_skype_lines command | wc -l; }
sent_has() { e2e_skype_sent_since "$1" | grep -xF -- "$2" >/dev/null; }
idle() { [[ "$(e2e_status_record)" == *"ct=0; cs=0; of=0;"* ]]; }
hang_up() {
    e2e_hang_up
    e2e_wait 5 idle || e2e_fail "the record is not idle after hanging up: $(e2e_status_record)"
}
closed() { e2e_skype_has closed TConversationForm.UnicodeClass && e2e_skype_has closed TCallQualityForm; }

# By number, PIN digits on.
before=$(commands)
mark=$(e2e_mark)
e2e_lift '*8005550100#'
e2e_wait 15 e2e_logged_since "$mark" CallInProgress || e2e_fail "the call never went into progress: $(e2e_skype_sent_since "$before")"
e2e_assert_eq "the commands of the call" $'FOCUS\nCALL +18005550100\nGET CALL 101 TYPE' "$(e2e_skype_sent_since "$before")"
for status in UNPLACED ROUTING EARLYMEDIA INPROGRESS; do
    e2e_skype_has notify "CALL 101 STATUS $status" || e2e_fail "Skype did not report $status"
done
e2e_wait 5 e2e_logged_since "$mark" CallTypePSTN || e2e_fail "the telephone call's type was not taken"
e2e_assert_match "the record in the call" 'ct=2; cs=3; of=1; dn=\+18005550100;' "$(e2e_status_record)"
before=$(commands)
e2e_dial 42
e2e_wait 5 sent_has "$before" "SET MUTE OFF" || e2e_fail "no unmute after the tones: $(e2e_skype_sent_since "$before")"
e2e_assert_eq "the tones" $'SET MUTE ON\nSET CALL 101 DTMF 4\nSET CALL 101 DTMF 2\nSET MUTE OFF' \
    "$(e2e_skype_sent_since "$before")"
e2e_skype_has notify "CALL 101 DTMF 2" || e2e_fail "Skype did not take the tone"
e2e_wait 5 e2e_skype_has notify "CALL 101 DURATION 2" || e2e_fail "no DURATION from Skype"
before=$(commands)
hang_up
e2e_skype_has notify "CALL 101 STATUS FINISHED" || e2e_fail "Skype did not finish the call"
e2e_wait 10 closed || e2e_fail "Skype's call windows were not closed: $(e2e_skype_lines closed)"
e2e_assert_eq "the commands of the hang-up" $'FOCUS\nHOOK ON\nMINIMIZE' "$(e2e_skype_sent_since "$before")"

# By number, PIN digits off.
settings 0
mark=$(e2e_mark)
e2e_lift '*5551234#'
e2e_wait 15 e2e_logged_since "$mark" CallTypePSTN || e2e_fail "the second telephone call did not go into progress"
e2e_logged_since "$mark" AllowPinDialingOff || e2e_fail "the option was not read as off"
before=$(commands)
e2e_dial 42
e2e_wait 5 e2e_logged_since "$mark" Digit2 || e2e_fail "the keys were not taken"
# The hang-up's commands come after whatever the keys would have sent.
hang_up
e2e_wait 10 sent_has "$before" "HOOK ON" || e2e_fail "no HOOK ON after the keys"
e2e_assert_eq "commands for keys with the option off, up to the hang-up" $'FOCUS\nHOOK ON' \
    "$(e2e_skype_sent_since "$before" | head -n 2)"

# By speed-dial slot: a Skype name, called as it stands.
before=$(commands)
mark=$(e2e_mark)
e2e_lift '*7#'
e2e_wait 15 e2e_logged_since "$mark" CallInProgress || e2e_fail "the speed-dial call never went into progress"
e2e_assert_eq "the speed-dial call" $'FOCUS\nCALL alice.w\nGET CALL 103 TYPE' "$(e2e_skype_sent_since "$before")"
(( $(e2e_skype_lines notify | grep -cxF 'CALL 103 STATUS RINGING') >= 2 )) || e2e_fail "the far end's ringing was not reported twice"
e2e_wait 5 e2e_logged_since "$mark" CallTypeP2P || e2e_fail "the Skype-to-Skype call's type was not taken"
e2e_assert_match "the record of the speed-dial call" 'ct=2; cs=3; of=1; dn=alice\.w;' "$(e2e_status_record)"
hang_up

# The echo test answers by itself.
before=$(commands)
mark=$(e2e_mark)
e2e_lift '*0#'
e2e_wait 15 e2e_logged_since "$mark" CallInProgress || e2e_fail "the echo test never went into progress"
e2e_assert_eq "the echo test call" $'FOCUS\nCALL echo123\nGET CALL 104 TYPE' "$(e2e_skype_sent_since "$before")"
hang_up

# Hung up while the call routes: Skype is told NO, and cancels it.
e2e_skype_cue "calls route"
mark=$(e2e_mark)
e2e_lift '*8005550111#'
e2e_wait 15 e2e_skype_has notify "CALL 105 STATUS EARLYMEDIA" || e2e_fail "the routed call did not reach early media"
e2e_assert_match "the routed call" '^st=CallRouting; ct=2; cs=2; of=1;' "$(e2e_record_of CallRouting)"
before=$(commands)
hang_up
e2e_wait 5 e2e_skype_has notify "CALL 105 STATUS CANCELLED" || e2e_fail "Skype did not cancel the routed call"
e2e_assert_eq "the commands of the hang-up while routing" \
    $'FOCUS\nBTN_PRESSED NO\nBTN_RELEASED NO\nHOOK ON' "$(e2e_skype_sent_since "$before" | head -n 4)"

# Skype refuses the call at once with an ERROR: the reason is shown.
e2e_skype_cue "calls error 71 Invalid target number"
mark=$(e2e_mark)
e2e_lift '*12345#'
e2e_wait 10 e2e_logged_since "$mark" DialingError || e2e_fail "the ERROR was not reported"
e2e_assert_eq "the dialling error" \
    "Skype has reported that your call to +12345 has failed with the reason Invalid target. Check the number and try your call again." \
    "$(e2e_status_line)"
e2e_assert_eq "the Call Status window shown" 1 "$(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE")"
e2e_assert_match "the record of the failed call" 'ct=2; cs=2; of=1; dn=\+12345;' "$(e2e_status_record)"
hang_up

# A sibling plug-in in a call: nothing is placed.
e2e_skype_cue "calls answer"
e2e_start_sibling "FerrowindPlugin - Call Status" "st=CallAnswered; ct=2; cs=3; of=1;"
before=$(commands)
mark=$(e2e_mark)
e2e_lift '*0#'
e2e_wait 10 e2e_logged_since "$mark" AllDigitsPresent || e2e_fail "dialling did not end"
e2e_assert_match "the record while the sibling is busy" 'ct=1; cs=2; of=1;' "$(e2e_status_record)"
# Placing follows the last digit at once; the hang-up comes after it.
hang_up
e2e_assert_eq "commands while the sibling is in a call" "" "$(e2e_skype_sent_since "$before" | grep '^CALL ')"
wintool post '#32770' "FerrowindPlugin - Call Status" "$E2E_WM_CLOSE" 0 0 >/dev/null

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
