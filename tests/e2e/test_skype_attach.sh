#!/usr/bin/env bash
# The real program and the stand-in Skype, with the stand-in adapter in use.
# A Skype that refuses the program is asked again at every poll and never
# sent a command. A Skype started afresh, which first announces its API,
# is found at once: it sees "PROTOCOL 5", the six audio device commands and
# "GET SKYPEVERSION", the log records "SkypeAttached", the tray icon turns
# to its Ready look, and comes back to it after the handset has been used.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin skype_attach
command -v xwd >/dev/null || e2e_fail "xwd is not installed (scripts/setup.sh)"

e2e_start_with_adapter --attach 2
refused_skype=$E2E_SKYPE_PID
# The same look twice in a row, so that the icon has been drawn.
settled_look() {
    local first
    first=$(e2e_tray_look)
    sleep 0.3
    look=$(e2e_tray_look)
    [[ "$first" == "$look" ]]
}
asked() { (( $(e2e_skype_lines discover | wc -l) >= 3 )); }
e2e_wait 10 asked || e2e_fail "the refusing Skype was not asked again at the polls"
e2e_assert_eq "commands sent to a Skype that refused" "" "$(e2e_skype_lines command)"
(( $(e2e_log_count SkypeAttached) == 0 )) || e2e_fail "SkypeAttached although Skype refused"
e2e_wait 5 settled_look || e2e_fail "the tray icon did not settle"
detached_look=$look

# Another Skype comes up; its main window is new, so it is looked for anew.
wintool post "$E2E_SKYPE_CLASS" Skype 0x10 0 0 >/dev/null
e2e_wait_gone "$refused_skype" 10 || e2e_fail "the refusing Skype did not quit"
rm -f "$E2E_DIR/Skype/skype-transcript.txt"
e2e_start_skype --attach 0x8001,0
attached() { (( $(e2e_log_count SkypeAttached) == 1 )); }
e2e_wait 15 attached || e2e_fail "no SkypeAttached within 15 s of Skype starting"
e2e_assert_eq "the attach replies" $'0x8001\n0x0' "$(e2e_skype_lines attach)"

all_sent() { (( $(e2e_skype_lines command | wc -l) >= 8 )); }
e2e_wait 5 all_sent || e2e_fail "Skype was not sent the commands of the attach: $(e2e_skype_lines command)"
mapfile -t commands < <(e2e_skype_lines command)
e2e_assert_eq "the first command" "PROTOCOL 5" "${commands[0]}"
e2e_assert_match "the input device" '^SET AUDIO_IN .+ $' "${commands[1]}"
e2e_assert_match "the output device" '^SET AUDIO_OUT .+ $' "${commands[2]}"
e2e_assert_eq "the input device, second form" "${commands[1]% } (2) " "${commands[3]}"
e2e_assert_eq "the output device, second form" "${commands[2]% } (2) " "${commands[4]}"
e2e_assert_eq "the input device, third form" "${commands[1]% } (3) " "${commands[5]}"
e2e_assert_eq "the output device, third form" "${commands[2]% } (3) " "${commands[6]}"
e2e_assert_eq "the version request" "GET SKYPEVERSION" "${commands[7]}"

changed() { settled_look && [[ "$look" != "$detached_look" ]]; }
e2e_wait 5 changed || e2e_fail "the tray icon kept its look after Skype attached"
ready_look=$look

# The handset shows the off-hook look; hung up, the Ready look is back.
wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" 0x8E 0 >/dev/null
off_hook() { (( $(e2e_log_count CallOrigination) == 1 )); }
e2e_wait 15 off_hook || e2e_fail "no CallOrigination within 15 s"
e2e_assert_match "the record after attach" 'sv=8\.1\.0\.2; ' "$(e2e_log_records | grep '^st=CallOrigination;')"
offhook_look() { settled_look && [[ "$look" != "$ready_look" ]]; }
e2e_wait 5 offhook_look || e2e_fail "the tray icon did not change for the lifted handset"
wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" 0x8F 0 >/dev/null
on_hook() { (( $(e2e_log_count CallOnhook) == 1 )); }
e2e_wait 15 on_hook || e2e_fail "no CallOnhook within 15 s"
back() { settled_look && [[ "$look" == "$ready_look" ]]; }
e2e_wait 5 back || e2e_fail "the tray icon did not return to its Ready look"
