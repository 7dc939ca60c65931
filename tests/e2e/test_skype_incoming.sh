#!/usr/bin/env bash
# Skype calls ringing in, through the real program and the stand-in
# softphone, adapter and Skype. This Skype is a busy one: what a command
# causes comes back from inside the program's own send (the attach from
# inside the discovery broadcast, INPROGRESS from inside "HOOK OFF").
# Answered: the adapter rings (feature reports), the caller is named from
# the speed-dial table, lifting the handset answers, and the far end's
# hang-up keeps the call until the handset goes down. A second call
# during a Skype call is left to Skype. Refused after 3 s with "NO": while
# the phone is busy on the softphone line, and while a sibling plug-in's
# Call Status window shows a ringing call.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin skype_incoming

e2e_plug_adapter
printf '[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n' >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
e2e_start_softphone --version 2012.1
e2e_start_skype --delivery sync
e2e_start_program_with_adapter
program=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
e2e_wait 30 e2e_logged SkypeAttached 1 || e2e_fail "no SkypeAttached within 30 s"

reports="$E2E_DIR/adapter-reports.txt"
zeros() { printf ' 00%.0s' $(seq "$1"); }
RING_ON="set 33 ok 00 04 3D 40 01 30$(zeros 27)"
RING_OFF="set 33 ok 00 04 3D 40 01 00$(zeros 27)"
last_report() { tr -d '\r' <"$reports" 2>/dev/null | grep '^set ' | tail -n1; }
reports_since() { tr -d '\r' <"$reports" 2>/dev/null | grep '^set ' | tail -n +"$(( $1 + 1 ))"; }
report_count() { tr -d '\r' <"$reports" 2>/dev/null | grep -c '^set '; }
commands() { e2e_skype_lines command | wc -l; }
sent_has() { e2e_skype_sent_since "$1" | grep -xF -- "$2" >/dev/null; }
idle() { [[ "$(e2e_status_record)" == *"ct=0; cs=0; of=0;"* ]]; }
e2e_softphone_closed() { e2e_transcript | grep -x sysclose >/dev/null; }

# Answered, then the caller hangs up.
before=$(commands)
reports_before=$(report_count)
e2e_skype_cue "ring bob"
e2e_wait 10 e2e_logged IncomingSkypeCall 1 || e2e_fail "the ringing Skype call was not taken"
e2e_assert_match "the ringing call" 'ct=2; cs=4; of=0;' "$(e2e_status_record)"
e2e_wait 10 e2e_logged SendCallerid 1 || e2e_fail "no caller identification in the first ring pause"
e2e_assert_match "the caller" 'cn=\(S\)Bob Smith; ci=7;' "$(e2e_record_of SendCallerid)"
reports_since "$reports_before" | grep -xF -- "$RING_ON" >/dev/null || e2e_fail "the adapter was not rung: $(reports_since "$reports_before")"
e2e_key 0x8E
e2e_wait 10 e2e_logged CallAnswered 1 || e2e_fail "lifting the handset did not answer"
e2e_wait 10 e2e_logged CallInProgress 1 || e2e_fail "Skype's INPROGRESS was not taken"
e2e_assert_eq "the commands of the answer" $'GET CALL 101 PARTNER_HANDLE\nHOOK OFF\nGET CALL 101 TYPE' \
    "$(e2e_skype_sent_since "$before")"
e2e_assert_eq "the ringer after the answer" "$RING_OFF" "$(last_report)"
e2e_assert_match "the answered call" 'ct=2; cs=3; of=1;' "$(e2e_status_record)"
e2e_transcript | grep -x 'inject 0x8F' >/dev/null || e2e_fail "the softphone was not made to let go of the handset"
# INPROGRESS came inside "HOOK OFF"; the softphone's dialer is still put away.
e2e_wait 5 e2e_softphone_closed || e2e_fail "the softphone's dialer was not put away after the answer"
e2e_skype_cue "end FINISHED"
e2e_wait 10 e2e_logged CallDisconnected 1 || e2e_fail "the caller's hang-up was not noticed"
e2e_assert_match "the call kept while off hook" 'ct=2; cs=3; of=1;' "$(e2e_status_record)"
e2e_key 0x8F
e2e_wait 10 e2e_logged CallOnhook 1 || e2e_fail "no CallOnhook"
e2e_wait 5 idle || e2e_fail "the record is not idle after hanging up: $(e2e_status_record)"

# A second call during a Skype call is left to Skype.
e2e_key 0x8E
e2e_wait 10 e2e_logged CallOrigination 1 || e2e_fail "no CallOrigination"
e2e_dial '*0#'
e2e_wait 15 e2e_logged CallInProgress 2 || e2e_fail "the echo test never went into progress"
before=$(commands)
e2e_skype_cue "ring dave"
e2e_wait 5 e2e_skype_has notify "CALL 103 STATUS RINGING" || e2e_fail "the second call did not ring"
sleep 4
e2e_assert_eq "commands for a call ringing during a Skype call" "" "$(e2e_skype_sent_since "$before")"
e2e_assert_match "the call in hand" 'ct=2; cs=3; of=1; dn=echo123;' "$(e2e_status_record)"
e2e_skype_cue "end MISSED"
e2e_key 0x8F
e2e_wait 10 e2e_logged CallOnhook 2 || e2e_fail "no CallOnhook after the echo test"
e2e_skype_has notify "CALL 102 STATUS FINISHED" || e2e_fail "the echo test was not the call hung up"
e2e_wait 5 idle || e2e_fail "the record is not idle after the echo test"

# Refused while the phone is busy on the softphone line.
e2e_key 0x8E
e2e_wait 10 e2e_logged CallOrigination 2 || e2e_fail "no CallOrigination"
before=$(commands)
e2e_skype_cue "ring carol"
e2e_wait 10 sent_has "$before" "BTN_RELEASED NO" || e2e_fail "the call was not refused while busy"
e2e_assert_eq "the refusal" $'BTN_PRESSED NO\nBTN_RELEASED NO' "$(e2e_skype_sent_since "$before" | head -n 2)"
e2e_wait 5 e2e_skype_has notify "CALL 104 STATUS REFUSED" || e2e_fail "Skype did not refuse the call"
e2e_assert_match "the record while busy" 'ct=1; cs=1; of=1;' "$(e2e_status_record)"
(( $(e2e_log_count IncomingSkypeCall) == 1 )) || e2e_fail "the call was taken although the phone was busy"
e2e_key 0x8F
e2e_wait 10 e2e_logged CallOnhook 3 || e2e_fail "no CallOnhook"

# Refused while a sibling plug-in's call rings.
e2e_start_sibling "TesselbayPlugin - Call Status" "st=IncomingSkypeCall; ct=2; cs=4; of=0;"
before=$(commands)
e2e_skype_cue "ring erin"
e2e_wait 10 sent_has "$before" "BTN_RELEASED NO" || e2e_fail "the call was not refused while the sibling rang"
e2e_wait 5 e2e_skype_has notify "CALL 105 STATUS REFUSED" || e2e_fail "Skype did not refuse the call"
(( $(e2e_log_count IncomingSkypeCall) == 1 )) || e2e_fail "the call was taken while the sibling rang"
e2e_assert_match "the record while the sibling rings" 'ct=0; cs=0; of=0;' "$(e2e_status_record)"
wintool post '#32770' "TesselbayPlugin - Call Status" "$E2E_WM_CLOSE" 0 0 >/dev/null

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
