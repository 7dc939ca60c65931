#!/usr/bin/env bash
# The Exit command logs ExitRequest then ProgramClose and ends the process.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin exit

e2e_start_program
pid=$E2E_LAST_PID
e2e_wait_main_window >/dev/null || exit 1
e2e_wait 5 e2e_log_has_records 1 || e2e_fail "no log record within 5 s of start"

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 ||
    e2e_fail "could not post the Exit command"
e2e_wait_gone "$pid" 15 || e2e_fail "the program still runs 15 s after the Exit command"
e2e_assert_eq "Call Status windows after exit" 0 "$(e2e_main_window_count)"

e2e_check_log_crlf
mapfile -t lines < <(e2e_log_lines)
mapfile -t states < <(e2e_log_records | while IFS= read -r rec; do e2e_record_state "$rec"; done)
e2e_assert_eq "records with a st= field" "${#lines[@]}" "${#states[@]}"
(( ${#states[@]} >= 3 )) || e2e_fail "expected at least 3 records, log has: ${states[*]}"
e2e_assert_eq "first record" ProgramStart "${states[0]}"
e2e_assert_eq "last two records" "ExitRequest ProgramClose" "${states[-2]} ${states[-1]}"

# Every line is well formed and time never runs backwards.
prev=0
for line in "${lines[@]}"; do
    e2e_check_log_line "$line"
    key=$(e2e_log_line_key "$line")
    (( 10#$key >= 10#$prev )) || e2e_fail "log time goes backwards at [$line]"
    prev=$key
done
