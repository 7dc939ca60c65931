#!/usr/bin/env bash
# The per-user installer under Wine, as a user would run it: a silent
# install puts the program, the hook library, help.html and the uninstaller
# into the user's own programs folder, with a Start-menu entry, the Run
# value and the Uninstall key, and starts nothing where nothing ran; the
# installed program starts from there and shows its tray icon; a second
# install over the running copy stops it first (it exits through its own
# Exit command), replaces the files and starts the new program; with
# "/NORUN" the stopped copy stays stopped, and a program file still in use
# is renamed aside, or, where even that fails, the installer ends with exit
# code 2; a silent uninstall stops the program again, removes all the
# installer added, and keeps the settings file and the log; setup run
# through its pages starts the program from its last page;
# "/REMOVESETTINGS" removes the settings and the log too.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/softphone.sh"
source "$(dirname "${BASH_SOURCE[0]}")/skype.sh"
e2e_begin installer

[[ -f "${E2E_SETUP:-}" ]] || e2e_fail "E2E_SETUP: no installer at [${E2E_SETUP:-}]"
setup="$E2E_WORK/CorvaloPlugin-2.06-setup.exe"
cp "$E2E_SETUP" "$setup"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaloPlugin'

# A folder variable of the user as a Linux path.
user_folder() {
    local windows
    windows=$(timeout -k 2 20 "$E2E_WINE" cmd /c echo "%$1%" 2>/dev/null </dev/null | tr -d '\r')
    [[ -n "$windows" && "$windows" != "%$1%" ]] || e2e_fail "Wine does not know %$1%"
    timeout -k 2 20 "$E2E_WINE" winepath -u "$windows" 2>/dev/null </dev/null | tr -d '\r'
}
# reg_value KEY NAME: the value's data, or nothing when absent.
reg_value() {
    timeout -k 2 20 "$E2E_WINE" reg query "$1" /v "$2" 2>/dev/null </dev/null |
        tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
reg_key_exists() { timeout -k 2 20 "$E2E_WINE" reg query "$1" >/dev/null 2>&1 </dev/null; }
# run_setup ARG..: runs the installer to its end. A program it starts
# inherits its output, so the output goes to a file, never a pipe.
setup_status() {
    (cd "$E2E_WORK" && timeout -k 2 60 "$E2E_WINE" "$setup" "$@") >"$E2E_WORK/setup.out" 2>&1 </dev/null
}
run_setup() { setup_status "$@" || e2e_fail "the installer failed: $(cat "$E2E_WORK/setup.out")"; }
# A program the installer started is not the test's child: at the end it is
# stopped through its Exit command.
end_with_program_stopped() {
    local rc=$?
    if (( $(e2e_main_window_count) != 0 )); then
        wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$E2E_CMD_EXIT" 0 >/dev/null
        wintool wait-gone "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 15000 >/dev/null
    fi
    (exit "$rc")
    e2e_end
}
trap end_with_program_stopped EXIT
# The uninstaller copies itself away and returns at once; its work is done
# when its program files and its Uninstall key are gone (the key goes last
# but for the optional removal of the settings, which ends with the folder).
run_uninstaller() {
    (cd "$E2E_WORK" && timeout -k 2 30 "$E2E_WINE" "$install_dir/Uninstall.exe" "$@") \
        >"$E2E_WORK/uninstall.out" 2>&1 </dev/null ||
        e2e_fail "the uninstaller failed: $(cat "$E2E_WORK/uninstall.out")"
    uninstalled() {
        [[ ! -e "$install_dir/Uninstall.exe" && ! -e "$install_dir/CorvaloPlugin.exe" ]] &&
            ! reg_key_exists "$uninstall_key"
    }
    e2e_wait 30 uninstalled || e2e_fail "the uninstaller did not finish: $(ls "$install_dir")"
}

install_dir="$(user_folder LOCALAPPDATA)/Programs/CorvaloPlugin"
start_menu="$(user_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/CorvaloPlugin"
windows_dir=$(e2e_windows_path "$install_dir")

# --- Silent install
run_setup /S
for f in CorvaloPlugin.exe phonehook.dll help.html help/tray-ready.png Uninstall.exe; do
    [[ -s "$install_dir/$f" ]] || e2e_fail "the installer did not install $f into $install_dir"
done
cmp -s "$install_dir/CorvaloPlugin.exe" "$E2E_EXE" || e2e_fail "the installed CorvaloPlugin.exe is not the built one"
cmp -s "$install_dir/phonehook.dll" "$E2E_DLL" || e2e_fail "the installed phonehook.dll is not the built one"
[[ -s "$start_menu/CorvaloPlugin.lnk" ]] || e2e_fail "no Start-menu entry in $start_menu"
e2e_assert_eq "the Run value" "\"$windows_dir\\CorvaloPlugin.exe\"" "$(reg_value "$run_key" CorvaloPlugin)"
e2e_assert_eq "the Uninstall key's version" 2.06 "$(reg_value "$uninstall_key" DisplayVersion)"
e2e_assert_eq "the Uninstall key's name" CorvaloPlugin "$(reg_value "$uninstall_key" DisplayName)"
e2e_assert_eq "the Uninstall key's uninstaller" "\"$windows_dir\\Uninstall.exe\"" \
    "$(reg_value "$uninstall_key" UninstallString)"
e2e_assert_eq "the Uninstall key's icon" "$windows_dir\\CorvaloPlugin.exe,0" "$(reg_value "$uninstall_key" DisplayIcon)"
[[ -n "$(reg_value "$uninstall_key" Publisher)" ]] || e2e_fail "the Uninstall key names no publisher"
e2e_assert_eq "programs running after a first silent install" 0 "$(e2e_main_window_count)"

# The installed copy stands for an older build: the same image with bytes
# appended, which Windows ignores.
printf 'an older build' >>"$install_dir/CorvaloPlugin.exe"

# --- The installed program starts and shows its tray icon.
E2E_DIR=$install_dir
E2E_LOG="$install_dir/$E2E_LOG_NAME"
blank_tray=$(e2e_tray_look)
e2e_start_program
first=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
tray_shown() { [[ "$(e2e_tray_look)" != "$blank_tray" ]]; }
e2e_wait 10 tray_shown || e2e_fail "the installed program shows no tray icon"
e2e_wait 5 e2e_log_has_records 1 || e2e_fail "the installed program wrote no log beside itself"
printf '[Options]\r\nAllowPinDialing=0\r\n' >"$install_dir/CorvaloPlugin\$.ini"

# --- A second install over the running copy stops it, replaces it and
# starts the new program in its place.
run_setup /S /NOAUTOSTART
e2e_pid_gone "$first" || e2e_fail "the installer did not stop the running copy"
cmp -s "$install_dir/CorvaloPlugin.exe" "$E2E_EXE" || e2e_fail "the second install left a different program"
[[ ! -e "$install_dir/CorvaloPlugin.exe.old" ]] || e2e_fail "the stopped copy's program was renamed aside"
e2e_wait_main_window >/dev/null
e2e_assert_eq "the program the installer started" "$windows_dir\\CorvaloPlugin.exe" \
    "$(wintool image "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" | tr -d '\r')"
e2e_wait 10 e2e_log_has_records 1 || e2e_fail "the started program wrote no log"
# The new program's log starts afresh: the stopped copy's Exit is gone.
e2e_assert_eq "the started program's first record" ProgramStart \
    "$(e2e_record_state "$(e2e_log_records | head -n1)")"
e2e_assert_eq "the Run value after /NOAUTOSTART" "" "$(reg_value "$run_key" CorvaloPlugin)"
e2e_pid_alive "$first" && e2e_fail "the first copy still runs"

# --- "/NORUN" leaves the stopped copy stopped.
run_setup /S /NORUN
wintool wait-gone "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 100 >/dev/null || e2e_fail "/NORUN did not stop the running copy"
sleep 2
e2e_assert_eq "programs running after /NORUN" 0 "$(e2e_main_window_count)"

# --- A program file in use. A second start of the installed program waits
# at its "already running" warning (while another copy runs from
# elsewhere), so its image is in use: the installer renames it aside, or,
# where the old name is taken too, ends with exit code 2.
elsewhere_dir="$E2E_TMP/Program Files/installer-elsewhere"
mkdir -p "$elsewhere_dir"
cp "$E2E_DLL" "$elsewhere_dir/phonehook.dll"
# A copy runs from elsewhere, and the installed program, started as well,
# waits at its warning with its image in use (and the single-instance
# mutex held, so it is let go before the next copy starts).
hold_image() {
    printf 'an older build' >>"$install_dir/CorvaloPlugin.exe"
    e2e_start_in "$E2E_EXE" "$elsewhere_dir" CorvaloPlugin.exe
    elsewhere=$E2E_LAST_PID
    e2e_wait_main_window >/dev/null
    (cd "$E2E_WORK" && exec "$E2E_WINE" "$install_dir/CorvaloPlugin.exe") >"$E2E_WORK/held.out" 2>&1 </dev/null &
    held=$!
    E2E_PIDS+=("$held")
    wintool wait-window '#32770' Warning 15000 >/dev/null || e2e_fail "the second start showed no warning"
}
release_image() {
    wintool msgbox Warning 10000 >/dev/null || e2e_fail "the held start's warning did not close"
    e2e_wait_gone "$held" 10 || e2e_fail "the held start did not end"
}
hold_image
mkdir -p "$install_dir/CorvaloPlugin.exe.old/taken"
setup_status /S /NORUN
e2e_assert_eq "the installer's exit code with the program file held" 2 "$?"
grep -qa 'an older build' "$install_dir/CorvaloPlugin.exe" || e2e_fail "the failed install changed the program file"
[[ -d "$install_dir/CorvaloPlugin.exe.old" ]] || e2e_fail "the installer removed the folder in its way"
rm -rf "$install_dir/CorvaloPlugin.exe.old"
release_image

hold_image
run_setup /S /NORUN
e2e_pid_gone "$elsewhere" || e2e_fail "the installer did not stop the running copy"
[[ -f "$install_dir/CorvaloPlugin.exe.old" ]] || e2e_fail "the program file in use was not renamed aside"
cmp -s "$install_dir/CorvaloPlugin.exe" "$E2E_EXE" || e2e_fail "the program file in use was not replaced"
release_image

# --- Silent uninstall, with the program running again.
e2e_start_program
second=$E2E_LAST_PID
e2e_wait_main_window >/dev/null
run_uninstaller /S
e2e_wait_gone "$second" 15 || e2e_fail "the uninstaller did not stop the running copy"
for f in phonehook.dll help.html help CorvaloPlugin.exe.old; do
    [[ ! -e "$install_dir/$f" ]] || e2e_fail "the uninstaller left $f"
done
[[ ! -e "$start_menu" ]] || e2e_fail "the uninstaller left the Start-menu folder"
[[ -f "$install_dir/CorvaloPlugin\$.ini" ]] || e2e_fail "the uninstaller removed the settings file"
[[ -f "$E2E_LOG" ]] || e2e_fail "the uninstaller removed the event log"

# --- Setup with its pages: the last one, left as it comes ("Start
# CorvaloPlugin now" ticked), starts the program.
(cd "$E2E_WORK" && exec "$E2E_WINE" "$setup") >"$E2E_WORK/setup-pages.out" 2>&1 </dev/null &
pages=$!
E2E_PIDS+=("$pages")
setup_title='CorvaloPlugin 2.06 Setup '
wintool wait-window '#32770' "$setup_title" 15000 >/dev/null || e2e_fail "setup showed no window"
page_button_is() {
    [[ "$(wintool children '#32770' "$setup_title" | tr -d '\r' | awk -F'\t' '$2 == 1 { print $5 }')" == "$1" ]]
}
for button in '&Next >' '&Install' '&Finish'; do
    e2e_wait 60 page_button_is "$button" || e2e_fail "setup showed no page with the button [$button]"
    wintool post '#32770' "$setup_title" "$E2E_WM_COMMAND" 1 0 >/dev/null
done
e2e_wait_main_window >/dev/null
e2e_wait_gone "$pages" 10 || e2e_fail "setup did not end after its last page"

# --- Asked to, it removes the settings and the log as well.
run_uninstaller /S /REMOVESETTINGS
folder_gone() { [[ ! -e "$install_dir" ]]; }
e2e_wait 15 folder_gone || e2e_fail "/REMOVESETTINGS left $(ls -A "$install_dir" 2>&1)"
[[ -z "$(reg_value "$run_key" CorvaloPlugin)" ]] || e2e_fail "the uninstaller left the Run value"
exit 0
