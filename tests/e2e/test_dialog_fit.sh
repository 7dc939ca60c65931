#!/usr/bin/env bash
# Every window and message box the program shows a person, at the DPI given
# (96 or 144, set through the prefix's LogPixels value for this test only),
# shows all of its text: wintool lays out each static text in the window's
# font at its control's width and fails when it needs more room than the
# control has. Opened as a person would meet them: the About box, the
# update messages before the adapter arrives; the Speed Dial table and the
# Courtesy Checklist after it; the Call Status window with the longest
# errors of a call that cannot be placed (Skype not running) and of one
# Skype refuses; the warning of a second start.
#   test_dialog_fit.sh DPI
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
dpi=${1:-}
[[ "$dpi" =~ ^[0-9]+$ ]] || e2e_fail "usage: test_dialog_fit.sh DPI"
e2e_begin "dialog_fit_$dpi"

# The user's DPI (Wine reads it at each process start); the next tests of
# the shared prefix get the default back.
desktop_key='HKCU\Control Panel\Desktop'
set_dpi() {
    timeout -k 2 20 "$E2E_WINE" reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
}
end_at_default_dpi() {
    local rc=$?
    timeout -k 2 20 "$E2E_WINE" reg delete "$desktop_key" /v LogPixels /f >/dev/null 2>&1 </dev/null
    (exit "$rc")
    e2e_end
}
trap end_at_default_dpi EXIT
set_dpi "$dpi" || e2e_fail "cannot set LogPixels"
e2e_assert_eq "the DPI Wine's programs see" "$dpi" "$(wintool dpi | tr -d '\r')"

# fits TITLE: the window titled TITLE shows all its static texts.
fits() {
    local title=$1 report
    wintool wait-window '#32770' "$title" 20000 >/dev/null || e2e_fail "no window \"$title\""
    # A message box is filled in before it is shown.
    e2e_wait 5 is_visible "$title" || e2e_fail "the window \"$title\" is not shown"
    report=$(wintool fit '#32770' "$title" | tr -d '\r') ||
        e2e_fail "text cut off in \"$title\" at $dpi DPI (id, needed, has):"$'\n'"$report"
    printf '%s at %s DPI:\n%s\n' "$title" "$dpi" "$report"
}
is_visible() { [[ "$(wintool visible '#32770' "$1" | tr -d '\r')" == 1 ]]; }
menu_command() { wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$1" 0 >/dev/null; }
close_window() { wintool post '#32770' "$1" "$E2E_WM_CLOSE" 0 0 >/dev/null; }
press_ok() { wintool msgbox "$1" 10000 >/dev/null || e2e_fail "the box \"$1\" did not close"; }

# An update server that answers once, then is gone.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY
www="$E2E_WORK/www"
mkdir -p "$www/marblewick"
printf 'result=CorvaloPlugin 2.07 is available. Download it from the page of the release and install it over this one.\r\n' \
    >"$www/marblewick/corvaloplugin-\$update\$.asp"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server --bind 127.0.0.1 --directory "$www" "$port" >"$E2E_WORK/server.log" 2>&1 </dev/null &
server=$!
E2E_PIDS+=("$server")
serving() { python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; }
e2e_wait 10 serving || e2e_fail "the test's update server did not start"
printf '[Options]\r\nUpdateServer=http://127.0.0.1:%s\r\n' "$port" >"$E2E_DIR/CorvaloPlugin\$.ini"

e2e_plug_adapter
printf '%s\n' present=0 >"$E2E_DIR/adapter-control.txt"
e2e_start_softphone --version 2012.1
e2e_start_program_with_adapter
e2e_wait_main_window >/dev/null
e2e_wait 10 e2e_logged Hok 1 || e2e_fail "the softphone was not hooked"

menu_command 100
fits "CorvaloPlugin - About"
close_window "CorvaloPlugin - About"
e2e_wait 10 e2e_logged AboutRequest 1 || e2e_fail "the About box did not close"

menu_command 32776
fits "Update Information"
press_ok "Update Information"
e2e_stop_pid "$server"
menu_command 32776
fits "Warning"
press_ok "Warning"

# The adapter arrives; Skype is not running.
printf '%s\n' present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 >"$E2E_DIR/adapter-control.txt"
e2e_wait 20 e2e_logged DeviceAdded 1 || e2e_fail "the adapter was not found"
e2e_wait_ready
menu_command 155
fits "CorvaloPlugin - Skype Speed Dial"
close_window "CorvaloPlugin - Skype Speed Dial"
e2e_wait 10 e2e_logged SpeedDialRequest 1 || e2e_fail "the Speed Dial table did not close"
fits "CorvaloPlugin - Courtesy Checklist"

# failed_call KEYS EVENT: a call dialled with KEYS fails with EVENT, whose
# text the Call Status window shows; then the handset goes down.
failed_call() {
    local mark
    mark=$(e2e_mark)
    e2e_lift "$1"
    e2e_wait 10 e2e_logged_since "$mark" "$2" || e2e_fail "the call to $1 did not end in $2"
    fits "$E2E_MAIN_TITLE"
    e2e_hang_up
}
failed_call '*7#' NoSkypeRunning

# Skype attaches and refuses the next call with the longest reason it gives.
e2e_start_skype
e2e_wait 30 e2e_logged SkypeAttached 1 || e2e_fail "the program did not attach to Skype"
e2e_skype_cue "calls error 71 Invalid target number"
failed_call '*442071234567#' DialingError

# Last: a second copy's start clears the hook library's shared state.
e2e_start_program_with_adapter
second=$E2E_LAST_PID
fits "Warning"
press_ok "Warning"
e2e_wait_gone "$second" 10 || e2e_fail "the second instance did not end"
exit 0
