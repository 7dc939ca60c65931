#!/usr/bin/env bash
# The real phonehook.dll installed on the stand-in softphone by a small host
# of the tests' own: every handset code reaches the host as its program code;
# after the host injects the on-hook key the softphone sees an on-hook the
# host is not told of, digits reach the host but no longer the softphone's
# window procedure, and a real off-hook ends that (the softphone has the
# handset back and types the next digit into its number box); a second
# attach request and one from a foreign window change nothing.
#
# Usage: test_hook_host.sh [main|handset]: hook the dialer window of an older
# softphone (before "2013") or the handset driver window of a newer one.
set -uo pipefail
target=${1:-main}
case "$target" in
    main) version=2012.1 ;;
    handset) version=2013.2 ;;
    *) echo "usage: $0 [main|handset]" >&2; exit 2 ;;
esac
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
e2e_begin "hook_host_$target"
[[ -f "${E2E_HOOKHOST:-}" ]] || e2e_fail "E2E_HOOKHOST: no hook host at [${E2E_HOOKHOST:-}]"

e2e_start_softphone --version "$version"
cp "$E2E_HOOKHOST" "$E2E_DIR/hookhost.exe"
output=$(cd "$E2E_DIR" && timeout -k 2 60 "$E2E_WINE" "$E2E_DIR/hookhost.exe" --target "$target" 2>"$E2E_WORK/hookhost.err" </dev/null | tr -d '\r') ||
    e2e_fail "the hook host failed: $(cat "$E2E_WORK/hookhost.err")"

# The host's lines between two step marks.
section() { awk -v from="step $1" '$0 == from { on = 1; next } on && /^(step|clear)/ { exit } on' <<<"$output"; }

path=$(e2e_windows_path "$E2E_SOFTPHONE_DIR/softphone.exe")
e2e_assert_eq "setMyHook" "hook 1" "$(head -n1 <<<"$output")"
e2e_assert_eq "path reports" "copydata softphone FILEPATH $path" "$(grep '^copydata' <<<"$output")"
e2e_assert_eq "handset codes as program codes" \
    "$(printf 'key %s\n' 48 53 57 42 35 142 143 142)" "$(section codes)"
e2e_assert_eq "after a second and a foreign attach request" "" "$(section handshake)"
e2e_assert_eq "after the injected on-hook" "" "$(section inject)"
e2e_assert_eq "digits while swallowed" "$(printf 'key %s\n' 49 50)" "$(section swallowed)"
e2e_assert_eq "a real on-hook and off-hook" "$(printf 'key %s\n' 143 142)" "$(section hangup)"
e2e_assert_eq "a digit after the real off-hook" "key 51" "$(section free)"
e2e_assert_eq "clearMyHook" "clear 1" "$(tail -n1 <<<"$output")"

expected_transcript=$(cat <<'LINES'
handset 0x30
handset 0x35
handset 0x39
handset 0x6A
handset 0x88
handset 0x8E
handset 0x8F
handset 0xC9
handset 0x20
handset 0x99
inject 0x8F
handset 0x8F
swallowed
swallowed
handset 0x8F
handset 0x8E
handset 0x33
box 3
LINES
)
e2e_assert_eq "what the softphone's window procedures saw" "$expected_transcript" \
    "$(e2e_transcript | grep -v '^start ')"
