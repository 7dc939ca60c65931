#!/usr/bin/env bash
# Measures CorvaloPlugin under Wine beside its stand-ins and prints a table.
set -uo pipefail

usage() {
    cat <<'EOF'
usage: benchmarks/wine_bench.sh [--clutter N] [--help]

Builds the Windows binaries (the shipped 32-bit pair, or the x86-64 build
where the host cannot run 32-bit code, as scripts/run.sh does), starts the
program under Wine on a headless display beside the stand-in softphone,
Skype and adapter, and prints one table:

  - idle CPU of the program and of the wineserver, Skype not attached and
    attached, as a share of one core (from /proc/PID/stat over a window);
  - the program's wineserver requests per attached poll (a second start of
    the program with WINEDEBUG=+server, which the wineserver traces; the
    requests of the window are divided by the polls in it);
  - handset "#" to "CALL ..." arriving at Skype, Skype's RINGING to the
    first ring-on feature report, handset off-hook to "HOOK OFF" when
    answering, each the median of BENCH_CALLS calls, beside the wait the
    program prescribes itself for it;
  - process start to the Call Status window and the tray icon;
  - the program's resident set at the start and the end of the idle run.

The requests per attached poll are counted a second time with N (--clutter
N, default 50; 0 leaves it out) top-level windows of another program (tests/e2e/tools/clutter.cpp) opened
before the softphone starts again, so that they stand below the softphone's
windows in z-order as other programs' windows do on a real desk.

Timestamps come from the stand-ins' timing files (CORVALO_BENCH_TIMING)
and the program's event log. Environment: BENCH_WINDOW_S (CPU window,
default 30), BENCH_TRACE_S (request window, default 10), BENCH_IDLE_S
(attached idle run for the resident set, default 60), BENCH_CALLS
(default 3), BENCH_KEEP (a folder that receives the program's folder, the
stand-ins' files and the request trace at the end).
EOF
}

CLUTTER=50
while (( $# )); do
    case "$1" in
        -h | --help) usage; exit 0 ;;
        --clutter)
            if ! [[ "${2:-}" =~ ^[0-9]+$ ]] || (( $2 > 10000 )); then usage >&2; exit 2; fi
            CLUTTER=$2
            shift 2
            ;;
        *) usage >&2; exit 2 ;;
    esac
done

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
source "$root/tests/e2e/lib.sh"

WINDOW_S=${BENCH_WINDOW_S:-30}
TRACE_S=${BENCH_TRACE_S:-10}
IDLE_S=${BENCH_IDLE_S:-60}
CALLS=${BENCH_CALLS:-3}

say() { printf '== %s\n' "$*" >&2; }

say "Installing what is missing"
bash scripts/setup.sh >/dev/null || e2e_fail "scripts/setup.sh failed"

say "Building the Windows binaries this host runs"
e2e_build_for_host
say "Measuring $E2E_BUILD_REASON"
source "$root/tests/e2e/softphone.sh"
source "$root/tests/e2e/skype.sh"
source "$root/benchmarks/wine_bench_lib.sh"

state=$(mktemp "${TMPDIR:-/tmp}/corvalo-bench-state.XXXXXX")
E2E_PIDS=()
finish() {
    local rc=$?
    trap - EXIT
    local pid
    for pid in "${E2E_PIDS[@]}"; do e2e_stop_pid "$pid"; done
    if [[ -n "${BENCH_KEEP:-}" && -d "${E2E_DIR:-}" ]]; then
        rm -rf "$BENCH_KEEP" && cp -r "$E2E_DIR" "$BENCH_KEEP" && cp "$E2E_TMP/wineserver.log" "$E2E_WORK"/requests.txt "$BENCH_KEEP/" 2>/dev/null
        say "kept the program's folder in $BENCH_KEEP"
    fi
    e2e_prefix_down "$state" 2>/dev/null
    exit "$rc"
}
trap finish EXIT

say "Bringing up a Wine prefix"
e2e_prefix_up "$state" 2>/dev/null
e2e_load_state "$state"
export CORVALO_BENCH_TIMING=1

E2E_DIR="$E2E_TMP/Program Files/CorvaloPlugin"
E2E_WORK="$E2E_TMP/work/bench"
E2E_LOG="$E2E_DIR/$E2E_LOG_NAME"
mkdir -p "$E2E_DIR" "$E2E_WORK"
cp "$E2E_EXE" "$E2E_DLL" "$E2E_DIR/"
e2e_plug_adapter
e2e_start_softphone --version 2012.1

say "Start-up, then idle with Skype not running (${WINDOW_S} s)"
start_ms=$(e2e_now_ms)
e2e_start_program_with_adapter
pid=$E2E_LAST_PID
e2e_wait_main_window 30000 >/dev/null
logged() { (( $(e2e_log_count "$1") >= $2 )); }
e2e_wait 30 logged SerialNumberFound 1 || e2e_fail "the program did not find the adapter"
e2e_wait 30 logged Hok 1 || e2e_fail "the program did not hook the softphone"
started_ms=$(bench_log_ms ProgramStart 1)
sleep 3
read -r cpu_prog_detached cpu_server_detached < <(bench_cpu "$pid" "$E2E_WINESERVER_PID" "$WINDOW_S")

say "Idle with Skype attached (${WINDOW_S} s, then ${IDLE_S} s for the resident set)"
e2e_start_skype
e2e_wait 30 logged SkypeAttached 1 || e2e_fail "the program did not attach to Skype"
sleep 3
rss_start=$(bench_rss_kb "$pid")
read -r cpu_prog_attached cpu_server_attached < <(bench_cpu "$pid" "$E2E_WINESERVER_PID" "$WINDOW_S")
sleep "$IDLE_S"
rss_end=$(bench_rss_kb "$pid")
idle_total_s=$(( WINDOW_S + IDLE_S ))

say "Reaction times over $CALLS outgoing and $CALLS incoming calls"
bench_calls "$CALLS"

say "Counting the program's server requests while attached (${TRACE_S} s)"
bench_exit_program "$pid"
requests=$(bench_requests_per_poll "$TRACE_S") || e2e_fail "counting server requests failed"
requests_clutter=
if (( CLUTTER > 0 )); then
    say "Counting them again with $CLUTTER other windows below the softphone's (${TRACE_S} s)"
    e2e_stop_pid "$E2E_SOFTPHONE_PID"
    e2e_start_clutter "$CLUTTER"
    e2e_start_softphone --version 2012.1
    requests_clutter=$(bench_requests_per_poll "$TRACE_S") || e2e_fail "counting server requests failed"
fi

bench_table
