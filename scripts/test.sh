#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit
# tests on the simulated desktop (plain, under AddressSanitizer and
# UndefinedBehaviorSanitizer, and under ThreadSanitizer), each fuzz target
# for a few seconds over its seed corpus, and the end-to-end
# tests of the Windows binaries under Wine: the shipped i686 pair and its
# installer where this host runs 32-bit code, the x86-64 build of the same
# sources always. The static checks (imports, sizes, the installer's
# contents) read both builds on every host. Ends with one line per
# architecture saying what ran, and why anything did not.
set -euo pipefail

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  echo
  echo "Usage: scripts/test.sh"
  echo "Set CORVALO_HOST_NO_I386=1 to test as on a host that cannot run 32-bit code."
  exit 0
fi

cd "$(dirname "$0")/.."
bash scripts/setup.sh
source tests/e2e/lib.sh

start=$(date +%s)
build() {
  echo "== $1: build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# The Windows builds come first: their end-to-end suites mostly wait on
# Wine, so they run in the background, side by side (each with a prefix and
# a display of its own), while the native presets build and test.
build windows
build windows64
logs=$(mktemp -d "${TMPDIR:-/tmp}/corvalo-e2e-logs.XXXXXX")
declare -A job=()
# A failed native build ends the script: the suites still running go with it.
trap 'kill "${job[@]}" 2>/dev/null || true; rm -rf "$logs"' EXIT
for preset in windows windows64; do
  ctest --preset "$preset" >"$logs/$preset.log" 2>&1 &
  job[$preset]=$!
done

status=0
summary=()
for preset in native native-asan native-tsan; do
  build "$preset"
  echo "== $preset: test"
  if ctest --preset "$preset"; then
    summary+=("$preset: unit tests passed")
  else
    status=1
    summary+=("$preset: unit tests FAILED")
  fi
done

# Each fuzz target for a short fixed time (scripts/fuzz.sh runs them longer).
build fuzz
echo "== fuzz: short runs of every target"
if ctest --preset fuzz; then
  summary+=("fuzz: every target ran its short time without a finding")
else
  status=1
  summary+=("fuzz: a target FAILED (its input is in build/fuzz/tests/fuzz)")
fi

# The end-to-end suites' results. Where the host cannot run an
# architecture, its Wine tests report themselves skipped and only its
# static checks run.
for preset in windows windows64; do
  case $preset in
    windows) arch=i686 ;;
    windows64) arch=x86_64 ;;
  esac
  if wait "${job[$preset]}"; then result=passed; else result=FAILED; status=1; fi
  echo "== $preset: end-to-end tests of the $arch binaries"
  cat "$logs/$preset.log"
  if [[ $arch == i686 ]] && ! e2e_host_runs_i386; then
    summary+=("$arch: binaries and installer checked statically ($result); Wine tests skipped: $(e2e_i386_missing_reason)")
  else
    summary+=("$arch: end-to-end tests under Wine and static checks $result")
  fi
done

echo
echo "== summary ($(( $(date +%s) - start )) s)"
printf '%s\n' "${summary[@]}"
exit $status
