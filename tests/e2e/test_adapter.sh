#!/usr/bin/env bash
# The program finds the stand-in adapter (our own hid.dll and setupapi.dll
# beside it) while the stand-in softphone is hooked: "SerialNumberFound" and
# "DeviceAdded" with the product id and the serial in the record, and the
# tray icon leaves its no-adapter look. Lifting the handset switches the
# ringer off with the second generation's report; unplugging gives
# "DeviceRemoved" and the no-adapter icon again; a first-generation adapter
# takes its storage device's serial; a Plus adapter is found as such, and
# exit switches its ringer off with the Plus report.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
e2e_begin adapter

for v in E2E_HID_DLL E2E_SETUPAPI_DLL; do
    [[ -f "${!v:-}" ]] || e2e_fail "$v: no stand-in DLL at [${!v:-}]"
done
command -v xwd >/dev/null || e2e_fail "xwd is not installed (scripts/setup.sh)"
cp "$E2E_HID_DLL" "$E2E_DIR/hid.dll"
cp "$E2E_SETUPAPI_DLL" "$E2E_DIR/setupapi.dll"
control="$E2E_DIR/adapter-control.txt"
reports="$E2E_DIR/adapter-reports.txt"

# plug KEY=VALUE..: the virtual adapter as the DLLs see it from now on.
plug() {
    printf '%s\n' "$@" >"$control.new" && mv -f "$control.new" "$control"
}
added() { (( $(e2e_log_count DeviceAdded) >= $1 )); }
removed() { (( $(e2e_log_count DeviceRemoved) >= $1 )); }
first_record() { e2e_log_records | grep -m1 "^st=$1;"; }
index_of() { e2e_log_records | grep -n -m1 "^st=$1;" | cut -d: -f1; }
last_record() { e2e_log_records | grep "^st=$1;" | tail -n1; }
# The tray's look: a checksum of the Wine System Tray window's pixels.
tray_look() { xwd -silent -name "Wine System Tray" 2>/dev/null | md5sum | cut -d' ' -f1; }
last_set() { tr -d '\r' <"$reports" 2>/dev/null | grep '^set ' | tail -n1; }
zeros() { printf ' 00%.0s' $(seq "$1"); }

plug present=0
e2e_start_softphone --version 2012.1
# Wine prefers its own setupapi.dll to one beside the program unless told.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid,setupapi=n" e2e_start_program
program=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
# The same look twice in a row, so the icon has been drawn.
settled() {
    local first
    first=$(tray_look)
    sleep 0.3
    no_adapter_look=$(tray_look)
    [[ "$first" == "$no_adapter_look" && "$first" != "$(md5sum </dev/null | cut -d' ' -f1)" ]]
}
e2e_wait 10 settled || e2e_fail "no Wine System Tray window to look at"

# Plugged in, it is found while the softphone is hooked: the serial first,
# then the arrival.
plug present=1 product=C200 reads=33 serial=MJ00A1B2C3D4
e2e_wait 20 added 1 || e2e_fail "no DeviceAdded within 20 s"
e2e_assert_match "the SerialNumberFound record" 'pi=C200; sn=mj00a1b2c3d4; ' "$(first_record SerialNumberFound)"
e2e_assert_match "the DeviceAdded record" 'pi=C200; sn=mj00a1b2c3d4; ' "$(first_record DeviceAdded)"
(( $(index_of SerialNumberFound) < $(index_of DeviceAdded) )) || e2e_fail "DeviceAdded came before SerialNumberFound"
(( $(e2e_log_count MJPlusFound) == 0 )) || e2e_fail "a second-generation adapter was logged as Plus"
changed() { [[ "$(tray_look)" != "$no_adapter_look" ]]; }
e2e_wait 5 changed || e2e_fail "the tray icon kept its no-adapter look after DeviceAdded"

# Off hook while idle switches the ringer off.
ready() { e2e_log_records | grep -q '^st=DataFilePath:'; }
e2e_wait 10 ready || e2e_fail "the adapter was never made ready"
wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" 0x8E 0 >/dev/null
off_hook() { (( $(e2e_log_count CallOrigination) == 1 )); }
e2e_wait 15 off_hook || e2e_fail "no CallOrigination within 15 s of the handset going off hook"
e2e_assert_eq "the ring-off report" "set 33 ok 00 04 3D 40 01 00$(zeros 27)" "$(last_set)"
wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" 0x8F 0 >/dev/null
on_hook() { (( $(e2e_log_count CallOnhook) == 1 )); }
e2e_wait 15 on_hook || e2e_fail "no CallOnhook within 15 s of the handset going on hook"

# Unplugged: lost at the next 3-second check, reported once.
plug present=0
e2e_wait 6 removed 1 || e2e_fail "no DeviceRemoved within 6 s of unplugging"
e2e_assert_match "the DeviceRemoved record" 'pi=0000; sn=; ' "$(last_record DeviceRemoved)"
back() { [[ "$(tray_look)" == "$no_adapter_look" ]]; }
e2e_wait 5 back || e2e_fail "the tray icon did not return to its no-adapter look"

# The first generation's serial is its storage device's.
plug present=1 product=C31C reads=33 serial=HidSerialUnused storage=Storage0042
e2e_wait 8 added 2 || e2e_fail "the first-generation adapter was not found within 8 s"
e2e_assert_match "the first generation's record" 'pi=C31C; sn=storage0042; ' "$(last_record DeviceAdded)"
plug present=0
e2e_wait 6 removed 2 || e2e_fail "the first-generation adapter was not lost within 6 s"

# The Plus generation answers only the 65-byte read.
plug present=1 product=C200 reads=65 serial=Plus000000X1
e2e_wait 8 added 3 || e2e_fail "the Plus adapter was not found within 8 s"
(( $(e2e_log_count MJPlusFound) == 1 )) || e2e_fail "no MJPlusFound for the Plus adapter"
e2e_assert_match "the Plus record" 'pi=C202; sn=plus000000x1; ' "$(last_record SerialNumberFound)"

# Exit switches the ringer off through the adapter still in use.
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 15 || e2e_fail "the program did not end after Exit"
e2e_assert_eq "the last record" ProgramClose "$(e2e_record_state "$(e2e_log_records | tail -n1)")"
e2e_assert_eq "the Plus ring-off report" "set 65 ok 00 20 00 00 01 01 00$(zeros 58)" "$(last_set)"
(( $(e2e_log_count DeviceRemoved) == 2 )) || e2e_fail "exit was reported as an adapter loss"
