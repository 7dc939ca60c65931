# shellcheck shell=bash
# The stand-in Skype in end-to-end tests, with the stand-in adapter it
# needs: the program talks to Skype only while an adapter is in use. Source
# after lib.sh and softphone.sh.
#
#   e2e_plug_adapter             puts the stand-in hid.dll and setupapi.dll
#                                beside the program (unless there already)
#                                and plugs a second-generation adapter in
#   e2e_start_program_with_adapter  e2e_start_program, with Wine told to load
#                                the DLLs beside the program
#   e2e_start_with_adapter [--softphone VERSION] [--no-skype] [SKYPE_ARG..]
#                                the usual start: plugs the adapter in, starts
#                                the softphone (VERSION 2012.1), Skype with
#                                SKYPE_ARGs (unless --no-skype) and the program
#                                with the adapter; its pid is E2E_PROGRAM_PID.
#                                Waits for its window, then until it attached
#                                to Skype (Skype without --attach) or else
#                                until the adapter is ready
#   e2e_wait_ready               waits until the adapter is in use
#   e2e_start_skype [ARG..]      copies skype.exe into "$E2E_DIR/Skype"
#                                (E2E_SKYPE_DIR), starts it there and waits
#                                for its main window; its pid is E2E_SKYPE_PID
#   e2e_skype_cue LINE..         appends cue lines, tells the stand-in and
#                                waits until it has taken them
#   e2e_skype_lines KIND         the texts of its transcript's KIND lines
#                                ("command", "notify", "closed", ...)
#   e2e_tray_look                a checksum of the tray's pixels
#   e2e_start_sibling TITLE RECORD  shows a sibling plug-in's Call Status
#                                window (E2E_SIBLING) with RECORD in its second
#                                child; WM_CLOSE to it ends it
#   e2e_status_record            the program's status record as a sibling
#                                reads it (the Call Status window's 2nd child)
#   e2e_status_line              the text of its visible status line (1006)
#   e2e_key CODE..               handset keys at the softphone's handset window
#   e2e_dial KEYS                "*", "#" and digits as handset keys
#   e2e_skype_sent_since N       Skype's commands after the first N, without
#                                the keep-alive's PINGs (every 30 s)
#   e2e_skype_has KIND TEXT      true when the transcript has that KIND line

E2E_SKYPE_CLASS=tSkMainForm.UnicodeClass
E2E_SKYPE_CUE_MSG=0x8001  # WM_APP + 1

e2e_plug_adapter() {
    local v
    for v in E2E_HID_DLL E2E_SETUPAPI_DLL; do
        [[ -f "${!v:-}" ]] || e2e_fail "$v: no stand-in DLL at [${!v:-}]"
    done
    e2e_install_image "$E2E_HID_DLL" "$E2E_DIR/hid.dll" || e2e_fail "could not place hid.dll"
    e2e_install_image "$E2E_SETUPAPI_DLL" "$E2E_DIR/setupapi.dll" || e2e_fail "could not place setupapi.dll"
    printf '%s\n' present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 >"$E2E_DIR/adapter-control.txt"
}

e2e_start_program_with_adapter() {
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid,setupapi=n" e2e_start_program "$@"
}

e2e_start_with_adapter() {
    local version=2012.1 skype=1
    while (( $# )); do
        case "$1" in
            --softphone) version=$2; shift 2 ;;
            --no-skype) skype=0; shift ;;
            *) break ;;
        esac
    done
    e2e_plug_adapter
    e2e_start_softphone --version "$version"
    (( skype )) && e2e_start_skype "$@"
    e2e_start_program_with_adapter
    E2E_PROGRAM_PID=$E2E_LAST_PID
    e2e_wait_main_window >/dev/null
    if (( skype )) && [[ " $* " != *" --attach "* ]]; then
        e2e_wait 30 e2e_logged SkypeAttached 1 || e2e_fail "no SkypeAttached within 30 s"
    else
        e2e_wait_ready
    fi
}

e2e_wait_ready() {
    ready() { e2e_log_records | grep -q '^st=DataFilePath:'; }
    e2e_wait 20 ready || e2e_fail "the adapter was never made ready"
}

e2e_start_skype() {
    [[ -f "${E2E_SKYPE:-}" ]] || e2e_fail "E2E_SKYPE: no stand-in Skype at [${E2E_SKYPE:-}]"
    E2E_SKYPE_DIR="$E2E_DIR/Skype"
    e2e_start_in "$E2E_SKYPE" "$E2E_SKYPE_DIR" skype.exe "$@"
    E2E_SKYPE_PID=$E2E_LAST_PID
    wintool wait-window "$E2E_SKYPE_CLASS" Skype 15000 >/dev/null ||
        e2e_fail "the stand-in Skype's main window did not appear"
}

# Returns once the stand-in has taken the cues (its transcript says "cue
# LINE" for each), so that what the test does next meets them in force.
e2e_skype_cue() {
    local taken
    taken=$(e2e_skype_lines cue | wc -l)
    printf '%s\n' "$@" >>"$E2E_SKYPE_DIR/skype-cues.txt"
    wintool post "$E2E_SKYPE_CLASS" Skype "$E2E_SKYPE_CUE_MSG" 0 0 >/dev/null ||
        e2e_fail "could not cue the stand-in Skype"
    e2e_wait 10 e2e_skype_cues_taken $(( taken + $# )) ||
        e2e_fail "the stand-in Skype did not take the cue(s) [$*] within 10 s"
}

e2e_skype_cues_taken() { (( $(e2e_skype_lines cue | wc -l) >= $1 )); }

e2e_skype_lines() {
    local file="$E2E_SKYPE_DIR/skype-transcript.txt" kind=$1 line
    [[ -f "$file" ]] || return 0
    while IFS= read -r line; do
        line=${line%$'\r'}
        if [[ "$line" == "$kind" ]]; then
            echo ""
        elif [[ "$line" == "$kind "* ]]; then
            printf '%s\n' "${line#"$kind "}"
        fi
    done <"$file"
}

e2e_tray_look() { xwd -silent -name "Wine System Tray" 2>/dev/null | md5sum | cut -d' ' -f1; }

e2e_start_sibling() {
    [[ -f "${E2E_SIBLING:-}" ]] || e2e_fail "E2E_SIBLING: no sibling tool at [${E2E_SIBLING:-}]"
    e2e_start_in "$E2E_SIBLING" "$E2E_DIR/Sibling" sibling.exe "$1" "$2"
    wintool wait-window '#32770' "$1" 15000 >/dev/null || e2e_fail "the sibling window [$1] did not appear"
}

e2e_status_record() { wintool child-text "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 2 | tr -d '\r'; }

e2e_status_line() {
    wintool children "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" | tr -d '\r' | awk -F'\t' '$2 == 1006 { print $5 }'
}

e2e_key() {
    local code
    for code in "$@"; do
        wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$code" 0 >/dev/null ||
            e2e_fail "could not press handset key $code"
    done
}

e2e_dial() {
    local keys=$1 i c codes=()
    for (( i = 0; i < ${#keys}; i++ )); do
        c=${keys:i:1}
        case "$c" in
            '*') codes+=(0x6A) ;;
            '#') codes+=(0x88) ;;
            [0-9]) codes+=("$(printf '0x%X' "'$c")") ;;
            *) e2e_fail "e2e_dial: no handset key for [$c]" ;;
        esac
    done
    e2e_key "${codes[@]}"
}

# Lifts the handset and waits until the program notices (CallOrigination),
# then dials KEYS if given.
e2e_lift() {
    local mark
    mark=$(e2e_mark)
    e2e_key 0x8E
    e2e_wait 10 e2e_logged_since "$mark" CallOrigination ||
        e2e_fail "lifting the handset${1:+ to dial $1} was not noticed"
    [[ -z "${1:-}" ]] || e2e_dial "$1"
}

# Puts the handset down and waits until the program notices (CallOnhook).
e2e_hang_up() {
    local mark
    mark=$(e2e_mark)
    e2e_key 0x8F
    e2e_wait 10 e2e_logged_since "$mark" CallOnhook || e2e_fail "hanging up was not noticed"
}

e2e_skype_sent_since() { e2e_skype_lines command | tail -n +"$(( $1 + 1 ))" | grep -vx PING; }
# grep reads to the end (no -q): a reader that stops early would end the
# writer with SIGPIPE, which pipefail reports as a failure.
e2e_skype_has() { e2e_skype_lines "$1" | grep -xF -- "$2" >/dev/null; }
