# shellcheck shell=bash
# The stand-in adapter's audio line: under Wine the adapter's wave-out
# device is an ALSA device named after the adapter's USB audio device,
# "(USB Internet Phone by TigerJet)". Wine lists it as "Out: " and that
# name, cut to 31 characters as Windows cuts "Speakers (USB Internet Phone
# by TigerJet)", so the program's own device search picks it and Skype knows
# the completed name. What the program plays on it is recorded, stream by
# stream, with the time each part reached the line. Source after lib.sh and
# skype.sh.
#
#   e2e_line_up DIR              makes DIR/home/.asoundrc with the line and a
#                                system default of its own, tells Wine's ALSA
#                                driver about the line and starts the
#                                recorder (tools/line_recorder.py) on
#                                DIR/line.fifo; streams land in DIR as
#                                line-N.wav and line-N.times
#   e2e_start_program_on_line [ARG..]  e2e_start_program_with_adapter with
#                                that home, ALSA only (no sound server can
#                                take the sound), raised priority and the
#                                adapter noting when each feature report
#                                went out
#   e2e_start_skype_on_line [ARG..]  e2e_start_skype seeing the same devices
#   e2e_line_streams             how many streams have ended
#   e2e_line_began               how many streams have begun
#   e2e_line_ended_past N        true once stream N has ended
#   e2e_line_default_played      true once anything was played on the
#                                system's default output instead
#   e2e_line_decode N            what minimodem decodes from stream N
#   e2e_line_measure N           "RATE TONE_SAMPLE START_MS END_MS" of stream N
#   e2e_line_shown N             "MM/DD HH:MM, NUMBER, NAME": what a caller-ID
#                                display on the line shows for stream N
#   e2e_ms_of_log_line LINE      a log line's time stamp in ms since 1970
#   e2e_report_ms TEXT [N]       when the adapter took its Nth (default: last)
#                                feature report TEXT, in ms since 1970

E2E_LINE_DEVICE="(USB Internet Phone by TigerJet)"
E2E_LINE_RECORDER="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/tools/line_recorder.py"

e2e_line_up() {
    E2E_LINE_DIR=$1
    E2E_LINE_HOME="$E2E_LINE_DIR/home"
    rm -rf "$E2E_LINE_DIR"
    mkdir -p "$E2E_LINE_HOME" || e2e_fail "cannot make $E2E_LINE_HOME"
    mkfifo "$E2E_LINE_DIR/line.fifo" || e2e_fail "cannot make the line's FIFO"
    # The default output is a file of its own, so that a signal played there
    # instead of on the line is seen.
    cat >"$E2E_LINE_HOME/.asoundrc" <<ASOUNDRC
pcm.!default {
    type file
    slave.pcm "null"
    file "$E2E_LINE_DIR/default.wav"
    format "wav"
}
pcm."$E2E_LINE_DEVICE" {
    type file
    slave.pcm "null"
    file "$E2E_LINE_DIR/line.fifo"
    format "wav"
}
ASOUNDRC
    # Its read times date what the program handed over, so it runs ahead of
    # everything else on the machine (real-time where allowed): it wakes the
    # moment bytes arrive and does little else.
    local ahead=(nice -n -10)
    chrt -f 10 true 2>/dev/null && ahead=(chrt -f 10)
    "${ahead[@]}" python3 "$E2E_LINE_RECORDER" record "$E2E_LINE_DIR/line.fifo" "$E2E_LINE_DIR" \
        >"$E2E_LINE_DIR/recorder.out" 2>&1 </dev/null &
    E2E_LINE_RECORDER_PID=$!
    E2E_PIDS+=("$E2E_LINE_RECORDER_PID")
    # Wine's ALSA driver lists the devices named here besides the cards; a
    # device ALSA cannot open (any other home) is left out.
    # Opening a sound device takes many wineserver requests; the server is
    # raised like the program (below), so that the signal goes out on time
    # while builds share the machine.
    renice -n -10 -p "$E2E_WINESERVER_PID" >/dev/null 2>&1
    timeout -k 2 30 "$E2E_WINE" reg add 'HKCU\Software\Wine\Drivers\winealsa.drv' \
        /v ALSAOutputDevices /t REG_MULTI_SZ /d "$E2E_LINE_DEVICE" /f >/dev/null 2>&1 </dev/null ||
        e2e_fail "could not name the line to Wine's ALSA driver"
}

# The program asks Windows for a high-priority process; Wine leaves Linux
# priorities alone, so it is started raised. Otherwise builds sharing the
# machine can keep Wine's sound thread from refilling in time, and Wine
# fills the gap in the signal with silence.
e2e_start_program_on_line() {
    HOME="$E2E_LINE_HOME" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv=d" CORVALO_BENCH_TIMING=1 \
        E2E_PROGRAM_NICE=-10 e2e_start_program_with_adapter "$@"
}

e2e_start_skype_on_line() {
    HOME="$E2E_LINE_HOME" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv=d" e2e_start_skype "$@"
}

e2e_line_streams() {
    local n=0
    while [[ -f "$E2E_LINE_DIR/line-$n.wav" ]]; do n=$(( n + 1 )); done
    echo "$n"
}

e2e_line_ended_past() { (( $(e2e_line_streams) > $1 )); }

e2e_line_began() {
    local n=0
    while [[ -f "$E2E_LINE_DIR/line-$n.began" ]]; do n=$(( n + 1 )); done
    echo "$n"
}

e2e_line_default_played() { [[ -e "$E2E_LINE_DIR/default.wav" ]]; }

e2e_line_decode() {
    local wav="$E2E_LINE_DIR/line-$1.wav" mono="$E2E_LINE_DIR/line-$1-8k.wav"
    sox "$wav" -b 16 -c 1 -r 8000 "$mono" 2>"$E2E_LINE_DIR/sox.out" ||
        e2e_fail "stream $1 is not a readable WAV file: $(cat "$E2E_LINE_DIR/sox.out")"
    minimodem --rx -q -f "$mono" callerid
}

e2e_line_measure() {
    python3 "$E2E_LINE_RECORDER" measure "$E2E_LINE_DIR/line-$1.wav" "$E2E_LINE_DIR/line-$1.times"
}

# minimodem prints "CALLER-ID", "Time:  MM/DD HH:MM", "Phone: ..." and
# "Name:  ..." lines.
e2e_line_shown() {
    e2e_line_decode "$1" | awk '
        /^Time:  / { time = substr($0, 8) }
        /^Phone: / { phone = substr($0, 8) }
        /^Name:  / { name = substr($0, 8) }
        END { if (time != "") printf "%s, %s, %s\n", time, phone, name }'
}

e2e_ms_of_log_line() {
    [[ "$1" =~ $E2E_LOG_LINE_RE ]] || return 1
    local m=("${BASH_REMATCH[@]}") s
    s=$(date -d "${m[3]}-${m[2]}-${m[1]} ${m[4]}:${m[5]}:${m[6]}" +%s) || return 1
    echo $(( s * 1000 + 10#${m[7]} ))
}

e2e_report_ms() {
    local text=$1 nth=${2:-}
    tr -d '\r' <"$E2E_DIR/adapter-reports.txt.timing" 2>/dev/null |
        awk -v text="$text" -v nth="$nth" '
            substr($0, index($0, " ") + 1) == text { n++; if (nth == "" || n == nth) ms = $1 }
            END { if (ms != "") print ms }'
}

# When the first ring burst after SINCE (ms since 1970) ended: the first
# ring-off report after the first ring-on report from then on.
e2e_burst_end_ms() {
    tr -d '\r' <"$E2E_DIR/adapter-reports.txt.timing" 2>/dev/null |
        awk -v since="$1" -v on="$2" -v off="$3" '
            $1 < since { next }
            { text = substr($0, index($0, " ") + 1) }
            !rang && text == on { rang = 1; next }
            rang && text == off { print $1; exit }'
}
