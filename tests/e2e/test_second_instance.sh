#!/usr/bin/env bash
# A second start while one instance runs shows an ownerless "Warning" box
# with an OK button, ends after OK, and leaves the first instance as it was:
# also its hook on the softphone, which the second copy's hook library,
# loaded and unloaded with it, must not reset.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin second_instance

e2e_start_program
first_pid=$E2E_LAST_PID
first_hwnd=$(e2e_wait_main_window) || exit 1
e2e_wait 5 e2e_log_has_records 1 || e2e_fail "the first instance wrote no log record within 5 s"
sleep 0.5 # let the first instance settle before taking its picture
cp "$E2E_LOG" "$E2E_WORK/log.before"
record_before=$(wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2) || exit 1

e2e_start_program
second_pid=$E2E_LAST_PID
wintool wait-window '#32770' Warning 15000 >/dev/null || e2e_fail "no Warning box from the second start"
e2e_assert_eq "owner of the Warning box" 0x0 "$(wintool owner '#32770' Warning)"
e2e_assert_eq "number of Warning boxes" 1 "$(wintool count '#32770' Warning)"
buttons=$(wintool children '#32770' Warning | awk -F'\t' '$3 == "Button" { print $2 ":" $5 }')
e2e_assert_eq "buttons of the Warning box (id:text)" "1:OK" "$buttons"
# The second instance must not have opened a window of its own.
e2e_assert_eq "number of Call Status windows while the box is up" 1 "$(e2e_main_window_count)"

text=$(wintool msgbox Warning 10000) || e2e_fail "could not read and close the Warning box"
e2e_assert_eq "Warning text" "An instance of the application is already running." "$text"
e2e_wait_gone "$second_pid" 10 || e2e_fail "the second instance still runs 10 s after OK"
e2e_assert_eq "Warning boxes left" 0 "$(wintool count '#32770' Warning)"

# The first instance is untouched.
e2e_pid_alive "$first_pid" || e2e_fail "the first instance has ended"
e2e_assert_eq "the first instance's window" "$first_hwnd" "$(e2e_wait_main_window 1000)"
e2e_assert_eq "number of Call Status windows" 1 "$(e2e_main_window_count)"
e2e_assert_eq "the first instance's status record" "$record_before" \
    "$(wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2)"
cmp -s "$E2E_WORK/log.before" "$E2E_LOG" ||
    e2e_fail "the event log changed: $(diff <(tr -d '\r' <"$E2E_WORK/log.before") <(e2e_log_lines))"

# --- With the softphone hooked and the adapter in use: after a second start
# the first instance still hears the handset.
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$first_pid" 20 || e2e_fail "the first instance did not exit"
e2e_plug_adapter
e2e_start_softphone --version 2012.1
e2e_start_program_with_adapter
e2e_wait 30 e2e_logged DeviceAdded 1 || e2e_fail "no DeviceAdded within 30 s"
e2e_start_program
second_pid=$E2E_LAST_PID
wintool msgbox Warning 15000 >/dev/null || e2e_fail "no Warning box from the second start beside the hooked copy"
e2e_wait_gone "$second_pid" 10 || e2e_fail "the second instance still runs 10 s after OK"
e2e_key 0x8E
e2e_wait 10 e2e_logged CallOrigination 1 || e2e_fail "the first instance no longer hears the handset after a second start"
e2e_key 0x8F
e2e_wait 10 e2e_logged CallOnhook 1 || e2e_fail "no CallOnhook after the hang-up"
