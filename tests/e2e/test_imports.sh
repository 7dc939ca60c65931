#!/usr/bin/env bash
# The binaries are of the build's machine type (E2E_ARCH: the shipped pair is
# i686, the x86-64 test build x86_64) and import only DLLs that every
# Windows has, so they run on a clean machine without any runtime DLLs
# beside them. Reads the images only: runs on every host.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

case "${E2E_ARCH:-i686}" in
    i686) format=pei-i386 bits=32-bit ;;
    x86_64) format=pei-x86-64 bits=64-bit ;;
    *) e2e_fail "E2E_ARCH: unknown machine type [${E2E_ARCH}]" ;;
esac
objdump=${E2E_OBJDUMP:-${E2E_ARCH:-i686}-w64-mingw32-objdump}
system_dlls="kernel32 user32 gdi32 shell32 advapi32 comctl32 comdlg32 winmm wininet hid setupapi
             ole32 oleaut32 shlwapi version msvcrt ws2_32"

# check_binary FILE gui-exe|dll EXTRA_ALLOWED_DLL...
check_binary() {
    local file=$1 kind=$2
    shift 2
    [[ -f "$file" ]] || e2e_fail "no such file: $file"
    local dump
    dump=$("$objdump" -p "$file") || e2e_fail "$objdump cannot read $file"
    grep -q "file format $format\$" <<<"$dump" ||
        e2e_fail "$(basename "$file") is not a $bits PE image: $(grep -m1 'file format' <<<"$dump")"
    local is_dll=''
    grep -qE '^[[:space:]]+DLL$' <<<"$dump" && is_dll=1
    case "$kind" in
        gui-exe)
            [[ -z "$is_dll" ]] || e2e_fail "$(basename "$file") is a DLL, not a program"
            grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$dump" ||
                e2e_fail "$(basename "$file") is not a Windows GUI program: $(grep '^Subsystem' <<<"$dump")"
            ;;
        dll) [[ -n "$is_dll" ]] || e2e_fail "$(basename "$file") is not a DLL" ;;
    esac
    local dlls bad=() dll
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
    [[ -n "$dlls" ]] || e2e_fail "$(basename "$file") has no import table"
    for dll in $dlls; do
        local name=${dll%.dll} ok=''
        for allowed in $system_dlls "$@"; do
            [[ "$name" == "${allowed%.dll}" ]] && ok=1
        done
        [[ -n "$ok" ]] || bad+=("$dll")
    done
    (( ${#bad[@]} == 0 )) || e2e_fail "$(basename "$file") imports DLLs a clean Windows lacks: ${bad[*]}"
    echo "$(basename "$file"):" $dlls
}

[[ -n "${E2E_EXE:-}" && -n "${E2E_DLL:-}" ]] || e2e_fail "E2E_EXE and E2E_DLL must name the binaries"
check_binary "$E2E_EXE" gui-exe phonehook
check_binary "$E2E_DLL" dll
echo "PASS: imports ($bits, $format)"
