#!/usr/bin/env bash
# The stand-in adapter on a bus shared with other HID devices. Foreign
# devices listed before the adapter (a keyboard and a mouse of another
# vendor, and a device of the adapter's vendor with another product) are
# passed over without a feature read and without a word in the log; of two
# adapters the first usable one is taken; an adapter whose attribute read or
# serial read fails is skipped silently. Every device is opened with no data
# access and overlapped; the bus holds each device as the softphone holds
# the adapter, so another program's open asking for read or write access
# fails with a sharing violation while one asking for none succeeds.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin adapter_bus

e2e_plug_adapter
control="$E2E_DIR/adapter-control.txt"
reports="$E2E_DIR/adapter-reports.txt"
plug() { printf '%s\n' "$@" >"$control.new" && mv -f "$control.new" "$control"; }
report_lines() { tr -d '\r' <"$reports" 2>/dev/null; }
SECOND=second=C200,33,MJ00FFEEDD01

# The first adapter cannot tell its attributes: the second is taken.
plug foreign=1 present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 fail=attributes "$SECOND"
e2e_start_softphone --version 2012.1
e2e_start_program_with_adapter
e2e_wait_main_window >/dev/null
e2e_wait 20 e2e_logged DeviceAdded 1 || e2e_fail "no DeviceAdded within 20 s: $(report_lines)"
e2e_assert_match "the adapter taken" 'pi=C200; sn=mj00ffeedd01; ' "$(e2e_record_of DeviceAdded)"
expected=$(cat <<'LINES'
attributes 046D:C31C ok no-data-access overlapped
attributes 046D:C077 ok no-data-access overlapped
attributes 06E6:C300 ok no-data-access overlapped
attributes 06E6:C200 failed no-data-access overlapped
attributes 06E6:C200 ok no-data-access overlapped
get 33 ok
LINES
)
e2e_assert_eq "the search over the bus" "$expected" "$(report_lines | head -n 6)"
# Nothing is logged for the devices passed over.
unexpected=$(e2e_log_records | sed -n '1,/^st=DeviceAdded;/p' | while IFS= read -r r; do e2e_record_state "$r"; done |
    grep -vE '^(ProgramStart|Dialer[0-9A-F]+|Hok|DialerAttached: .*|SerialNumberFound|DeviceAdded)$')
e2e_assert_eq "other log records before the arrival" "" "$unexpected"
(( $(e2e_log_count SerialNumberFound) == 1 )) || e2e_fail "more than one SerialNumberFound"

# Another program opening the held adapter.
device=$(e2e_windows_path "$E2E_DIR/hid#vid_06e6&pid_c200#virtual&0&0004#{4d1e55b2-f16f-11cf-88cb-001111000030}")
e2e_assert_eq "an open for reading" "error 32" "$(wintool open "$device" read read-write)"
e2e_assert_eq "an open for writing" "error 32" "$(wintool open "$device" write read-write)"
e2e_assert_eq "an open for reading and writing" "error 32" "$(wintool open "$device" read-write read-write)"
e2e_assert_eq "an open with no data access" "ok" "$(wintool open "$device" none read-write)"

# The second adapter goes; the first can tell its attributes now but not its
# serial: nothing is taken, nothing is said.
plug foreign=1 present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 fail=serial
e2e_wait 8 e2e_logged DeviceRemoved 1 || e2e_fail "the second adapter was not lost within 8 s"
searched=$(report_lines | wc -l)
records=$(e2e_log_records | wc -l)
second_search() { (( $(report_lines | tail -n +"$(( searched + 1 ))" | grep -c '^attributes 06E6:C200 ok') >= 2 )); }
e2e_wait 10 second_search || e2e_fail "the bus was not searched twice more: $(report_lines | tail -n 12)"
e2e_assert_eq "log records while the serial fails" "$records" "$(e2e_log_records | wc -l)"
(( $(e2e_log_count DeviceAdded) == 1 )) || e2e_fail "an adapter without a serial was taken"

# Both adapters well: the first on the bus is taken.
plug foreign=1 present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 "$SECOND"
e2e_wait 8 e2e_logged DeviceAdded 2 || e2e_fail "the first adapter was not taken within 8 s"
e2e_assert_match "the adapter taken" 'pi=C200; sn=mj00a1b2c3d4; ' "$(e2e_record_of DeviceAdded)"
