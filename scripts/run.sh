#!/usr/bin/env bash
# Builds CorvaloPlugin and runs it once under Wine on a headless display.
set -uo pipefail

usage() {
    cat <<'EOF'
usage: scripts/run.sh [--help]

Runs CorvaloPlugin.exe once, headless, and shows what it did:
  1. scripts/setup.sh installs any missing Debian packages (needs root the
     first time);
  2. configures and builds the "windows" preset (build/windows);
  3. brings up a fresh 32-bit Wine prefix on its own Xvfb display;
  4. copies CorvaloPlugin.exe and phonehook.dll into a folder under
     "Program Files", starts the program and waits for its Call Status window;
  5. prints the event log and the Call Status record (the window's second
     child);
  6. sends the Exit command, waits for the program to end and prints the
     final event log;
  7. stops Xvfb, the wineserver and every Wine process it started, and
     removes the prefix, whatever happened.
Exits non-zero if any step fails or times out.
EOF
}

case "${1:-}" in
    -h | --help) usage; exit 0 ;;
    "") ;;
    *) usage >&2; exit 2 ;;
esac

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
source "$root/tests/e2e/lib.sh"

step() { printf '\n== %s\n' "$*"; }

step "Installing what is missing"
bash scripts/setup.sh || e2e_fail "scripts/setup.sh failed"

step "Building the Windows binaries"
cmake --preset windows >/dev/null || e2e_fail "cmake --preset windows failed"
cmake --build --preset windows || e2e_fail "the windows build failed"

build=$root/build/windows
E2E_EXE=$build/CorvaloPlugin.exe
E2E_DLL=$build/phonehook.dll
E2E_WINTOOL=$build/tests/e2e/wintool.exe
for f in "$E2E_EXE" "$E2E_DLL" "$E2E_WINTOOL"; do
    [[ -f "$f" ]] || e2e_fail "the build did not produce $f"
done

state=$(mktemp "${TMPDIR:-/tmp}/corvalo-run-state.XXXXXX")
E2E_PIDS=()
finish() {
    local rc=$?
    trap - EXIT
    local pid
    for pid in "${E2E_PIDS[@]}"; do e2e_stop_pid "$pid"; done
    e2e_prefix_down "$state"
    exit "$rc"
}
trap finish EXIT

step "Bringing up a Wine prefix"
e2e_prefix_up "$state"
e2e_load_state "$state"

E2E_DIR="$E2E_TMP/Program Files/CorvaloPlugin"
E2E_WORK="$E2E_TMP/work/run"
E2E_LOG="$E2E_DIR/$E2E_LOG_NAME"
mkdir -p "$E2E_DIR" "$E2E_WORK"
cp "$E2E_EXE" "$E2E_DLL" "$E2E_DIR/"

step "Starting $E2E_DIR/CorvaloPlugin.exe on display $DISPLAY"
e2e_start_program
pid=$E2E_LAST_PID
hwnd=$(e2e_wait_main_window 15000) || exit 1
echo "Call Status window: $hwnd (visible: $(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE"))"
e2e_wait 5 e2e_log_has_records 1 || e2e_fail "no event log record within 5 s"
sleep 1 # let start-up finish before taking the picture

step "Event log ($E2E_LOG)"
e2e_log_lines

step "Call Status record"
wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2 || e2e_fail "cannot read the Call Status record"

step "Sending the Exit command"
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 ||
    e2e_fail "could not post the Exit command"
e2e_wait_gone "$pid" 15 || e2e_fail "the program still runs 15 s after the Exit command"
echo "the program has ended"

step "Final event log"
e2e_log_lines
