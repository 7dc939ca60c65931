#!/usr/bin/env bash
# What ships is lean: the program and the hook library carry no symbols or
# debug sections, each names its separate debug file (which exists, under
# debug/ beside it), and each stays below a size bound set from what the
# build measured (i686: CorvaloPlugin.exe 467 KB, phonehook.dll 24.6 KB;
# x86-64: 392 KB and 22.5 KB). The hook library is loaded into the
# softphone's process, so it must not drag the C++ runtime's allocation and
# exception support along (with them it is about 170 KB: the bound catches
# that). Reads the images only: runs on every host.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

objdump=${E2E_OBJDUMP:-${E2E_ARCH:-i686}-w64-mingw32-objdump}
exe_limit=$((512 * 1024))
dll_limit=$((32 * 1024))

# check_lean FILE LIMIT_BYTES
check_lean() {
    local file=$1 limit=$2 name
    name=$(basename "$file")
    [[ -f "$file" ]] || e2e_fail "no such file: $file"
    local headers
    headers=$("$objdump" -h "$file") || e2e_fail "$objdump cannot read $file"
    ! grep -qE '[[:space:]]\.debug_' <<<"$headers" || e2e_fail "$name still carries debug sections"
    grep -qE '[[:space:]]\.gnu_debuglink[[:space:]]' <<<"$headers" ||
        e2e_fail "$name names no separate debug file"
    local symbols
    symbols=$("$objdump" -t "$file" 2>/dev/null | grep -c '^\[')
    (( symbols == 0 )) || e2e_fail "$name still carries $symbols symbols"
    local debug_file
    debug_file="$(dirname "$file")/debug/$name.debug"
    [[ -s "$debug_file" ]] || e2e_fail "no debug file $debug_file for $name"
    grep -qE '[[:space:]]\.debug_info[[:space:]]' <<<"$("$objdump" -h "$debug_file")" ||
        e2e_fail "$debug_file holds no debug information"
    local size
    size=$(stat -c %s "$file")
    (( size <= limit )) || e2e_fail "$name is $size bytes, over its bound of $limit"
    echo "$name: $size bytes (bound $limit)"
}

[[ -n "${E2E_EXE:-}" && -n "${E2E_DLL:-}" ]] || e2e_fail "E2E_EXE and E2E_DLL must name the binaries"
check_lean "$E2E_EXE" "$exe_limit"
check_lean "$E2E_DLL" "$dll_limit"
echo "PASS: sizes"
