#!/usr/bin/env bash
# minimodem, an independent Bell 202 decoder, reads the files callerid-wave
# writes back to the caller: the date and time, the number and the name as
# the program sends them (each cut to 15 characters), and, decoded as plain
# 1200 bit/s characters, a message whose bytes sum to 0 modulo 256.
# Usage: decode_with_minimodem.sh PATH/TO/callerid-wave
set -uo pipefail

tool=$1
command -v minimodem >/dev/null || { echo "FAIL: minimodem is not installed (scripts/setup.sh)"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/callerid-minimodem.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The framed message: type 0x80, length L, L body bytes, checksum.
check_framing() {
    local file=$1 label=$2 bytes i start=-1 length sum=0
    read -r -a bytes < <(minimodem --rx -q -f "$file" -8 1200 | od -An -v -tu1 | tr -s ' \n' '  ')
    for ((i = 0; i < ${#bytes[@]}; i++)); do
        if (( bytes[i] == 128 )); then start=$i; break; fi
    done
    (( start >= 0 )) || { fail "$label: no message type byte 0x80 decoded"; return; }
    length=${bytes[start + 1]:-0}
    (( start + length + 3 <= ${#bytes[@]} )) || { fail "$label: message shorter than its length byte $length"; return; }
    for ((i = start; i < start + length + 3; i++)); do sum=$((sum + bytes[i])); done
    (( sum % 256 == 0 )) || fail "$label: type, length, body and checksum sum to $((sum % 256)) modulo 256"
}

# time number name expected-time expected-phone expected-name
check_caller() {
    local time=$1 number=$2 name=$3 file="$work/caller$4.wav"
    local expected
    expected=$(printf 'CALLER-ID\nTime:  %s\nPhone: %s\nName:  %s' "$5" "$6" "$7")
    "$tool" --time "$time" -- "$number" "$name" "$file" || { fail "callerid-wave failed for [$number] [$name]"; return; }
    local decoded
    decoded=$(minimodem --rx -q -f "$file" callerid)
    [[ "$decoded" == "$expected" ]] || fail "[$number] [$name]: minimodem decoded
$decoded
instead of
$expected"
    check_framing "$file" "[$number] [$name]"
}

check_caller 03150930 5551234567 "JOHN SMITH" 1 "03/15 09:30" "555-123-4567" "JOHN SMITH"
check_caller 12312359 "" "ALICE" 2 "12/31 23:59" "" "ALICE"
check_caller 02290001 911 "" 3 "02/29 00:01" "911" ""
check_caller 01050704 12345678901234567890 ABCDEFGHIJKLMNOPQRST 4 "01/05 07:04" \
    "123456789012345" "ABCDEFGHIJKLMNO"
check_caller 07041200 "+44 20 7946 0958" "O'Brien-Smythe, Zoe" 5 "07/04 12:00" \
    "+44 20 7946 095" "O'Brien-Smythe,"

# Without --time the digits are the local time of the run.
before=$(date +%m/%d\ %H:%M)
"$tool" 5551234567 "NOW" "$work/now.wav" || fail "callerid-wave failed without --time"
after=$(date +%m/%d\ %H:%M)
now=$(minimodem --rx -q -f "$work/now.wav" callerid | sed -n 's/^Time:  //p')
[[ "$now" == "$before" || "$now" == "$after" ]] || fail "without --time the time was [$now], not [$before]"

if (( failures )); then exit 1; fi
echo "PASS: minimodem decoded every caller"
