# shellcheck shell=bash
# The stand-in softphone in end-to-end tests. Source after lib.sh.
#
#   e2e_start_softphone [ARG..]  copies softphone.exe into
#                                "$E2E_DIR/magic Jack" (E2E_SOFTPHONE_DIR) and
#                                starts it there; its pid is E2E_SOFTPHONE_PID.
#   e2e_start_clutter COUNT [CLASS WIDTH HEIGHT]  another program (E2E_CLUTTER)
#                                with COUNT top-level windows of its own; waits
#                                until they are all up; its pid is E2E_CLUTTER_PID
#                                and its output (its clicks) in E2E_CLUTTER_OUT.
#   e2e_transcript               the stand-in's transcript, CR LF ends removed.
#   e2e_windows_path PATH        PATH as the Windows programs see it.

E2E_SOFTPHONE_CLASS=QWidget
E2E_SOFTPHONE_TITLE=magicJack
E2E_HANDSET_CLASS=Static
E2E_HANDSET_TITLE=CSJHandsetDriverWnd
E2E_HANDSET_KEY=1027
E2E_WM_CLOSE=0x10

e2e_start_softphone() {
    [[ -f "${E2E_SOFTPHONE:-}" ]] || e2e_fail "E2E_SOFTPHONE: no stand-in softphone at [${E2E_SOFTPHONE:-}]"
    E2E_SOFTPHONE_DIR="$E2E_DIR/magic Jack"
    e2e_start_in "$E2E_SOFTPHONE" "$E2E_SOFTPHONE_DIR" softphone.exe "$@"
    E2E_SOFTPHONE_PID=$E2E_LAST_PID
    wintool wait-window "$E2E_SOFTPHONE_CLASS" "$E2E_SOFTPHONE_TITLE" 15000 >/dev/null ||
        e2e_fail "the stand-in softphone's window did not appear"
}

e2e_start_clutter() {
    [[ -f "${E2E_CLUTTER:-}" ]] || e2e_fail "E2E_CLUTTER: no clutter tool at [${E2E_CLUTTER:-}]"
    local count=$1 cls=${2:-CorvaloClutter}
    E2E_CLUTTER_OUT="$E2E_WORK/clutter.${#E2E_PIDS[@]}.out"
    e2e_start_in "$E2E_CLUTTER" "$E2E_DIR/Clutter" clutter.exe "$@"
    E2E_CLUTTER_PID=$E2E_LAST_PID
    all_up() { (( $(wintool count "$cls" - 2>/dev/null | tr -d '\r') >= count )); }
    e2e_wait 20 all_up || e2e_fail "the $count windows of class $cls did not appear"
}

e2e_transcript() {
    local file="$E2E_SOFTPHONE_DIR/softphone-transcript.txt"
    [[ -f "$file" ]] || return 0
    tr -d '\r' <"$file"
}

e2e_windows_path() {
    timeout -k 2 20 "$E2E_WINE" winepath -w "$1" 2>/dev/null </dev/null | tr -d '\r'
}

