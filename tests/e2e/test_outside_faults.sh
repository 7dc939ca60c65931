#!/usr/bin/env bash
# Outside programs fail during calls, and the program keeps running, logs
# what happened and is back to Ready by itself once they are back:
# - Skype is killed during a call: the link's loss is logged at once, the
#   handset going down ends the call with no stale Offhook, and a new Skype
#   is attached;
# - the softphone is killed during a call: the adapter goes with it, the
#   Skype call is hung up, and a new softphone is hooked afresh, its adapter
#   found and Skype attached again;
# - Skype attaches but refuses every command: the program asks again only
#   after growing pauses, says so in the log, and holds the link once Skype
#   takes commands again.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone_calls.sh"
e2e_begin outside_faults

e2e_start_with_adapter
program=$E2E_PROGRAM_PID

echo_call() {  # places the echo test from the handset and waits until it runs
    local mark
    mark=$(e2e_mark)
    e2e_lift '*0#'
    e2e_wait 15 e2e_logged_since "$mark" CallInProgress || e2e_fail "the echo-test call never went into progress"
}
restart_skype() {
    rm -f "$E2E_SKYPE_DIR/skype-cues.txt" "$E2E_SKYPE_DIR/skype-transcript.txt"
    e2e_start_skype
}

# --- Skype killed during a call.
mark=$(e2e_mark)
echo_call
e2e_stop_pid "$E2E_SKYPE_PID"
e2e_wait 5 e2e_logged_since "$mark" SkypeLinkLost:SkypeGone || e2e_fail "the loss of Skype was not logged within 5 s"
e2e_hang_up
e2e_assert_match "the record after hanging up" '^st=CallOnhook; ct=0; cs=0; of=0;' "$(e2e_record_of CallOnhook)"
restart_skype
e2e_wait 30 e2e_logged_since "$mark" SkypeAttached || e2e_fail "the new Skype was not attached"

# --- The softphone killed during a call, then started again.
mark=$(e2e_mark)
echo_call
e2e_stop_pid "$E2E_SOFTPHONE_PID"
e2e_wait 10 e2e_logged_since "$mark" DeviceRemoved || e2e_fail "the adapter was not dropped with the softphone"
e2e_skype_lines command | grep -x 'HOOK ON' >/dev/null || e2e_fail "the Skype call was not hung up"
e2e_assert_match "the record after the loss" '^st=DeviceRemoved; ct=0; cs=0; of=0;' "$(e2e_record_of DeviceRemoved)"
e2e_start_softphone --version 2012.1
e2e_wait 15 e2e_logged_since "$mark" Hok || e2e_fail "the new softphone was not hooked"
e2e_wait 15 e2e_logged_since "$mark" DeviceAdded || e2e_fail "the adapter was not found again"
e2e_wait 30 e2e_logged_since "$mark" SkypeAttached || e2e_fail "Skype was not attached again"

# --- Skype attaches but refuses every command.
mark=$(e2e_mark)
e2e_skype_cue "commands refuse-attached" available
e2e_wait 20 e2e_logged_since "$mark" SkypeRefusesCommands:5s || e2e_fail "the refusals were not bounded"
attaches=$(e2e_log_count SkypeAttached)
sleep 3
(( $(e2e_log_count SkypeAttached) - attaches <= 1 )) || e2e_fail "the program kept attaching during the pause"
e2e_skype_cue "commands take"
holds() {  # attached again, with no loss since
    local last
    last=$(e2e_log_records | grep -E '^st=(SkypeAttached|SkypeLinkLost:[A-Za-z]*);' | tail -n1)
    [[ "$last" == st=SkypeAttached\;* ]] && (( $(e2e_log_count SkypeAttached) > attaches ))
}
e2e_wait 30 holds || e2e_fail "the link did not come back once Skype took commands"
sleep 2
holds || e2e_fail "the link did not hold once Skype took commands"
e2e_pid_alive "$program" || e2e_fail "the program ended"
