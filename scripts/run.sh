#!/usr/bin/env bash
# Builds CorvaloPlugin and runs it once under Wine on a headless display.
set -uo pipefail

usage() {
    cat <<'EOF'
usage: scripts/run.sh [--help]

Runs CorvaloPlugin.exe headless through two simulated calls and shows what
it did:
  1. scripts/setup.sh installs any missing Debian packages (needs root the
     first time);
  2. configures and builds the shipped 32-bit binaries ("windows" preset,
     build/windows); on a host whose kernel cannot run 32-bit x86 code
     (or with CORVALO_HOST_NO_I386=1) the x86-64 build of the same sources
     instead ("windows64" preset, build/windows64), and says so;
  3. brings up a fresh Wine prefix of that architecture on its own Xvfb
     display;
  4. puts CorvaloPlugin.exe and phonehook.dll into a folder under
     "Program Files" together with the stand-ins for the outside world: the
     adapter's softphone, Skype, and the USB adapter itself (our own hid.dll
     and setupapi.dll presenting a virtual adapter, and an ALSA device named
     as the adapter's audio output, whose sound is recorded: the phone line);
  5. starts them and waits until the program has hooked the softphone, found
     the adapter and attached to Skype;
  6. an outgoing call: lifts the handset, dials *8005550100#, waits until
     Skype has the call in progress, hangs up;
  7. an incoming call: Skype rings from "bob" (speed-dial slot 7, Bob Smith),
     waits for the caller identification, lifts the handset, the far end
     hangs up, the handset goes down; prints what a caller-ID display on the
     line shows, decoded with minimodem from the sound the program played
     ("caller identification on the line: MM/DD HH:MM, NUMBER, NAME");
  8. prints the event log, the Call Status record and the commands Skype
     received, sends the Exit command and waits for the program to end;
  9. stops Xvfb, the wineserver and every Wine process it started, and
     removes the prefix, whatever happened.
Exits non-zero if any step fails or times out, or if no caller
identification could be decoded from the line.
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

step "Building the Windows binaries this host runs"
e2e_build_for_host verbose
echo "Running $E2E_BUILD_REASON: $root/build/$E2E_PRESET"
source "$root/tests/e2e/softphone.sh"
source "$root/tests/e2e/skype.sh"
source "$root/tests/e2e/line.sh"

state=$(mktemp "${TMPDIR:-/tmp}/corvalo-run-state.XXXXXX")
E2E_PIDS=()
trap 'e2e_script_end "$state"' EXIT

step "Bringing up a Wine prefix"
e2e_prefix_up "$state"
e2e_load_state "$state"

E2E_DIR="$E2E_TMP/Program Files/CorvaloPlugin"
E2E_WORK="$E2E_TMP/work/run"
E2E_LOG="$E2E_DIR/$E2E_LOG_NAME"
mkdir -p "$E2E_DIR" "$E2E_WORK"
cp "$E2E_EXE" "$E2E_DLL" "$E2E_DIR/"

step "Starting the softphone, Skype and CorvaloPlugin.exe on display $DISPLAY"
e2e_line_up "$E2E_WORK/line"
e2e_plug_adapter
# The settings file of the virtual adapter (serial mj00a1b2c3d4, digits mirrored).
printf '[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n' >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
e2e_start_softphone --version 2012.1
e2e_start_skype_on_line
e2e_start_program_on_line
pid=$E2E_LAST_PID
hwnd=$(e2e_wait_main_window 15000) || exit 1
echo "Call Status window: $hwnd (visible: $(wintool visible "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE"))"
logged() { (( $(e2e_log_count "$1") >= $2 )); }
key() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }
e2e_wait 30 logged SkypeAttached 1 || e2e_fail "the program did not attach to Skype within 30 s"
echo "hooked the softphone, found the adapter, attached to Skype"

step "Outgoing call: *8005550100#"
key 0x8E
e2e_wait 10 logged CallOrigination 1 || e2e_fail "lifting the handset was not noticed"
for k in 0x6A 0x38 0x30 0x30 0x35 0x35 0x35 0x30 0x31 0x30 0x30 0x88; do key "$k"; done
e2e_wait 15 logged CallInProgress 1 || e2e_fail "the call never went into progress"
echo "the call is in progress"
key 0x8F
e2e_wait 10 logged CallOnhook 1 || e2e_fail "hanging up was not noticed"
echo "hung up"

step "Incoming call from bob"
began=$(e2e_line_began)
e2e_skype_cue "ring bob"
e2e_wait 10 logged IncomingSkypeCall 1 || e2e_fail "the ringing Skype call was not taken"
e2e_wait 10 logged SendCallerid 1 || e2e_fail "no caller identification in the first ring pause"
if (( $(e2e_line_began) <= began )); then
    e2e_line_default_played && e2e_fail "the program played the caller identification on the system's default output, not on the adapter's line"
    e2e_fail "the program logged SendCallerid, but played nothing on the adapter's line: no caller identification was sent"
fi
echo "ringing; caller identification played on the line"
key 0x8E
e2e_wait 10 logged CallAnswered 1 || e2e_fail "lifting the handset did not answer"
echo "answered"
# The answer silences the line, which ends the recording.
e2e_wait 10 e2e_line_ended_past "$began" || e2e_fail "the line's recording did not end"
shown=$(e2e_line_shown "$began")
[[ -n "$shown" ]] || e2e_fail "what the program played on the line does not decode as caller identification"
echo "caller identification on the line: $shown"
e2e_skype_cue "end FINISHED"
e2e_wait 10 logged CallDisconnected 1 || e2e_fail "the far end's hang-up was not noticed"
key 0x8F
e2e_wait 10 logged CallOnhook 2 || e2e_fail "hanging up was not noticed"
echo "the far end hung up; handset down"

step "Call Status record"
wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2 || e2e_fail "cannot read the Call Status record"

step "Commands Skype received"
e2e_skype_lines command

step "Sending the Exit command"
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 ||
    e2e_fail "could not post the Exit command"
e2e_wait_gone "$pid" 15 || e2e_fail "the program still runs 15 s after the Exit command"
echo "the program has ended"

step "Event log ($E2E_LOG)"
e2e_log_lines

echo
echo "run.sh: both calls succeeded (an outgoing Skype call from the handset, and an incoming Skype call answered on the handset with its caller identification decoded from the line) on $E2E_BUILD_REASON."

