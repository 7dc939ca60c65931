#!/usr/bin/env bash
# Skype calls through the real program, the stand-in softphone, the
# stand-in Skype and the stand-in adapter. From the handset: off hook, "*",
# a ten-digit number and "#" place "CALL +1..." in Skype; Skype's ROUTING
# and INPROGRESS make it the call in hand, a telephone-network one; on hook
# ends it with "HOOK ON" and the windows Skype opened for it are closed.
# Into the handset: Skype's ringing call is taken with the caller from the
# speed-dial table, answered with "HOOK OFF" when the handset is lifted,
# and its end by the far side keeps the call until the handset goes down.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin skype_call

e2e_plug_adapter
# The settings file of adapter MJ00A1B2C3D4: its serial's digits mirrored.
printf '[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n' >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
e2e_start_softphone --version 2012.1
e2e_start_skype
e2e_start_program_with_adapter
program=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
attached() { (( $(e2e_log_count SkypeAttached) == 1 )); }
e2e_wait 30 attached || e2e_fail "no SkypeAttached within 30 s"

key() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }
logged() { (( $(e2e_log_count "$1") >= $2 )); }
record_of() { e2e_log_records | grep "^st=$1;" | tail -n1; }
sent_since() { e2e_skype_sent_since "$1"; }
has_line() { e2e_skype_has "$1" "$2"; }

# Outgoing.
before=$(e2e_skype_lines command | wc -l)
key 0x8E
e2e_wait 10 logged CallOrigination 1 || e2e_fail "no CallOrigination"
for k in 0x6A 0x38 0x30 0x30 0x35 0x35 0x35 0x30 0x31 0x30 0x30 0x88; do key "$k"; done
e2e_wait 15 logged CallInProgress 1 || e2e_fail "the call never went into progress: $(sent_since "$before")"
e2e_assert_eq "the commands of the call" $'FOCUS\nCALL +18005550100\nGET CALL 101 TYPE' "$(sent_since "$before")"
e2e_assert_match "the routed call" '^st=CallRouting; ct=2; cs=2; of=1; dn=\+18005550100;' "$(record_of CallRouting)"
e2e_assert_match "the call in progress" '^st=CallInProgress; ct=2; cs=3; of=1;' "$(record_of CallInProgress)"
e2e_wait 5 logged CallTypePSTN 1 || e2e_fail "the call's type was not taken"

before=$(e2e_skype_lines command | wc -l)
key 0x8F
e2e_wait 10 logged CallOnhook 1 || e2e_fail "no CallOnhook"
closed() { has_line closed TConversationForm.UnicodeClass && has_line closed TCallQualityForm; }
e2e_wait 10 closed || e2e_fail "Skype's call windows were not closed: $(e2e_skype_lines closed)"
e2e_assert_eq "the commands of the hang-up" $'FOCUS\nHOOK ON\nMINIMIZE' "$(sent_since "$before")"
has_line notify "CALL 101 STATUS FINISHED" || e2e_fail "Skype did not end the call"
e2e_assert_match "the record after the hang-up" '^st=CallOnhook; ct=0; cs=0; of=0;' "$(record_of CallOnhook)"

# Incoming.
before=$(e2e_skype_lines command | wc -l)
e2e_skype_cue "ring bob"
e2e_wait 10 logged IncomingSkypeCall 1 || e2e_fail "the ringing Skype call was not taken"
e2e_assert_match "the ringing call" '^st=IncomingSkypeCall; ct=2; cs=4; of=0;' "$(record_of IncomingSkypeCall)"
e2e_wait 10 logged SendCallerid 1 || e2e_fail "no caller identification in the first ring pause"
e2e_assert_match "the caller" 'cn=\(S\)Bob Smith; ci=7;' "$(record_of SendCallerid)"
key 0x8E
e2e_wait 10 logged CallAnswered 1 || e2e_fail "lifting the handset did not answer"
e2e_wait 10 logged CallInProgress 2 || e2e_fail "Skype did not put the answered call in progress"
e2e_assert_eq "the commands of the answer" $'GET CALL 102 PARTNER_HANDLE\nHOOK OFF\nGET CALL 102 TYPE' \
    "$(sent_since "$before")"
e2e_transcript | grep -x 'inject 0x8F' >/dev/null || e2e_fail "the softphone was not made to let go of the handset"

e2e_skype_cue "end FINISHED"
e2e_wait 10 logged CallDisconnected 1 || e2e_fail "the far end's hang-up was not noticed"
e2e_assert_match "the call kept while off hook" '^st=CallDisconnected; ct=2; cs=3; of=1;' "$(record_of CallDisconnected)"
key 0x8F
e2e_wait 10 logged CallOnhook 2 || e2e_fail "no CallOnhook after the far end hung up"
e2e_assert_match "the record at the end" '^st=CallOnhook; ct=0; cs=0; of=0;' "$(record_of CallOnhook)"

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
