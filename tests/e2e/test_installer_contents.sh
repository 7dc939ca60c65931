#!/usr/bin/env bash
# The installer, read without running it (7-Zip lists an NSIS archive and a
# PE image's resources): it holds exactly the shipped program, hook library,
# help page with its pictures and uninstaller, byte for byte the built ones; its manifest asks
# for no elevation; its version record names the release. Runs on every
# host, also where 32-bit code cannot run and the installer cannot start.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[[ -f "${E2E_SETUP:-}" ]] || e2e_fail "E2E_SETUP: no installer at [${E2E_SETUP:-}]"
command -v 7z >/dev/null || e2e_fail "7z is not installed (scripts/setup.sh)"
work=$(mktemp -d "${TMPDIR:-/tmp}/corvalo-setup.XXXXXX")
trap 'rm -rf "$work"' EXIT

listing=$(7z l -ba -slt "$E2E_SETUP") || e2e_fail "7z cannot read $E2E_SETUP as an archive"
names=$(sed -n 's/^Path = //p' <<<"$listing" | grep -v '^\$PLUGINSDIR/' | LC_ALL=C sort | tr '\n' ' ')
build=$(dirname "$E2E_EXE")
pictures=$(cd "$build" && ls help/*.png) || e2e_fail "no help pictures in $build/help"
expected=$(printf '%s\n' CorvaloPlugin.exe Uninstall.exe help.html $pictures phonehook.dll | LC_ALL=C sort | tr '\n' ' ')
e2e_assert_eq "the installer's files" "$expected" "$names"

7z x -y -o"$work/files" "$E2E_SETUP" CorvaloPlugin.exe phonehook.dll help.html >/dev/null ||
    e2e_fail "7z cannot extract the installer's files"
cmp -s "$work/files/CorvaloPlugin.exe" "$E2E_EXE" || e2e_fail "the installer holds another CorvaloPlugin.exe"
cmp -s "$work/files/phonehook.dll" "$E2E_DLL" || e2e_fail "the installer holds another phonehook.dll"
cmp -s "$work/files/help.html" "$build/help.html" || e2e_fail "the installer holds another help.html"
# Every picture the help page shows is in the installer.
for picture in $(grep -o 'src="help/[^"]*"' "$build/help.html" | sed 's/^src="//; s/"$//'); do
    grep -qxF "Path = $picture" <<<"$listing" || e2e_fail "help.html shows $picture, which the installer lacks"
done

7z x -y -tPE -o"$work/pe" "$E2E_SETUP" >/dev/null || e2e_fail "7z cannot read the installer's resources"
manifest=$(cat "$work/pe/.rsrc/MANIFEST/1" 2>/dev/null) || e2e_fail "the installer carries no manifest"
e2e_assert_match "the manifest's execution level" 'requestedExecutionLevel level="asInvoker"' "$manifest"
version=$(tr -d '\0\r' <"$work/pe/.rsrc/version.txt" 2>/dev/null) || e2e_fail "the installer carries no version record"
e2e_assert_match "the version record's release" 'VALUE "ProductVersion", *"2\.06"' "$version"
e2e_assert_match "the version record's number, the program's own" 'FILEVERSION +2,0,6,0' "$version"
echo "installer: $(stat -c %s "$E2E_SETUP") bytes; files: $names"
echo "PASS: installer contents"
