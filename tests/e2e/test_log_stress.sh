#!/usr/bin/env bash
# The event log under load, with real concurrency: the real program (as
# logstress.exe, which adds writer threads of its own) runs beside the
# stand-in softphone and adapter; once its adapter is ready, 8 threads write
# 10,000 records each while the handset goes off hook, dials and goes on
# hook again and again, so the GUI thread keeps changing the call record.
# (E2E_LOG_STRESS_COUNT sets the records per thread.)
# Afterwards every line of the log is whole (the line format and the
# fourteen keys of the record, in order), the file stays within the restart
# rule's bound, and no writer's record is missing after the last restart.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin log_stress
[[ -f "${E2E_LOGSTRESS:-}" ]] || e2e_fail "E2E_LOGSTRESS: no logstress.exe at [${E2E_LOGSTRESS:-}]"
threads=8 count=${E2E_LOG_STRESS_COUNT:-10000}

e2e_plug_adapter
e2e_start_softphone --version 2012.1
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid,setupapi=n" \
    e2e_start_in "$E2E_LOGSTRESS" "$E2E_DIR" logstress.exe "$threads" "$count"
program=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
# The writers start once the adapter is ready.
writing() { grep -q 'st=Stress' "$E2E_LOG" 2>/dev/null; }
e2e_wait 30 writing || e2e_fail "the writers never started (was the adapter made ready?)"

key() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }
done_writing() { grep -q 'st=StressDone;' "$E2E_LOG"; }
start=$(e2e_now_ms)
rounds=0
# A round every 2 s: the GUI thread answers the writers' requests before
# its posted messages, so more rounds would only queue up.
until done_writing; do
    (( $(e2e_now_ms) - start < 180000 )) || e2e_fail "the writers did not finish within 180 s"
    e2e_pid_alive "$program" || e2e_fail "the program ended under load"
    for k in 0x8E 0x31 0x32 0x33 0x8F; do key "$k"; done
    rounds=$(( rounds + 1 ))
    sleep 2
done
e2e_note "$(( threads * count )) records in $(( ($(e2e_now_ms) - start) / 1000 )) s beside $rounds handset rounds"
# The handset's last round is through when the log has been quiet for 2 s.
quiet() {
    local before
    before=$(stat -c %s "$E2E_LOG")
    sleep 2
    [[ "$(stat -c %s "$E2E_LOG")" == "$before" ]]
}
e2e_wait 60 quiet || e2e_fail "the program kept writing after the writers had finished"

wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
e2e_wait_gone "$program" 20 || e2e_fail "the program did not end after Exit"

record_re='^st=[^;]*; ct=[0-9A-F]+; cs=[0-9A-F]+; of=[0-9A-F]+; dn=[^;]*; cn=[^;]*; ci=[^;]*; pi=[0-9A-F]{4}; sn=[a-z0-9]*; wv=[0-9.]+; pr=CorvaloPlugin; re=2\.06; sv=[^;]*; mv=[^;]*$'
e2e_check_log_crlf
lines=$(e2e_log_lines | wc -l)
(( lines <= 1101 )) || e2e_fail "the log holds $lines lines, over the restart bound of 1101"
(( lines >= 100 )) || e2e_fail "the log holds only $lines lines"
declare -A last=()
while IFS= read -r line; do
    [[ "$line" =~ $E2E_LOG_LINE_RE ]] || e2e_fail "a torn line: [$line]"
    record=${BASH_REMATCH[8]}
    [[ "$record" =~ $record_re ]] || e2e_fail "a torn record: [$record]"
    if [[ "$record" =~ ^st=Stress([0-9]+)_([0-9]+)\; ]]; then
        t=${BASH_REMATCH[1]} n=${BASH_REMATCH[2]}
        if [[ -n "${last[$t]:-}" ]] && (( n != last[$t] + 1 )); then
            e2e_fail "writer $t's record $(( last[$t] + 1 )) is missing (next: $n)"
        fi
        last[$t]=$n
    fi
done < <(e2e_log_lines)
grep -q 'st=StressDone;' "$E2E_LOG" || e2e_fail "the last writer's StressDone is not in the log"
e2e_assert_eq "the last record" ProgramClose "$(e2e_record_state "$(e2e_log_records | tail -n1)")"
e2e_note "$lines whole lines; writers seen after the last restart: ${!last[*]}"
