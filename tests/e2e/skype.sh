# shellcheck shell=bash
# The stand-in Skype in end-to-end tests, with the stand-in adapter it
# needs: the program talks to Skype only while an adapter is in use. Source
# after lib.sh and softphone.sh.
#
#   e2e_plug_adapter             puts the stand-in hid.dll and setupapi.dll
#                                beside the program and plugs a second-
#                                generation adapter in
#   e2e_start_program_with_adapter  e2e_start_program, with Wine told to load
#                                the DLLs beside the program
#   e2e_start_skype [ARG..]      copies skype.exe into "$E2E_DIR/Skype"
#                                (E2E_SKYPE_DIR), starts it there and waits
#                                for its main window; its pid is E2E_SKYPE_PID
#   e2e_skype_cue LINE..         appends cue lines and tells the stand-in
#   e2e_skype_lines KIND         the texts of its transcript's KIND lines
#                                ("command", "notify", "closed", ...)
#   e2e_tray_look                a checksum of the tray's pixels

E2E_SKYPE_CLASS=tSkMainForm.UnicodeClass
E2E_SKYPE_CUE_MSG=0x8001  # WM_APP + 1

e2e_plug_adapter() {
    local v
    for v in E2E_HID_DLL E2E_SETUPAPI_DLL; do
        [[ -f "${!v:-}" ]] || e2e_fail "$v: no stand-in DLL at [${!v:-}]"
    done
    cp "$E2E_HID_DLL" "$E2E_DIR/hid.dll"
    cp "$E2E_SETUPAPI_DLL" "$E2E_DIR/setupapi.dll"
    printf '%s\n' present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 >"$E2E_DIR/adapter-control.txt"
}

e2e_start_program_with_adapter() {
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid,setupapi=n" e2e_start_program "$@"
}

e2e_start_skype() {
    [[ -f "${E2E_SKYPE:-}" ]] || e2e_fail "E2E_SKYPE: no stand-in Skype at [${E2E_SKYPE:-}]"
    E2E_SKYPE_DIR="$E2E_DIR/Skype"
    e2e_start_in "$E2E_SKYPE" "$E2E_SKYPE_DIR" skype.exe "$@"
    E2E_SKYPE_PID=$E2E_LAST_PID
    wintool wait-window "$E2E_SKYPE_CLASS" Skype 15000 >/dev/null ||
        e2e_fail "the stand-in Skype's main window did not appear"
}

e2e_skype_cue() {
    printf '%s\n' "$@" >>"$E2E_SKYPE_DIR/skype-cues.txt"
    wintool post "$E2E_SKYPE_CLASS" Skype "$E2E_SKYPE_CUE_MSG" 0 0 >/dev/null ||
        e2e_fail "could not cue the stand-in Skype"
}

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
