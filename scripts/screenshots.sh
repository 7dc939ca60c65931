#!/usr/bin/env bash
# Takes the pictures of everything CorvaloPlugin shows a person, for the
# README and the help page, into docs/images/.
set -uo pipefail

usage() {
    cat <<'EOF'
usage: scripts/screenshots.sh [--help]

Regenerates the PNG pictures in docs/images/ of what CorvaloPlugin shows a
person. Builds the binaries (the shipped 32-bit pair, or the x86-64 build
where this host cannot run 32-bit code), runs them under Wine in a virtual
desktop with a taskbar and tray on a headless X server, beside the stand-ins
for the softphone, Skype and the adapter, and photographs:
  tray-noadapter, tray-initialising, tray-skype-not-attached, tray-ready,
  tray-offhook   the five tray states (the taskbar's tray, enlarged)
  tray-menu      the menu of a right click on the tray icon
  checklist      the Courtesy Checklist, shown when Skype does not attach
  call-status-error  the Call Status window after a call that could not be
                 placed (Skype not running)
  about          the About box
  speed-dial     the Speed Dial table with a few entries
Installs ImageMagick and xdotool the first time (needs root then).
EOF
}
case "${1:-}" in
    -h | --help) usage; exit 0 ;;
    "") ;;
    *) usage >&2; exit 2 ;;
esac

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
source tests/e2e/lib.sh
bash scripts/setup.sh screenshots || e2e_fail "scripts/setup.sh screenshots failed"

e2e_build_for_host
source tests/e2e/softphone.sh
source tests/e2e/skype.sh

images=$root/docs/images
mkdir -p "$images"
state=$(mktemp "${TMPDIR:-/tmp}/corvalo-shots-state.XXXXXX")
E2E_PIDS=()
trap 'e2e_script_end "$state"' EXIT

e2e_prefix_up "$state"
e2e_load_state "$state"
# Every program of the prefix runs in one virtual desktop named "shell",
# which Wine draws with a taskbar and a notification area.
"$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
screen_width=1024 screen_height=768

E2E_DIR="$E2E_TMP/Program Files/CorvaloPlugin"
E2E_WORK="$E2E_TMP/work/screenshots"
E2E_LOG="$E2E_DIR/$E2E_LOG_NAME"
mkdir -p "$E2E_DIR" "$E2E_WORK"
cp "$E2E_EXE" "$E2E_DLL" "$E2E_DIR/"

grab() { import -window root "$E2E_WORK/screen.png" || e2e_fail "cannot grab the screen"; }
# shot NAME X Y W H [SCALE%]: a region of the screen into docs/images/NAME.png.
shot() {
    local name=$1 x=$2 y=$3 w=$4 h=$5 scale=${6:-100}
    grab
    convert "$E2E_WORK/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -filter point \
        -resize "${scale}%" -strip "$images/$name.png" || e2e_fail "cannot write $name.png"
    echo "docs/images/$name.png"
}
# window_shot NAME TITLE: the top-level window titled TITLE (class #32770).
window_shot() {
    local name=$1 title=$2 rect
    wintool wait-window '#32770' "$title" 10000 >/dev/null || e2e_fail "no window \"$title\""
    sleep 0.7
    rect=$(wintool rect '#32770' "$title" | tr -d '\r') || e2e_fail "no rectangle for \"$title\""
    read -r left top right bottom <<<"$rect"
    shot "$name" "$left" "$top" $(( right - left )) $(( bottom - top ))
}
# The notification area at the right end of the taskbar with the icon's tip,
# shown by pointing at the icon afresh (a tip already shown keeps its text).
icon_x=$(( screen_width - 11 )) icon_y=$(( screen_height - 11 ))
tray_shot() {
    xdotool mousemove $(( screen_width / 2 )) $(( screen_height / 2 ))
    sleep 0.3
    xdotool mousemove "$icon_x" "$icon_y"
    sleep 1.5
    shot "$1" $(( screen_width - 440 )) $(( screen_height - 52 )) 440 52
}
logged() { (( $(e2e_log_count "$1") >= ${2:-1} )); }
key() { wintool post "$E2E_HANDSET_CLASS" "$E2E_HANDSET_TITLE" "$E2E_HANDSET_KEY" "$1" 0 >/dev/null; }
command() { wintool post "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" "$E2E_WM_COMMAND" "$1" 0 >/dev/null; }
close_window() { wintool post '#32770' "$1" 0x10 0 0 >/dev/null; }

# No adapter yet.
e2e_plug_adapter
printf '%s\n' present=0 >"$E2E_DIR/adapter-control.txt"
printf '[SpeedDial]\r\nn1=Alice Martin\r\nt1=alice.martin\r\nn2=Bob Smith\r\nt2=bob\r\nn3=Office\r\nt3=+1 (212) 555-0100\r\nn7=Carol Jones\r\nt7=carol_j\r\n' \
    >"$E2E_DIR/CorvaloPlugin\$mj99a8b7c6d5.ini"
e2e_start_softphone --version 2012.1
e2e_start_program_with_adapter
e2e_wait_main_window >/dev/null
e2e_wait 10 logged Hok || e2e_fail "the softphone was not hooked"
tray_shot tray-noadapter

# The tray menu, from a right click on the icon.
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 0.5
# Pointing into the menu puts the icon's tip away.
xdotool mousemove $(( icon_x - 150 )) $(( icon_y - 170 ))
sleep 1
shot tray-menu $(( screen_width - 300 )) $(( screen_height - 230 )) 300 230
# A click elsewhere puts the menu away, as it would for a person.
xdotool mousemove $(( screen_width / 2 )) $(( screen_height / 2 )) click 1
sleep 0.5

# The adapter arrives; Skype does not attach.
printf '%s\n' present=1 product=C200 reads=33 serial=MJ00A1B2C3D4 >"$E2E_DIR/adapter-control.txt"
e2e_wait 20 logged DeviceAdded || e2e_fail "the adapter was not found"
tray_shot tray-initialising
ready() { e2e_log_records | grep -q "^st=DataFilePath:"; }
e2e_wait 10 ready || e2e_fail "the adapter was not made ready"
sleep 3.5
tray_shot tray-skype-not-attached
window_shot checklist "CorvaloPlugin - Courtesy Checklist"

# A call that cannot be placed: Skype is not running.
key 0x8E
e2e_wait 10 logged CallOrigination || e2e_fail "lifting the handset was not noticed"
tray_shot tray-offhook
for k in 0x6A 0x37 0x88; do key "$k"; done
e2e_wait 10 logged NoSkypeRunning || e2e_fail "no NoSkypeRunning error"
window_shot call-status-error "$E2E_MAIN_TITLE"
key 0x8F
e2e_wait 10 logged CallOnhook || e2e_fail "hanging up was not noticed"

# Skype starts and attaches.
e2e_start_skype
e2e_wait 30 logged SkypeAttached || e2e_fail "the program did not attach to Skype"
e2e_wait 10 wintool wait-gone '#32770' "CorvaloPlugin - Courtesy Checklist" 100 >/dev/null
sleep 1.5
tray_shot tray-ready

# The About box and the Speed Dial table.
command 100
window_shot about "CorvaloPlugin - About"
close_window "CorvaloPlugin - About"
e2e_wait 10 logged AboutRequest || e2e_fail "the About box did not close"
command 155
window_shot speed-dial "CorvaloPlugin - Skype Speed Dial"
close_window "CorvaloPlugin - Skype Speed Dial"
e2e_wait 10 logged SpeedDialRequest || e2e_fail "the Speed Dial table did not close"

command "$E2E_CMD_EXIT"
e2e_wait 15 logged ProgramClose || e2e_fail "the program did not exit"
echo "pictures written to docs/images/"
