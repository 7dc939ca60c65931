# shellcheck shell=bash
# Shared code for the end-to-end tests: CorvaloPlugin.exe runs under Wine on
# a headless X server and is driven from outside with wintool.exe.
#
# Inputs (environment):
#   E2E_STATE     state file of the shared prefix (CTest passes one in its
#                 binary dir). A test run by hand without it brings up a
#                 private prefix and tears it down again on exit.
#   E2E_EXE       the CorvaloPlugin.exe to test
#   E2E_DLL       the phonehook.dll shipped beside it
#   E2E_WINTOOL   wintool.exe
#   E2E_ARCH      i686 (default) or x86_64: the machine type of the images
#                 under test, which picks the Wine that runs them (see
#                 e2e_select_wine)
#   CORVALO_HOST_NO_I386  when set, behave as on a host whose kernel cannot
#                 run 32-bit x86 code: i686 images are not run
#   E2E_SUITE     set by the caller of CTest (scripts/test.sh), not by CTest:
#                 names one of several runs of a build's tests side by side,
#                 each with a prefix, a display and a state file of its own
#                 (E2E_STATE gets ".E2E_SUITE" appended)
#
# The shared prefix:
#   e2e_prefix_up STATE       fresh 32-bit prefix in a temp folder, Xvfb on a
#                             free display, persistent wineserver, wineboot.
#                             Each fact is written to STATE as soon as it is
#                             known, so a half-finished start can be undone.
#   e2e_prefix_down STATE     stops what STATE records (wineserver and all its
#                             Wine processes, Xvfb), removes the temp folder.
#   e2e_load_state STATE      exports the prefix environment into this shell.
#   e2e_host_runs_i386        true where 32-bit Wine can start here.
#   e2e_build_for_host [verbose]  builds and loads the build this host runs
#                             (i686, or x86-64 where 32-bit code cannot run).
#   e2e_skip_unless_runnable  exits with E2E_SKIP (77, CTest's skip code) and
#                             one line saying why when E2E_ARCH cannot run here.
#
# One test:
#   e2e_begin NAME            loads the prefix, makes "$E2E_TMP/Program Files/NAME"
#                             (E2E_DIR) holding the binaries, a work folder
#                             (E2E_WORK, the program's working directory) and
#                             an EXIT trap that stops what the test started.
#   e2e_start_program [ARG..] starts E2E_DIR/CorvaloPlugin.exe in the
#                             background, at niceness E2E_PROGRAM_NICE (0);
#                             its pid is E2E_LAST_PID.
#   e2e_start_in EXE DIR NAME [ARG..]  copies EXE to DIR/NAME and starts it
#                             there; its pid is E2E_LAST_PID.
#   e2e_wine ARG..            the Wine loader for E2E_ARCH (E2E_WINE).
#   wintool ARG..             runs wintool.exe under Wine (bounded).
#   e2e_wait SECS CMD..       runs CMD every 150 ms until it succeeds; fails
#                             after SECS seconds.
#   e2e_wait_gone PID SECS    waits until the process has ended.
#   e2e_pid_alive PID         true while the process runs (zombies count as ended).
#   e2e_stop_pid PID          SIGTERM, SIGKILL after 3 s, waits until it is gone.
#   e2e_fail MSG              prints MSG and exits 1.
#   e2e_assert_eq WHAT EXPECTED ACTUAL / e2e_assert_match WHAT REGEX ACTUAL
#   e2e_log_lines             the event log's lines, CR LF ends removed.
#   e2e_log_records           the record part of each log line.
#   e2e_check_log_line LINE   fails unless LINE is "DD/MM/YYYY; HH:MM:SS:mmm; <TAB>record".
#   e2e_log_count EVENT       how many log records have the event EVENT.
#   e2e_logged EVENT N        true once the log has N records of EVENT.
#   e2e_record_of EVENT       the last log record of EVENT.
#   e2e_mark                  the number of log records now: a mark.
#   e2e_logged_since MARK EVENT [N]  true once N (1) records of EVENT follow
#                             the mark; a stanza marks the log first rather
#                             than counting what the stanzas before it logged.

if [[ -n "${E2E_STATE:-}" && -n "${E2E_SUITE:-}" && "$E2E_STATE" != *".$E2E_SUITE" ]]; then
    E2E_STATE+=".$E2E_SUITE"
fi

# shellcheck disable=SC2016,SC2034 # constants for the scripts that source this file
E2E_MAIN_CLASS='#32770'
E2E_MAIN_TITLE='CorvaloPlugin - Call Status'
E2E_LOG_NAME='CorvaloPlugin$Logfile.log'
E2E_WM_COMMAND=0x111
E2E_CMD_EXIT=32774
# The status record right after start; wv is whatever Windows version Wine reports.
E2E_START_RECORD_RE='^st=ProgramStart; ct=1; cs=0; of=0; dn=; cn=; ci=; pi=0000; sn=; wv=[0-9]+\.[0-9]+; pr=CorvaloPlugin; re=2\.06; sv=; mv=$'
E2E_LOG_LINE_RE=$'^([0-9]{2})/([0-9]{2})/([0-9]{4}); ([0-9]{2}):([0-9]{2}):([0-9]{2}):([0-9]{3}); \t(.*)$'

e2e_note() { printf 'e2e: %s\n' "$*" >&2; }

# CTest counts a test that exits with this code as skipped, not passed.
E2E_SKIP=77

# 32-bit Wine needs a kernel that runs i386 executables; some x86-64 hosts
# refuse every one of them ("Exec format error"). The 32-bit loader asked
# for its version is the smallest such executable that matters here.
e2e_host_runs_i386() {
    [[ -z "${CORVALO_HOST_NO_I386:-}" ]] || return 1
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Why the host cannot run 32-bit images, in one line (empty if it can).
# Picks the Windows build this host can run: the shipped i686 pair, or the
# x86-64 build of the same sources where 32-bit code cannot run. Sets and
# exports E2E_ARCH, sets E2E_PRESET and E2E_BUILD_REASON (what is run, and
# why), configures and builds the preset (its output shown only with
# "verbose") and loads the build (e2e_use_build).
e2e_build_for_host() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    if e2e_host_runs_i386; then
        E2E_PRESET=windows E2E_ARCH=i686 E2E_BUILD_REASON="the shipped 32-bit binaries"
    else
        E2E_PRESET=windows64 E2E_ARCH=x86_64
        E2E_BUILD_REASON="the x86-64 build of the same sources, since $(e2e_i386_missing_reason)"
    fi
    export E2E_ARCH
    cmake --preset "$E2E_PRESET" >/dev/null || e2e_fail "cmake --preset $E2E_PRESET failed"
    if [[ "${1:-}" == verbose ]]; then
        cmake --build --preset "$E2E_PRESET" || e2e_fail "the $E2E_PRESET build failed"
    else
        cmake --build --preset "$E2E_PRESET" >/dev/null || e2e_fail "the $E2E_PRESET build failed"
    fi
    e2e_use_build "$root/build/$E2E_PRESET"
}

e2e_i386_missing_reason() {
    if [[ -n "${CORVALO_HOST_NO_I386:-}" ]]; then
        echo "CORVALO_HOST_NO_I386 is set: behaving as a host that cannot run 32-bit x86 code"
    elif [[ ! -x /usr/lib/wine/wine ]]; then
        echo "32-bit Wine (wine32:i386) is not installed"
    elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "this host's kernel refuses 32-bit x86 executables, so 32-bit Wine cannot start"
    fi
}

# Sets WINEARCH and E2E_WINE, the loader, for the images of E2E_ARCH. Debian's
# "wine" wrapper always prefers the 32-bit loader when it is installed, so
# each loader is named directly. Debian's "wineserver" wrapper prefers the
# 64-bit server, which serves 32-bit and 64-bit prefixes alike.
e2e_select_wine() {
    case "${E2E_ARCH:-i686}" in
        i686) WINEARCH=win32 E2E_WINE=/usr/lib/wine/wine ;;
        x86_64) WINEARCH=win64 E2E_WINE=/usr/lib/wine/wine64 ;;
        *) e2e_fail "E2E_ARCH: unknown machine type [${E2E_ARCH}]" ;;
    esac
    export WINEARCH E2E_WINE
}

e2e_skip_unless_runnable() {
    if [[ "${E2E_ARCH:-i686}" == i686 ]] && ! e2e_host_runs_i386; then
        echo "SKIP: i686 images not run: $(e2e_i386_missing_reason)"
        exit "$E2E_SKIP"
    fi
}

e2e_wine() { "$E2E_WINE" "$@"; }

e2e_fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}

e2e_assert_eq() {
    local what=$1 expected=$2 actual=$3
    [[ "$actual" == "$expected" ]] ||
        e2e_fail "$what: expected [$expected], got [$actual]"
}

e2e_assert_match() {
    local what=$1 re=$2 actual=$3
    [[ "$actual" =~ $re ]] || e2e_fail "$what: [$actual] does not match /$re/"
}

# Milliseconds since the epoch.
e2e_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

e2e_wait() {
    local secs=$1
    shift
    local deadline=$(( $(e2e_now_ms) + secs * 1000 ))
    while :; do
        "$@" && return 0
        (( $(e2e_now_ms) >= deadline )) && return 1
        sleep 0.15
    done
}

# A process that has exited but not been reaped (nobody reaps orphans in some
# containers) counts as ended.
e2e_pid_alive() {
    local pid=$1 stat
    [[ -n "$pid" ]] || return 1
    kill -0 "$pid" 2>/dev/null || return 1
    stat=$(cat "/proc/$pid/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ "${stat:0:1}" != Z ]]
}

e2e_pid_gone() { ! e2e_pid_alive "$1"; }

e2e_wait_gone() { e2e_wait "$2" e2e_pid_gone "$1"; }

e2e_stop_pid() {
    local pid=$1
    e2e_pid_alive "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null
    e2e_wait_gone "$pid" 3 && return 0
    kill -KILL "$pid" 2>/dev/null
    e2e_wait_gone "$pid" 3
}

# True only while PID is still the process we started (its command line holds
# NAME), so a recycled pid is never killed.
e2e_pid_is() {
    local pid=$1 name=$2
    e2e_pid_alive "$pid" && grep -qaF -- "$name" "/proc/$pid/cmdline" 2>/dev/null
}

# ---------------------------------------------------------------------------
# Shared prefix

e2e_state_set() {
    printf '%s=%q\n' "$1" "$2" >>"$E2E_STATE_FILE"
}

e2e_load_state() {
    local state=$1
    [[ -s "$state" ]] || e2e_fail "no Wine prefix state in $state (did the prefix set-up run?)"
    # shellcheck disable=SC1090
    source "$state"
    export E2E_TMP WINEPREFIX HOME DISPLAY WINEARCH WINEDEBUG WINEDLLOVERRIDES E2E_WINE
    export E2E_XVFB_PID E2E_WINESERVER_PID
    [[ -n "${E2E_BOOTED:-}" ]] || e2e_fail "the Wine prefix in $state never finished booting"
    e2e_pid_alive "$E2E_WINESERVER_PID" || e2e_fail "the wineserver of the shared prefix ($E2E_WINESERVER_PID) is gone"
    e2e_pid_alive "$E2E_XVFB_PID" || e2e_fail "the Xvfb of the shared prefix ($E2E_XVFB_PID) is gone"
}

# wineserver works from its server folder (Debian's Wine makes it under
# /tmp/wine-XXXXXX) and listens on "socket" in it.
e2e_wineserver_dir() {
    local dir
    dir=$(readlink "/proc/$1/cwd" 2>/dev/null) || return 1
    [[ "$dir" == */server-* && -S "$dir/socket" ]] && printf '%s\n' "$dir"
}

e2e_prefix_up() {
    E2E_STATE_FILE=$1
    if [[ -s "$E2E_STATE_FILE" ]]; then
        e2e_note "tearing down a prefix left by an earlier run"
        e2e_prefix_down "$E2E_STATE_FILE"
    fi
    : >"$E2E_STATE_FILE"

    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/corvalo-e2e.XXXXXX") || e2e_fail "mktemp failed"
    e2e_state_set E2E_TMP "$E2E_TMP"
    # Xvfb writes its display number to the -displayfd descriptor once it
    # accepts clients. setsid and the redirections keep it out of the
    # caller's session and pipes, so CTest does not wait on it.
    local dispfile="$E2E_TMP/xvfb.display"
    setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 \
        3>"$dispfile" >"$E2E_TMP/xvfb.log" 2>&1 </dev/null &
    E2E_XVFB_PID=$!
    e2e_state_set E2E_XVFB_PID "$E2E_XVFB_PID"
    e2e_wait 10 grep -q '^[0-9][0-9]*$' "$dispfile" ||
        e2e_fail "Xvfb did not report a display within 10 s: $(cat "$E2E_TMP/xvfb.log")"
    DISPLAY=":$(head -n1 "$dispfile")"
    export DISPLAY
    e2e_state_set DISPLAY "$DISPLAY"

    e2e_select_wine
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    export HOME="$E2E_TMP/home" WINEPREFIX="$E2E_TMP/prefix"
    mkdir -p "$HOME" "$WINEPREFIX" "$E2E_TMP/work"
    local k
    for k in WINEARCH E2E_WINE WINEDEBUG WINEDLLOVERRIDES HOME WINEPREFIX; do e2e_state_set "$k" "${!k}"; done

    setsid wineserver -f -p >"$E2E_TMP/wineserver.log" 2>&1 </dev/null &
    E2E_WINESERVER_PID=$!
    e2e_state_set E2E_WINESERVER_PID "$E2E_WINESERVER_PID"
    # Until its socket exists, a Wine program would start a server of its own.
    e2e_wait 10 e2e_wineserver_dir "$E2E_WINESERVER_PID" >/dev/null ||
        e2e_fail "wineserver did not open its socket within 10 s: $(cat "$E2E_TMP/wineserver.log")"
    e2e_state_set E2E_WINESERVER_DIR "$(e2e_wineserver_dir "$E2E_WINESERVER_PID")"

    # The Wine loader itself runs "wineboot --init" on a new prefix before
    # any program. An explicit "wineboot -i" on top would start a second
    # service manager, after which a service start (rpcss, which explorer
    # wants on each program start) can hang for 10 s; "-u" only updates.
    local t0
    t0=$(e2e_now_ms)
    timeout -k 5 60 "$E2E_WINE" wineboot -u >"$E2E_TMP/wineboot.log" 2>&1 </dev/null ||
        e2e_fail "wineboot failed or took over 60 s: $(tail -n 20 "$E2E_TMP/wineboot.log")"
    e2e_pid_alive "$E2E_WINESERVER_PID" || e2e_fail "wineserver ended during wineboot"
    e2e_state_set E2E_BOOTED 1
    e2e_note "$WINEARCH prefix $WINEPREFIX on display $DISPLAY booted in $(( $(e2e_now_ms) - t0 )) ms"
}

# Pids of the Wine processes (wine loader or wineserver) whose environment
# names this prefix: what wineserver -k may have missed, e.g. a program
# whose server went away.
e2e_prefix_pids() {
    local prefix=$1 f pid exe
    for f in /proc/[0-9]*/environ; do
        pid=${f#/proc/}
        pid=${pid%/environ}
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        [[ "$exe" == */wine/* || "$exe" == */wine-* || "$exe" == */wineserver* ]] || continue
        grep -qzxF "WINEPREFIX=$prefix" "$f" 2>/dev/null && e2e_pid_alive "$pid" && echo "$pid"
    done
}

e2e_prefix_down() {
    local state=$1
    if [[ ! -s "$state" ]]; then
        e2e_note "no prefix state in $state: nothing to tear down"
        rm -f "$state"
        return 0
    fi
    (
        E2E_TMP='' WINEPREFIX='' E2E_XVFB_PID='' E2E_WINESERVER_PID='' E2E_WINESERVER_DIR=''
        # shellcheck disable=SC1090
        source "$state"
        export WINEPREFIX HOME DISPLAY WINEARCH WINEDEBUG WINEDLLOVERRIDES
        if [[ -n "$WINEPREFIX" && -d "$WINEPREFIX" ]]; then
            # Ends every Wine process of the prefix, then the server.
            if e2e_pid_is "$E2E_WINESERVER_PID" wineserver; then
                timeout -k 2 10 wineserver -k >/dev/null 2>&1
                if ! e2e_wait_gone "$E2E_WINESERVER_PID" 5; then
                    kill -KILL "$E2E_WINESERVER_PID" 2>/dev/null
                    e2e_wait_gone "$E2E_WINESERVER_PID" 3
                fi
            fi
            local pid
            for pid in $(e2e_prefix_pids "$WINEPREFIX"); do
                e2e_note "stopping leftover Wine process $pid"
                kill -KILL "$pid" 2>/dev/null
            done
        fi
        if e2e_pid_is "$E2E_XVFB_PID" Xvfb; then
            e2e_stop_pid "$E2E_XVFB_PID"
        fi
        # The server folder, once its server has gone (a killed server
        # leaves its socket behind). Wine names the folder's parent in the
        # prefix's "wineserver" file, for a server that died before its
        # folder was recorded.
        if [[ -z "$E2E_WINESERVER_DIR" && -f "$WINEPREFIX/wineserver" ]]; then
            E2E_WINESERVER_DIR=$(find "${TMPDIR:-/tmp}/$(head -n1 "$WINEPREFIX/wineserver")" \
                -maxdepth 1 -name 'server-*' 2>/dev/null | head -n1)
        fi
        if [[ "$E2E_WINESERVER_DIR" == */server-* ]] && e2e_pid_gone "$E2E_WINESERVER_PID"; then
            rm -rf "$E2E_WINESERVER_DIR"
            rmdir "$(dirname "$E2E_WINESERVER_DIR")" 2>/dev/null
        fi
        case "$E2E_TMP" in
            */corvalo-e2e.*) rm -rf "$E2E_TMP" ;;
        esac
    )
    rm -f "$state"
}

# ---------------------------------------------------------------------------
# Scripts outside CTest (the main job, the pictures, the benchmark)

# Points the harness at the binaries of a build folder, which must hold them.
e2e_use_build() {
    local build=$1 f
    E2E_EXE=$build/CorvaloPlugin.exe
    E2E_DLL=$build/phonehook.dll
    E2E_WINTOOL=$build/tests/e2e/wintool.exe
    E2E_CLUTTER=$build/tests/e2e/clutter.exe
    E2E_SOFTPHONE=$build/softphone.exe
    E2E_SKYPE=$build/skype.exe
    E2E_HID_DLL=$build/standins/adapter/hid.dll
    E2E_SETUPAPI_DLL=$build/standins/adapter/setupapi.dll
    for f in "$E2E_EXE" "$E2E_DLL" "$E2E_WINTOOL" "$E2E_CLUTTER" "$E2E_SOFTPHONE" "$E2E_SKYPE" "$E2E_HID_DLL" "$E2E_SETUPAPI_DLL"; do
        [[ -f "$f" ]] || e2e_fail "the build did not produce $f"
    done
}

# The EXIT trap of such a script: stops what it started (E2E_PIDS) and
# takes its prefix (state file STATE) down, keeping the exit status.
e2e_script_end() {
    local rc=$? pid
    trap - EXIT
    for pid in "${E2E_PIDS[@]}"; do e2e_stop_pid "$pid"; done
    e2e_prefix_down "$1"
    exit "$rc"
}

# ---------------------------------------------------------------------------
# One test

wintool() {
    timeout -k 2 30 "$E2E_WINE" "$E2E_WINTOOL" "$@" </dev/null
}

e2e_main_window_count() { wintool count "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE"; }

e2e_begin() {
    E2E_TEST=$1
    E2E_PIDS=()
    E2E_OWN_STATE=''
    e2e_skip_unless_runnable
    trap e2e_end EXIT
    local v
    for v in E2E_EXE E2E_DLL E2E_WINTOOL; do
        [[ -n "${!v:-}" ]] || e2e_fail "$v is not set"
        [[ -f "${!v}" ]] || e2e_fail "$v: no such file ${!v}"
    done
    if [[ -n "${E2E_STATE:-}" ]]; then
        e2e_load_state "$E2E_STATE"
    else
        E2E_OWN_STATE=$(mktemp "${TMPDIR:-/tmp}/corvalo-e2e-state.XXXXXX")
        e2e_prefix_up "$E2E_OWN_STATE"
        e2e_load_state "$E2E_OWN_STATE"
    fi
    # A blank in the install path, as under C:\Program Files.
    E2E_DIR="$E2E_TMP/Program Files/$E2E_TEST"
    E2E_WORK="$E2E_TMP/work/$E2E_TEST"
    E2E_LOG="$E2E_DIR/$E2E_LOG_NAME"
    rm -rf "$E2E_DIR" "$E2E_WORK"
    mkdir -p "$E2E_DIR" "$E2E_WORK"
    cp "$E2E_EXE" "$E2E_DIR/CorvaloPlugin.exe"
    cp "$E2E_DLL" "$E2E_DIR/phonehook.dll"

    local left
    left=$(e2e_main_window_count) || e2e_fail "wintool does not run under Wine"
    [[ "$left" == 0 ]] || e2e_fail "a CorvaloPlugin window from an earlier test is still open"
}

# Started from E2E_WORK, so a log written to the working directory instead
# of beside the exe is noticed.
e2e_start_program() {
    local n=${#E2E_PIDS[@]}
    (cd "$E2E_WORK" && exec nice -n "${E2E_PROGRAM_NICE:-0}" "$E2E_WINE" "$E2E_DIR/CorvaloPlugin.exe" "$@") \
        >"$E2E_WORK/program.$n.out" 2>&1 </dev/null &
    E2E_LAST_PID=$!
    E2E_PIDS+=("$E2E_LAST_PID")
}

e2e_end() {
    local rc=$?
    trap - EXIT
    if (( rc != 0 )) && [[ -n "${WINEPREFIX:-}" && -n "${E2E_WINTOOL:-}" ]]; then
        {
            echo "--- $E2E_TEST failed; top-level windows:"
            # Leaves out Wine's own hidden helper windows.
            wintool windows 2>&1 | awk -F'\t' 'NF < 4 || $3 == 1 || ($4 != "" && $2 != "IME")'
            if [[ -f "${E2E_LOG:-}" ]]; then
                echo "--- event log:"
                tr -d '\r' <"$E2E_LOG"
            fi
            if [[ -f "${E2E_SKYPE_DIR:-}/skype-transcript.txt" ]]; then
                echo "--- stand-in Skype's transcript (last 60 lines):"
                tr -d '\r' <"$E2E_SKYPE_DIR/skype-transcript.txt" | tail -n 60
            fi
            # What the Wine programs printed: a crash report lands here.
            local out
            for out in "${E2E_WORK:-/nonexistent}"/*.out; do
                [[ -s "$out" ]] || continue
                echo "--- $(basename "$out") (last lines):"
                tail -n 40 "$out"
            done
        } >&2
    fi
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        e2e_stop_pid "$pid"
    done
    if [[ -n "$E2E_OWN_STATE" ]]; then
        e2e_prefix_down "$E2E_OWN_STATE"
    fi
    (( rc == 0 )) && echo "PASS: $E2E_TEST"
    exit "$rc"
}

# Puts FILE at DEST unless DEST already holds it, by renaming a copy over
# it. A DLL that a running program has loaded must never be rewritten in
# place: Windows refuses that, but Wine lets it happen, and the truncation
# throws away the pages of the image that Wine mapped from the file and
# then wrote, such as a DLL's bound import table. The next call through
# that table then jumps to the unbound entry, a small number.
e2e_install_image() {
    local file=$1 dest=$2
    cmp -s "$file" "$dest" && return 0
    cp "$file" "$dest.new" && mv -f "$dest.new" "$dest"
}

# Copies the program EXE into DIR under the name NAME and starts it there in
# the background with ARGs; its pid is E2E_LAST_PID and is stopped at the end.
e2e_start_in() {
    local exe=$1 dir=$2 name=$3
    shift 3
    mkdir -p "$dir"
    e2e_install_image "$exe" "$dir/$name" || e2e_fail "could not place $name in $dir"
    local n=${#E2E_PIDS[@]}
    (cd "$dir" && exec "$E2E_WINE" "$dir/$name" "$@") >"$E2E_WORK/${name%.exe}.$n.out" 2>&1 </dev/null &
    E2E_LAST_PID=$!
    E2E_PIDS+=("$E2E_LAST_PID")
}

# Waits until the main window exists; prints its handle.
e2e_wait_main_window() {
    wintool wait-window "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "${1:-15000}" ||
        e2e_fail "the Call Status window did not appear"
}

e2e_log_lines() {
    [[ -f "$E2E_LOG" ]] || return 0
    tr -d '\r' <"$E2E_LOG"
}

e2e_log_records() {
    local line
    while IFS= read -r line; do
        [[ "$line" =~ $E2E_LOG_LINE_RE ]] && printf '%s\n' "${BASH_REMATCH[8]}"
    done < <(e2e_log_lines)
}

e2e_log_has_records() {
    local n=$1
    (( $(e2e_log_records | wc -l) >= n ))
}

# Every line ends in CR LF; no bare LF and no unterminated last line.
e2e_check_log_crlf() {
    local bare
    [[ -s "$E2E_LOG" ]] || e2e_fail "the event log is empty"
    bare=$(grep -c -v $'\r$' "$E2E_LOG")
    [[ "$bare" == 0 ]] || e2e_fail "$bare log line(s) do not end in CR LF"
    [[ "$(tail -c 1 "$E2E_LOG" | od -An -c | tr -d ' ')" == '\n' ]] ||
        e2e_fail "the event log's last line is not terminated"
}

# Checks the date and time fields for range, and the date for being today
# (or yesterday, for a run across midnight).
e2e_check_log_line() {
    local line=$1
    [[ "$line" =~ $E2E_LOG_LINE_RE ]] ||
        e2e_fail "log line [$line] is not 'DD/MM/YYYY; HH:MM:SS:mmm; <TAB>record'"
    local day=${BASH_REMATCH[1]} month=${BASH_REMATCH[2]} year=${BASH_REMATCH[3]}
    local hh=${BASH_REMATCH[4]} mm=${BASH_REMATCH[5]} ss=${BASH_REMATCH[6]}
    (( 10#$hh < 24 && 10#$mm < 60 && 10#$ss < 60 )) || e2e_fail "log line [$line]: time out of range"
    local date="$day/$month/$year"
    [[ "$date" == "$(date +%d/%m/%Y)" || "$date" == "$(date -d yesterday +%d/%m/%Y)" ]] ||
        e2e_fail "log line [$line]: date is not today ($(date +%d/%m/%Y))"
}

# YYYYMMDDHHMMSSmmm of a log line, for ordering.
e2e_log_line_key() {
    [[ "$1" =~ $E2E_LOG_LINE_RE ]] || return 1
    local m=("${BASH_REMATCH[@]}")
    printf '%s%s%s%s%s%s%s\n' "${m[3]}" "${m[2]}" "${m[1]}" "${m[4]}" "${m[5]}" "${m[6]}" "${m[7]}"
}

# The st= value of a record.
e2e_record_state() {
    local rec=$1
    [[ "$rec" =~ ^st=([^;]*)\; ]] && printf '%s\n' "${BASH_REMATCH[1]}"
}

# How many records have the event EVENT, among the records on stdin.
# (Through the environment: awk -v would read the backslashes of a path as escapes.)
e2e_count_event() {
    E2E_EVENT="st=$1;" awk 'index($0, ENVIRON["E2E_EVENT"]) == 1 { n++ } END { print n + 0 }'
}

e2e_log_count() { e2e_log_records | e2e_count_event "$1"; }
e2e_logged() { (( $(e2e_log_count "$1") >= $2 )); }
e2e_record_of() { e2e_log_records | grep "^st=$1;" | tail -n1; }
e2e_mark() { e2e_log_records | wc -l; }
e2e_logged_since() {
    (( $(e2e_log_records | tail -n +"$(( $1 + 1 ))" | e2e_count_event "$2") >= ${3:-1} ))
}
