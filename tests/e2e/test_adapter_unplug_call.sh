#!/usr/bin/env bash
# The adapter unplugged during a Skype call placed from the handset: the
# loss is seen within one 3-second check, the call record returns to idle
# ("DeviceRemoved" with no adapter), Skype's call is hung up, the Call
# Status window is hidden, and the handset's keys are no longer taken. Plugged in again, the adapter is
# found and Skype attached afresh.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone_calls.sh"
e2e_begin adapter_unplug_call

e2e_start_with_adapter
control="$E2E_DIR/adapter-control.txt"

e2e_lift
for k in 0x6A 0x30 0x88; do e2e_key "$k"; done
e2e_wait 15 e2e_logged CallInProgress 1 || e2e_fail "the echo-test call never went into progress"
e2e_assert_match "the call before the loss" '; ct=2; cs=3; of=1; dn=echo123;' "$(e2e_status_record)"
commands=$(e2e_skype_lines command | wc -l)

printf '%s\n' present=0 >"$control.new" && mv -f "$control.new" "$control"
e2e_wait 6 e2e_logged DeviceRemoved 1 || e2e_fail "no DeviceRemoved within 6 s of unplugging"
e2e_assert_match "the record after the loss" '^st=DeviceRemoved; ct=0; cs=0; of=0; dn=echo123; .*pi=0000; sn=;' \
    "$(e2e_record_of DeviceRemoved)"
e2e_assert_eq "the Call Status window" 0 "$(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE")"

# The handset's keys still reach the program through the hook, which drops them.
records=$(e2e_log_records | wc -l)
e2e_key 0x8F
e2e_key 0x35
sleep 1
e2e_assert_eq "log records after keys without an adapter" "$records" "$(e2e_log_records | wc -l)"
# The call cannot go on without the phone: it is hung up in Skype too.
e2e_skype_lines command | tail -n +"$(( commands + 1 ))" | grep -x 'HOOK ON' >/dev/null ||
    e2e_fail "the Skype call was not hung up when the adapter went: $(e2e_skype_lines command | tail -n +"$(( commands + 1 ))")"

# Plugging in again never rewrites a stand-in DLL the program has loaded in
# place (same file, changed): Wine would change the program's image under it.
image_state() { stat -c '%i %y' "$E2E_DIR/$1"; }
declare -A loaded
for dll in hid.dll setupapi.dll; do loaded[$dll]=$(image_state "$dll"); done
e2e_plug_adapter
for dll in hid.dll setupapi.dll; do
    now=$(image_state "$dll")
    [[ "${now%% *}" != "${loaded[$dll]%% *}" || "$now" == "${loaded[$dll]}" ]] ||
        e2e_fail "$dll was rewritten in place while the program had it loaded"
done
e2e_wait 8 e2e_logged DeviceAdded 2 || e2e_fail "the adapter was not found again within 8 s"
e2e_wait 30 e2e_logged SkypeAttached 2 || e2e_fail "Skype was not attached afresh"
# The handset's keys count again once the adapter is back.
e2e_lift
e2e_hang_up
