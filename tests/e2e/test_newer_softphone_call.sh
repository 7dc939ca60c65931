#!/usr/bin/env bash
# The newer softphone (from "2013"), whose handset driver window lives on a
# second thread of its own: the program reads the version when it finds the
# softphone and hooks the handset window's thread at once (never the
# dialer's), and a whole call from the handset goes through it: the
# softphone types the star number, the program places it in Skype on "#",
# marks the softphone's number box and takes the handset from it, and on
# hook ends the call in Skype.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone_calls.sh"
e2e_begin newer_softphone_call

e2e_start_with_adapter --softphone 2013.4
handset=$(wintool wait-window "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" 5000) || e2e_fail "no handset window"
handset_event=$(printf 'Dialer%X' "$handset")
hooked() { (( $(e2e_log_count "$handset_event") == 1 && $(e2e_log_count Hok) == 1 )); }
e2e_wait 10 hooked || e2e_fail "the handset window was not hooked ($handset_event)"
e2e_assert_eq "the windows hooked" "$handset_event" "$(e2e_log_records | grep -o '^st=Dialer[0-9A-F]*;' | cut -c4- | tr -d ';' | paste -sd ' ')"
e2e_assert_match "the version read" 'mv=2013\.4$' "$(e2e_record_of DeviceAdded)"

commands=$(e2e_skype_lines command | wc -l)
e2e_key 0x8E
e2e_wait 10 e2e_logged CallOrigination 1 || e2e_fail "no CallOrigination through the handset thread's hook"
for k in 0x6A 0x38 0x30 0x30 0x35 0x35 0x35 0x30 0x31 0x30 0x30; do e2e_key "$k"; done
typed() { e2e_transcript | grep -qx 'box \*8005550100'; }
e2e_wait 5 typed || e2e_fail "the softphone did not type the number: $(e2e_transcript | tail -n 5)"
e2e_key 0x88
e2e_wait 15 e2e_logged CallInProgress 1 || e2e_fail "the call never went into progress"
e2e_assert_eq "the commands of the call" $'FOCUS\nCALL +18005550100\nGET CALL 101 TYPE' \
    "$(e2e_skype_lines command | tail -n +"$(( commands + 1 ))")"
e2e_assert_match "the Call Status record" '; ct=2; cs=3; of=1; dn=\+18005550100;' "$(e2e_status_record)"
e2e_transcript | grep -qx 'inject 0x8F' || e2e_fail "the softphone was not made to let go of the handset"
marked() { [[ "$(wintool child-text "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" 1)" == "Special Call" ]]; }
e2e_wait 5 marked || e2e_fail "the number box does not show Special Call"

# A digit now goes to Skype as a tone and never reaches the softphone.
lines=$(e2e_transcript | wc -l)
e2e_key 0x31
swallowed() { e2e_transcript_since "$lines" | grep -qx swallowed; }
e2e_wait 5 swallowed || e2e_fail "the digit was not kept from the softphone: $(e2e_transcript_since "$lines")"

commands=$(e2e_skype_lines command | wc -l)
e2e_key 0x8F
e2e_wait 10 e2e_logged CallOnhook 1 || e2e_fail "no CallOnhook"
hung_up() { e2e_skype_lines command | tail -n +"$(( commands + 1 ))" | grep -qx 'HOOK ON'; }
e2e_wait 5 hung_up || e2e_fail "the call was not ended in Skype"
e2e_assert_match "the record after the call" '^st=CallOnhook; ct=0; cs=0; of=0;' "$(e2e_record_of CallOnhook)"
