#!/usr/bin/env bash
# Skype calls ringing in, through the real program and the stand-in
# softphone, adapter and Skype. This Skype is a busy one: what a command
# causes comes back from inside the program's own send (the attach from
# inside the discovery broadcast, INPROGRESS from inside "HOOK OFF").
# Answered: the adapter rings (feature reports), the caller is named from
# the speed-dial table, lifting the handset answers, and the far end's
# hang-up keeps the call until the handset goes down. In the first ring
# pause the program plays the caller identification on the adapter's audio
# line (line.sh), found by its own device search: decoded with minimodem,
# for a caller in the speed-dial table and one who is not; none when the
# handset is lifted during the first ring burst. A second call
# during a Skype call is left to Skype. Refused after 3 s with "NO": while
# the phone is busy on the softphone line, and while a sibling plug-in's
# Call Status window shows a ringing call.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
source "$(dirname "${BASH_SOURCE[0]}")/line.sh"
e2e_begin skype_incoming
command -v minimodem >/dev/null || e2e_fail "minimodem is not installed (scripts/setup.sh)"
command -v sox >/dev/null || e2e_fail "sox is not installed (scripts/setup.sh)"

e2e_line_up "$E2E_WORK/line"
e2e_plug_adapter
printf '[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n' >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
e2e_start_softphone --version 2012.1
e2e_start_skype_on_line --delivery sync
e2e_start_program_on_line
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
last_log_line() { e2e_log_lines | grep -F "; "$'\t'"st=$1;" | tail -n1; }

# The caller identification of the call that rang from SINCE (ms since
# 1970) on, which the line took as stream N (ended when the answer silences
# the line): decoded, it shows NUMBER and NAME with the time the program
# built it. The wave's first sample is located in the stream half a second
# (its leading silence) before the first tone; it was handed to the line
# within 300 ms of the first ring burst's end (the adapter's ring-off
# report), and not before 200 ms, since the program waits that long in the
# pause. Every sample had been handed to the line when "SendCalleridStop"
# was logged. The line's times are when the recorder had seen enough of
# the stream to know the program had handed those samples over, so they
# are never early. Log and report time stamps are whole milliseconds, and
# the checks are made at that resolution.
check_caller_id() {
    local n=$1 since=$2 number=$3 name=$4
    local start_line stop_line start_ms stop_ms burst_end minutes expected shown
    local rate tone wave_ms last_ms
    e2e_wait 10 e2e_line_ended_past "$n" || e2e_fail "the caller identification never ended on the line"
    start_line=$(last_log_line SendCalleridStart) stop_line=$(last_log_line SendCalleridStop)
    start_ms=$(e2e_ms_of_log_line "$start_line") stop_ms=$(e2e_ms_of_log_line "$stop_line")
    # The wave is built between the two records, perhaps across a minute.
    shown=$(e2e_line_shown "$n")
    for minutes in "$start_ms" "$stop_ms"; do
        expected="$(date -d "@$(( minutes / 1000 ))" '+%m/%d %H:%M'), $number, $name"
        [[ "$shown" == "$expected" ]] && break
    done
    e2e_assert_eq "the caller-ID display on the line" "$expected" "$shown"
    read -r rate tone wave_ms last_ms < <(e2e_line_measure "$n") ||
        e2e_fail "no caller-identification signal in stream $n"
    (( tone >= rate / 2 )) || e2e_fail "the first tone came at sample $tone, inside the half second of silence"
    burst_end=$(e2e_burst_end_ms "$since" "$RING_ON" "$RING_OFF")
    [[ -n "$burst_end" ]] || e2e_fail "the adapter took no ring burst for the call"
    local offset=$(( ${wave_ms%.*} - burst_end )) waited=$(( start_ms - burst_end ))
    e2e_note "caller identification [$shown]: handed to the line ${offset} ms after the first ring burst ended; its last sample $(( stop_ms - ${last_ms%.*} )) ms before SendCalleridStop"
    (( offset <= 300 )) || e2e_fail "the signal was handed to the line ${offset} ms after the ring burst (at most 300)"
    (( waited >= 199 )) || e2e_fail "SendCalleridStart came ${waited} ms into the pause (200 ms expected)"
    (( ${last_ms%.*} <= stop_ms )) ||
        e2e_fail "SendCalleridStop at $stop_ms came before the signal's last sample was handed to the line ($last_ms)"
}

# Answered, then the caller hangs up.
mark=$(e2e_mark)
before=$(commands)
reports_before=$(report_count)
streams=$(e2e_line_began)
since=$(e2e_now_ms)
e2e_skype_cue "ring bob"
e2e_wait 10 e2e_logged_since "$mark" IncomingSkypeCall || e2e_fail "the ringing Skype call was not taken"
e2e_assert_match "the ringing call" 'ct=2; cs=4; of=0;' "$(e2e_status_record)"
e2e_wait 10 e2e_logged_since "$mark" SendCallerid || e2e_fail "no caller identification in the first ring pause"
e2e_assert_match "the caller" 'cn=\(S\)Bob Smith; ci=7;' "$(e2e_record_of SendCallerid)"
reports_since "$reports_before" | grep -xF -- "$RING_ON" >/dev/null || e2e_fail "the adapter was not rung: $(reports_since "$reports_before")"
e2e_key 0x8E
e2e_wait 10 e2e_logged_since "$mark" CallAnswered || e2e_fail "lifting the handset did not answer"
e2e_wait 10 e2e_logged_since "$mark" CallInProgress || e2e_fail "Skype's INPROGRESS was not taken"
e2e_assert_eq "the commands of the answer" $'GET CALL 101 PARTNER_HANDLE\nHOOK OFF\nGET CALL 101 TYPE' \
    "$(e2e_skype_sent_since "$before")"
e2e_assert_eq "the ringer after the answer" "$RING_OFF" "$(last_report)"
e2e_assert_match "the answered call" 'ct=2; cs=3; of=1;' "$(e2e_status_record)"
check_caller_id "$streams" "$since" 7 "(S)Bob Smith"
e2e_transcript | grep -x 'inject 0x8F' >/dev/null || e2e_fail "the softphone was not made to let go of the handset"
# INPROGRESS came inside "HOOK OFF"; the softphone's dialer is still put away.
e2e_wait 5 e2e_softphone_closed || e2e_fail "the softphone's dialer was not put away after the answer"
e2e_skype_cue "end FINISHED"
e2e_wait 10 e2e_logged_since "$mark" CallDisconnected || e2e_fail "the caller's hang-up was not noticed"
e2e_assert_match "the call kept while off hook" 'ct=2; cs=3; of=1;' "$(e2e_status_record)"
e2e_hang_up
e2e_wait 5 idle || e2e_fail "the record is not idle after hanging up: $(e2e_status_record)"

# A second call during a Skype call is left to Skype.
mark=$(e2e_mark)
e2e_lift '*0#'
e2e_wait 15 e2e_logged_since "$mark" CallInProgress || e2e_fail "the echo test never went into progress"
before=$(commands)
e2e_skype_cue "ring dave"
e2e_wait 5 e2e_skype_has notify "CALL 103 STATUS RINGING" || e2e_fail "the second call did not ring"
e2e_assert_match "the call in hand" 'ct=2; cs=3; of=1; dn=echo123;' "$(e2e_status_record)"
e2e_skype_cue "end MISSED"
e2e_hang_up
# The hang-up was taken after the ringing: nothing went to Skype before it.
e2e_assert_eq "commands for a call ringing during a Skype call" "" \
    "$(e2e_skype_sent_since "$before" | sed '/^FOCUS$/,$d')"
e2e_skype_has notify "CALL 102 STATUS FINISHED" || e2e_fail "the echo test was not the call hung up"
e2e_wait 5 idle || e2e_fail "the record is not idle after the echo test"

# Refused while the phone is busy on the softphone line.
mark=$(e2e_mark)
e2e_lift
before=$(commands)
e2e_skype_cue "ring carol"
e2e_wait 10 sent_has "$before" "BTN_RELEASED NO" || e2e_fail "the call was not refused while busy"
e2e_assert_eq "the refusal" $'BTN_PRESSED NO\nBTN_RELEASED NO' "$(e2e_skype_sent_since "$before" | head -n 2)"
e2e_wait 5 e2e_skype_has notify "CALL 104 STATUS REFUSED" || e2e_fail "Skype did not refuse the call"
e2e_assert_match "the record while busy" 'ct=1; cs=1; of=1;' "$(e2e_status_record)"
! e2e_logged_since "$mark" IncomingSkypeCall || e2e_fail "the call was taken although the phone was busy"
e2e_hang_up

# Refused while a sibling plug-in's call rings.
mark=$(e2e_mark)
e2e_start_sibling "TesselbayPlugin - Call Status" "st=IncomingSkypeCall; ct=2; cs=4; of=0;"
before=$(commands)
e2e_skype_cue "ring erin"
e2e_wait 10 sent_has "$before" "BTN_RELEASED NO" || e2e_fail "the call was not refused while the sibling rang"
e2e_wait 5 e2e_skype_has notify "CALL 105 STATUS REFUSED" || e2e_fail "Skype did not refuse the call"
! e2e_logged_since "$mark" IncomingSkypeCall || e2e_fail "the call was taken while the sibling rang"
e2e_assert_match "the record while the sibling rings" 'ct=0; cs=0; of=0;' "$(e2e_status_record)"
wintool post '#32770' "TesselbayPlugin - Call Status" "$E2E_WM_CLOSE" 0 0 >/dev/null

sibling_gone() { [[ "$(wintool count '#32770' "TesselbayPlugin - Call Status")" == 0 ]]; }
e2e_wait 10 sibling_gone || e2e_fail "the sibling window did not close"

# A telephone number that is not in the speed-dial table: the number goes
# out cut to 15 digits, with the name the table gives it.
mark=$(e2e_mark)
streams=$(e2e_line_began)
since=$(e2e_now_ms)
e2e_skype_cue "ring 12345678901234567"
e2e_wait 10 e2e_logged_since "$mark" SendCallerid || e2e_fail "no caller identification for the unknown number"
e2e_key 0x8E
e2e_wait 10 e2e_logged_since "$mark" CallAnswered || e2e_fail "lifting the handset did not answer the unknown number"
check_caller_id "$streams" "$since" 123456789012345 "(S)unknown"
e2e_hang_up
e2e_wait 5 idle || e2e_fail "the record is not idle after the unknown number"

# The handset lifted during the first ring burst: nothing goes out on the
# line while it is lifted, well past the pause's 200 ms.
mark=$(e2e_mark)
began=$(e2e_line_began)
e2e_skype_cue "ring bob"
e2e_wait 10 e2e_logged_since "$mark" IncomingSkypeCall || e2e_fail "the third ringing call was not taken"
e2e_key 0x8E
e2e_wait 10 e2e_logged_since "$mark" CallAnswered || e2e_fail "lifting the handset did not answer during the ring burst"
ring_offs=$(e2e_log_records | awk '/^st=IncomingSkypeCall;/ { n = 0 } /^st=RingOff\(Skype\);/ { n++ } END { print n + 0 }')
(( ring_offs == 0 )) ||
    e2e_fail "the handset was lifted only after the first ring burst (this machine was too slow for the case)"
sleep 3
e2e_assert_eq "streams begun on the line with the handset lifted" "$began" "$(e2e_line_began)"
e2e_hang_up
e2e_wait 5 idle || e2e_fail "the record is not idle after the call answered during the burst"
! e2e_logged_since "$mark" SendCalleridStart || e2e_fail "caller identification was sent with the handset lifted"
e2e_line_default_played && e2e_fail "something was played on the system's default output instead of the line"

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
