#!/usr/bin/env bash
# The real program adopts the stand-in softphone and hooks it with the real
# phonehook.dll: it logs the new window, "Hok", and the softphone's full path
# (blanks included) as the hook reports it. A closed softphone is lost
# ("Dialer0"), a new one adopted afresh, and after the program exits the
# softphone keeps working with its keys its own again.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
e2e_begin softphone_adoption

e2e_start_softphone --version 2012.1
first_softphone=$E2E_SOFTPHONE_PID
e2e_start_program
program=$E2E_LAST_PID
e2e_wait_main_window >/dev/null

expected_path=$(e2e_windows_path "$E2E_SOFTPHONE_DIR/softphone.exe")
[[ "$expected_path" == *"magic Jack"* ]] || e2e_fail "winepath gave [$expected_path]"
attached="DialerAttached: $expected_path"

adopted() { (( $(e2e_log_count Hok) >= 1 && $(e2e_log_count "$attached") >= 1 )); }
e2e_wait 15 adopted || e2e_fail "no \"Hok\" and \"$attached\" in the log within 15 s"
mapfile -t states < <(e2e_log_records | while IFS= read -r r; do e2e_record_state "$r"; done)
e2e_assert_match "the adoption record" '^Dialer[0-9A-F]+$' "${states[1]}"
e2e_assert_eq "the record after adoption" Hok "${states[2]}"
e2e_assert_eq "the hook's path report" "$attached" "${states[3]}"

# Closing the softphone loses it.
wintool post "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE" "$E2E_WM_CLOSE" 0 0 >/dev/null
e2e_wait_gone "$first_softphone" 10 || e2e_fail "the stand-in softphone did not quit"
lost() { (( $(e2e_log_count Dialer0) == 1 )); }
e2e_wait 10 lost || e2e_fail "no \"Dialer0\" within 10 s of the softphone closing"

# A new one is adopted and hooked afresh.
e2e_start_softphone --version 2012.1
readopted() { (( $(e2e_log_count Hok) == 2 && $(e2e_log_count "$attached") == 2 )); }
e2e_wait 15 readopted || e2e_fail "the second softphone was not hooked within 15 s"

# Exit unhooks; the softphone goes on and sees its keys again.
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
e2e_assert_eq "the last record" ProgramClose "$(e2e_record_state "$(e2e_log_records | tail -n1)")"
e2e_pid_alive "$E2E_SOFTPHONE_PID" || e2e_fail "the softphone ended with the program"
wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" 0x35 0 >/dev/null
seen() { e2e_transcript | tail -n1 | grep -qx 'handset 0x35'; }
e2e_wait 5 seen || e2e_fail "the softphone did not see its key after the program exited: $(e2e_transcript | tail -n3)"
