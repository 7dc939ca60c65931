#!/usr/bin/env bash
# After start the Call Status window exists but is hidden, its children are
# the icon, the hidden status record and the visible (empty) status line,
# and the event log starts afresh with the ProgramStart record.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin startup

# A log from an earlier run must be emptied at start.
printf '01/01/2020; 00:00:00:000; \tst=StaleRecord\r\n' >"$E2E_LOG"

e2e_start_program
e2e_wait_main_window >/dev/null || exit 1

# It hides itself on its first paint.
main_hidden() { [[ "$(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE")" == 0 ]]; }
e2e_wait 5 main_hidden || e2e_fail "the Call Status window is still visible 5 s after it appeared"
sleep 0.5
e2e_assert_eq "window visibility after start" 0 "$(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE")"
e2e_assert_eq "number of Call Status windows" 1 "$(e2e_main_window_count)"

# The record may be set just after the window is created.
record_ready() {
    record=$(wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2) && [[ "$record" =~ ^st= ]]
}
e2e_wait 5 record_ready || e2e_fail "child 2 never showed a status record (last read: [${record:-}])"
e2e_assert_match "status record (child 2, as a sibling program reads it)" "$E2E_START_RECORD_RE" "$record"

children=$(wintool children "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE") || e2e_fail "cannot list the children"
mapfile -t rows <<<"$children"
e2e_assert_eq "number of child windows" 3 "${#rows[@]}"
IFS=$'\t' read -r _ _ icon_class _ _ <<<"${rows[0]}"
e2e_assert_eq "child 1 class" Static "$icon_class"
IFS=$'\t' read -r _ id class visible text <<<"${rows[1]}"
e2e_assert_eq "child 2 (id, class, visible)" "1007 Static 0" "$id $class $visible"
e2e_assert_eq "child 2 text in the full listing" "$record" "$text"
IFS=$'\t' read -r _ id class visible text <<<"${rows[2]}"
e2e_assert_eq "child 3 (id, class, visible)" "1006 Static 1" "$id $class $visible"
# The visible status line is emptied at start: the dialog template's
# "call status" placeholder is never shown.
e2e_assert_eq "child 3 text (the status line)" "" "$text"

# The log beside the exe (not in the working directory) starts with the
# ProgramStart record, and only that run's records are in it.
e2e_wait 5 e2e_log_has_records 1 || e2e_fail "no record in $E2E_LOG within 5 s"
[[ ! -e "$E2E_WORK/$E2E_LOG_NAME" ]] || e2e_fail "a log was written to the working directory"
grep -q StaleRecord "$E2E_LOG" && e2e_fail "the log from the earlier run was not emptied at start"
e2e_check_log_crlf
first=$(e2e_log_lines | head -n1)
e2e_check_log_line "$first"
e2e_assert_eq "first log record" "$record" "$(e2e_log_records | head -n1)"
