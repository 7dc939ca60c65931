# shellcheck shell=bash
# The measurements of benchmarks/wine_bench.sh. Source after lib.sh,
# softphone.sh and skype.sh, with the prefix loaded and E2E_DIR set.

# Waits the program prescribes itself (milliseconds), shown beside each
# reaction time: after "#" the end-of-dialling timer runs 1 ms, then FOCUS
# and CALL go out; the first ring timer runs 1 ms after RINGING; answering
# waits 100 ms, injects the on-hook key, waits 100 ms, then tests for Skype's
# call notification window before "HOOK OFF".
# A timer asked for less than 10 ms runs after 10 ms (USER_TIMER_MINIMUM,
# on Windows and under Wine), so the 1 ms timers are 10 ms in effect.
BENCH_HASH_TO_CALL_WAIT_MS=1
BENCH_RINGING_TO_RING_WAIT_MS=1
BENCH_TIMER_MINIMUM_MS=10
BENCH_OFFHOOK_TO_HOOKOFF_WAIT_MS=200
BENCH_CLK_TCK=$(getconf CLK_TCK)

# Epoch milliseconds of the Nth log record whose event is EVENT.
bench_log_ms() {
    local event=$1 nth=${2:-1} line
    line=$(e2e_log_lines | E2E_EVENT="st=$event;" awk -v n="$nth" -F'\t' \
        'index($2, ENVIRON["E2E_EVENT"]) == 1 && ++seen == n { print $1; exit }')
    [[ "$line" =~ ^([0-9]{2})/([0-9]{2})/([0-9]{4})\;\ ([0-9:]{8}):([0-9]{3})\; ]] || return 1
    local s
    s=$(date -d "${BASH_REMATCH[3]}-${BASH_REMATCH[2]}-${BASH_REMATCH[1]} ${BASH_REMATCH[4]}" +%s) || return 1
    echo $(( s * 1000 + 10#${BASH_REMATCH[5]} ))
}

# Epoch milliseconds of the first line of timing file FILE at or after
# AFTER_MS whose text matches the extended regex RE.
bench_timing_ms() {
    local file=$1 re=$2 after=${3:-0}
    [[ -f "$file" ]] || return 1
    tr -d '\r' <"$file" | awk -v after="$after" -v re="$re" '
        { t = $1; sub(/^[0-9]+ /, "") }
        t >= after && $0 ~ re { print t; found = 1; exit }
        END { exit !found }'
}

bench_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    stat=${stat##*) }
    # shellcheck disable=SC2086 # fields split on purpose
    set -- $stat
    echo $(( ${12} + ${13} ))  # utime + stime (fields 14 and 15)
}

# CPU of PID_A and PID_B over SECS seconds, each as a percentage of one core.
bench_cpu() {
    local a=$1 b=$2 secs=$3 a0 b0 t0 a1 b1 t1
    a0=$(bench_ticks "$a") b0=$(bench_ticks "$b") t0=$(e2e_now_ms)
    sleep "$secs"
    a1=$(bench_ticks "$a") b1=$(bench_ticks "$b") t1=$(e2e_now_ms)
    awk -v a=$((a1 - a0)) -v b=$((b1 - b0)) -v ms=$((t1 - t0)) -v hz="$BENCH_CLK_TCK" \
        'BEGIN { printf "%.2f %.2f\n", a * 100000 / hz / ms, b * 100000 / hz / ms }'
}

bench_rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

bench_median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }

bench_key() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }

# Runs N outgoing and N incoming calls and fills BENCH_HASH_MS,
# BENCH_RING_MS and BENCH_ANSWER_MS with the median of each reaction time.
bench_calls() {
    local n=$1 i k hash call ringing ring lift hookoff
    local skype_timing="$E2E_SKYPE_DIR/skype-transcript.txt.timing"
    local phone_timing="$E2E_SOFTPHONE_DIR/softphone-transcript.txt.timing"
    local adapter_timing="$E2E_DIR/adapter-reports.txt.timing"
    local hashes=() rings=() answers=()
    for ((i = 1; i <= n; i++)); do
        bench_key 0x8E
        e2e_wait 10 logged CallOrigination "$i" || e2e_fail "lifting the handset was not noticed"
        for k in 0x6A 0x38 0x30 0x30 0x35 0x35 0x35 0x30 0x31 0x30 0x30 0x88; do bench_key "$k"; done
        e2e_wait 15 logged CallInProgress "$i" || e2e_fail "the call never went into progress"
        hash=$(bench_log_ms 'Digit#' "$i") || e2e_fail "no Digit# record"
        call=$(bench_timing_ms "$skype_timing" '^command CALL ' "$hash") || e2e_fail "Skype saw no CALL"
        hashes+=($((call - hash)))
        bench_key 0x8F
        e2e_wait 10 logged CallOnhook $((2 * i - 1)) || e2e_fail "hanging up was not noticed"

        sleep 1
        e2e_skype_cue "ring bob"
        e2e_wait 10 logged IncomingSkypeCall "$i" || e2e_fail "the ringing Skype call was not taken"
        e2e_wait 10 logged 'RingOn(Skype)' 1 || e2e_fail "the phone never rang"
        ringing=$(bench_timing_ms "$skype_timing" '^notify CALL [0-9]+ STATUS RINGING' "${ring:-0}") ||
            e2e_fail "Skype sent no RINGING"
        ring=$(bench_timing_ms "$adapter_timing" '^set [0-9]+ ok 00 (04 3D 40 01 30|20 00 00 01 01 03)' \
            "$ringing") || e2e_fail "no ring-on feature report"
        rings+=($((ring - ringing)))
        bench_key 0x8E
        e2e_wait 10 logged CallAnswered "$i" || e2e_fail "lifting the handset did not answer"
        lift=$(bench_timing_ms "$phone_timing" '^handset 0x8E' "$ring") || e2e_fail "the softphone saw no lift"
        hookoff=$(bench_timing_ms "$skype_timing" '^command HOOK OFF' "$lift") || e2e_fail "Skype saw no HOOK OFF"
        answers+=($((hookoff - lift)))
        e2e_skype_cue "end FINISHED"
        e2e_wait 10 logged CallDisconnected "$i" || e2e_fail "the far end's hang-up was not noticed"
        bench_key 0x8F
        e2e_wait 10 logged CallOnhook $((2 * i)) || e2e_fail "hanging up was not noticed"
        ring=$((ring + 1))
        sleep 1
    done
    BENCH_HASH_MS=$(printf '%s\n' "${hashes[@]}" | bench_median)
    BENCH_RING_MS=$(printf '%s\n' "${rings[@]}" | bench_median)
    BENCH_ANSWER_MS=$(printf '%s\n' "${answers[@]}" | bench_median)
    BENCH_HASH_ALL="${hashes[*]}" BENCH_RING_ALL="${rings[*]}" BENCH_ANSWER_ALL="${answers[*]}"
}

bench_exit_program() {
    wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null ||
        e2e_fail "could not post the Exit command"
    e2e_wait_gone "$1" 15 || e2e_fail "the program still runs 15 s after the Exit command"
}

# Starts the program again with the wineserver tracing its requests, waits
# until it is attached, and prints "GUI-thread requests per poll, all the
# program's requests per poll, polls" for a window of SECS seconds. A poll
# is one start of the poll timer (id 13) by the GUI thread.
bench_requests_per_poll() {
    local secs=$1 trace="$E2E_TMP/wineserver.log" from to
    rm -f "$E2E_LOG"
    WINEDEBUG=+server e2e_start_program_with_adapter
    local traced=$E2E_LAST_PID
    e2e_wait 30 logged SkypeAttached 1 || { e2e_note "the traced program did not attach"; return 1; }
    sleep 3
    from=$(wc -l <"$trace")
    sleep "$secs"
    to=$(wc -l <"$trace")
    sed -n "$((from + 1)),${to}p" "$trace" >"$E2E_WORK/requests.txt"
    bench_exit_program "$traced" >/dev/null
    awk '
        # A request line: "TTTT: name( ... )"; a reply line has " = " after the ")".
        match($0, /^[0-9a-f]+: [a-z_]+\(/) {
            if ($0 ~ /\) = /) next
            tid = substr($0, 1, index($0, ":") - 1)
            total++; per[tid]++
            if ($0 ~ /^[0-9a-f]+: set_win_timer\(/ && $0 ~ /id=0*d[,)]/) { polls++; gui = tid }
        }
        END {
            if (!polls) exit 1
            printf "%.1f %.1f %d\n", per[gui] / polls, total / polls, polls
        }' "$E2E_WORK/requests.txt"
}

bench_table() {
    local cores model
    cores=$(nproc)
    model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
    read -r req_gui req_all polls <<<"$requests"
    printf '\nCorvaloPlugin under Wine (%s build), %s\n' "$E2E_ARCH" "$(date -u '+%Y-%m-%d %H:%M UTC')"
    printf 'Machine: %s, %s cores; %s\n\n' "${model:-unknown CPU}" "$cores" "$(wine --version 2>/dev/null)"
    printf '| Measure | Figure | Prescribed wait |\n|---|---|---|\n'
    printf '| Idle CPU, Skype not attached: program / wineserver | %s %% / %s %% of a core | poll every 1000 ms |\n' \
        "$cpu_prog_detached" "$cpu_server_detached"
    printf '| Idle CPU, Skype attached: program / wineserver | %s %% / %s %% of a core | poll every 100 ms |\n' \
        "$cpu_prog_attached" "$cpu_server_attached"
    printf '| Server requests per attached poll: GUI thread / whole program | %s / %s (%s polls) | |\n' \
        "$req_gui" "$req_all" "$polls"
    if [[ -n "${requests_clutter:-}" ]]; then
        read -r req_gui req_all polls <<<"$requests_clutter"
        printf '| Same, %s other windows below the softphone'"'"'s | %s / %s (%s polls) | |\n' \
            "$CLUTTER" "$req_gui" "$req_all" "$polls"
    fi
    printf '| Handset "#" to "CALL ..." at Skype | %s ms (%s) | %s ms timer, run after %s ms |\n' \
        "$BENCH_HASH_MS" "$BENCH_HASH_ALL" "$BENCH_HASH_TO_CALL_WAIT_MS" "$BENCH_TIMER_MINIMUM_MS"
    printf '| Skype RINGING to first ring-on report | %s ms (%s) | %s ms timer, run after %s ms |\n' \
        "$BENCH_RING_MS" "$BENCH_RING_ALL" "$BENCH_RINGING_TO_RING_WAIT_MS" "$BENCH_TIMER_MINIMUM_MS"
    printf '| Handset off-hook to "HOOK OFF" | %s ms (%s) | %s ms |\n' \
        "$BENCH_ANSWER_MS" "$BENCH_ANSWER_ALL" "$BENCH_OFFHOOK_TO_HOOKOFF_WAIT_MS"
    printf '| Process start to Call Status window and tray icon | %s ms | none |\n' \
        "$((started_ms - start_ms))"
    printf '| Resident set, attached idle: start / after %s s | %s KB / %s KB | |\n' \
        "$idle_total_s" "$rss_start" "$rss_end"
}
