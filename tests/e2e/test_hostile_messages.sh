#!/usr/bin/env bash
# A third program on the desktop sends the main window what only the hooked
# softphone and the attached Skype should: an attach reply before any
# discovery, and WM_COPYDATA records that name a stranger, nobody, or the
# real peers but with an unterminated text or an empty record. None of them
# changes anything; the program stays attached and takes Skype's next call
# as usual.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin hostile_messages

e2e_start_with_adapter --no-skype
program=$E2E_PROGRAM_PID
dialer=$(wintool wait-window "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE" 2000) || e2e_fail "no dialer"

# Before Skype runs, nothing has been asked: a reply is nobody's answer.
wintool post-registered "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" SkypeControlAPIAttach "$dialer" 0 ||
    e2e_fail "could not post the attach reply"
sleep 2
(( $(e2e_log_count SkypeAttached) == 0 )) || e2e_fail "an attach reply before any discovery was taken"

e2e_start_skype
attached() { (( $(e2e_log_count SkypeAttached) == 1 )); }
e2e_wait 30 attached || e2e_fail "the program did not attach to the real Skype"
api=$(wintool wait-window SkypeStandinAPI - 2000) || e2e_fail "no Skype API window"
records_before=$(e2e_log_records | wc -l)
commands_before=$(e2e_skype_lines command | grep -vc '^PING$')

forge() {  # SENDER TEXT SIZE
    wintool copydata "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$1" "$2" "$3" >/dev/null ||
        e2e_fail "could not send the record [$2] as $1"
}
ring='CALL 901 STATUS RINGING'
forge 0x1234 "$ring" full                    # a stranger
forge 0 "$ring" full                         # nobody
forge "$api" "$ring" "${#ring}"              # Skype's window, no terminator
forge "$api" "$ring" 0                       # Skype's window, an empty record
path='FILEPATH C:\evil.exe'
forge "$dialer" "$path" "${#path}"           # the softphone's window, no terminator
forge "$dialer" "$path" 0
sleep 1

e2e_assert_eq "records after the forged ones" "$records_before" "$(e2e_log_records | wc -l)"
e2e_assert_eq "commands after the forged records" "$commands_before" \
    "$(e2e_skype_lines command | grep -vc '^PING$')"
e2e_pid_alive "$program" || e2e_fail "the program ended"

# Skype's own next call is taken as usual.
e2e_skype_cue "ring bob"
taken() { (( $(e2e_log_count IncomingSkypeCall) == 1 )); }
e2e_wait 10 taken || e2e_fail "Skype's call after the forged records was not taken"
e2e_skype_cue "end MISSED"
