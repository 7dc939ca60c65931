#!/usr/bin/env bash
# The Update Check command of the real program under Wine, against an update
# server of the test's own on the loopback address: the request carries the
# release and the local time, the first line of the answer is shown in an
# "Update Information" box, and with the server gone the user is warned and
# "ServerConnProblem" is logged.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
e2e_begin update_check

# A proxy from the environment would take the loopback request elsewhere.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY
PYTHON=/usr/bin/python3
[[ -x "$PYTHON" ]] || e2e_fail "no $PYTHON for the test's update server"

www="$E2E_WORK/www"
mkdir -p "$www/marblewick"
printf 'result=CorvaloPlugin 2.07 is available.\r\nmore text\r\n' >"$www/marblewick/corvaloplugin-\$update\$.asp"
port=$("$PYTHON" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$PYTHON" -m http.server --bind 127.0.0.1 --directory "$www" "$port" >"$E2E_WORK/server.log" 2>&1 </dev/null &
server=$!
E2E_PIDS+=("$server")
serving() { "$PYTHON" -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; }
e2e_wait 10 serving || e2e_fail "the test's update server did not start: $(cat "$E2E_WORK/server.log")"

# Without an adapter the settings file has no serial in its name.
printf '[Options]\r\nUpdateServer=http://127.0.0.1:%s\r\n' "$port" >"$E2E_DIR/CorvaloPlugin\$.ini"

e2e_start_program
e2e_wait_main_window >/dev/null
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" 32776 0 >/dev/null
answer=$(wintool msgbox "Update Information" 20000) || e2e_fail "no \"Update Information\" box within 20 s"
e2e_assert_eq "the answer shown" "CorvaloPlugin 2.07 is available." "$answer"
request=$(grep -o 'GET [^ ]*' "$E2E_WORK/server.log" | head -n1)
e2e_assert_match "the request" '^GET /marblewick/corvaloplugin-\$update\$\.asp\?re=2\.06&d=20[0-9]{12}$' "$request"
e2e_assert_eq "the records" "UpdateRequest" "$(e2e_record_state "$(e2e_log_records | tail -n1)")"

# With the server gone the user is warned.
e2e_stop_pid "$server"
wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" 32776 0 >/dev/null
warning=$(wintool msgbox "Warning" 30000) || e2e_fail "no \"Warning\" box within 30 s of the server going away"
e2e_assert_eq "the warning" "Unable to contact update server. Please check your Internet connection and your firewall/proxy settings and try again." "$warning"
logged() { (( $(e2e_log_count ServerConnProblem) == 1 )); }
e2e_wait 5 logged || e2e_fail "\"ServerConnProblem\" was not logged"
