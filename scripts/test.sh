#!/usr/bin/env bash
# Installs what is missing, builds every preset the tests need and runs
# every test: the unit tests and the seeded simulation on the simulated
# desktop (plain, and under AddressSanitizer and UndefinedBehaviorSanitizer
# in the one sanitized build that also holds the fuzz targets), each fuzz
# target for a few seconds over its seeds, and the end-to-end tests of the
# Windows binaries under Wine: the shipped i686 pair and its installer where
# this host runs 32-bit code, the x86-64 build of the same sources always.
# The static checks (imports, sizes, the installer's contents) read both
# builds on every host. Ends with one line per part saying what ran, and
# why anything did not.
#
# --quick: the everyday loop after a change: builds the native and the
# sanitized presets and runs the native unit tests, the simulation's
# regression seeds and replay check, and every fuzz target's seeds once.
# No Wine.
set -euo pipefail

usage() {
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
  echo
  echo "Usage: scripts/test.sh [--quick]"
  echo "Set CORVALO_HOST_NO_I386=1 to test as on a host that cannot run 32-bit code."
}

quick=false
for argument in "$@"; do
  case $argument in
    --help | -h) usage; exit 0 ;;
    --quick) quick=true ;;
    *) echo "scripts/test.sh: unknown argument '$argument'" >&2; usage >&2; exit 2 ;;
  esac
done

cd "$(dirname "$0")/.."
bash scripts/setup.sh
source tests/e2e/lib.sh

start=$(date +%s)
elapsed() { echo $(( $(date +%s) - start )); }
# Set to (nice -n 19) once a Wine suite runs beside the builds and tests.
background=()
build() {
  echo "== $1: build (at $(elapsed) s)"
  "${background[@]}" cmake --preset "$1" >/dev/null
  "${background[@]}" cmake --build --preset "$1"
}

status=0
summary=()
# run_tests PRESET WHAT [CTEST ARG..]: one line in the summary either way.
run_tests() {
  local preset=$1 what=$2
  shift 2
  echo "== $preset: $what (at $(elapsed) s)"
  if "${background[@]}" ctest --preset "$preset" "$@"; then
    summary+=("$preset: $what passed")
  else
    status=1
    summary+=("$preset: $what FAILED")
  fi
}

finish() {
  echo
  echo "== summary ($(elapsed) s)"
  printf '%s\n' "${summary[@]}"
  exit $status
}

if $quick; then
  build native
  build sanitize
  run_tests quick "unit tests, regression seeds and replay check"
  run_tests fuzz-seeds "every fuzz target's seeds, once"
  finish
fi

# The Windows builds first: they are small, and each Wine suite starts in
# the background as soon as its build is there, side by side with a prefix
# and a display of its own. Where both builds run, each of the longest tests
# runs in one of them only (its lane label); where only the x86-64 build
# runs, its tests are split between two prefixes (label second-prefix). See
# tests/e2e/CMakeLists.txt. Everything built or run after the first suite
# has started runs at the lowest CPU priority: the suites mostly wait on
# Wine and on the clock, and get the CPU first whenever they need it.
logs=$(mktemp -d "${TMPDIR:-/tmp}/corvalo-e2e-logs.XXXXXX")
suites=()
declare -A job=()
trap 'kill "${job[@]}" 2>/dev/null || true; rm -rf "$logs"' EXIT
# start_suite NAME PRESET [CTEST ARG..]
start_suite() {
  local name=$1 preset=$2
  shift 2
  E2E_SUITE=$name ctest --preset "$preset" "$@" >"$logs/$name.log" 2>&1 &
  job[$name]=$!
  suites+=("$name")
  background=(nice -n 19)
}
if e2e_host_runs_i386; then
  build windows
  start_suite i686 windows -LE lane-x86_64
  build windows64
  start_suite x86_64 windows64 -LE lane-i686
else
  build windows64
  start_suite x86_64 windows64 -LE second-prefix
  start_suite x86_64-second windows64 -L second-prefix
  build windows
  start_suite i686 windows  # the static checks; its Wine tests report themselves skipped
fi

# Meanwhile the simulated desktop's builds and tests.
build native
build sanitize
run_tests native "unit tests and seeded simulation"
run_tests sanitize "unit tests, seeded simulation and fuzz targets under ASan and UBSan"

# One line per build in the summary.
declare -A result=()
for name in "${suites[@]}"; do
  if wait "${job[$name]}"; then outcome=passed; else outcome=FAILED; status=1; fi
  echo "== end-to-end suite $name (ended by $(elapsed) s)"
  cat "$logs/$name.log"
  arch=${name%-second}
  [[ ${result[$arch]:-passed} == FAILED ]] || result[$arch]=$outcome
done
if e2e_host_runs_i386; then
  summary+=("i686: end-to-end tests under Wine and static checks ${result[i686]} (the longest tests of the other build's lane ran there only)")
  summary+=("x86_64: end-to-end tests under Wine and static checks ${result[x86_64]} (the longest tests of the other build's lane ran there only)")
else
  summary+=("i686: binaries and installer checked statically (${result[i686]}); Wine tests skipped: $(e2e_i386_missing_reason)")
  summary+=("x86_64: end-to-end tests under Wine, every one of them, in two prefixes side by side, and static checks ${result[x86_64]}")
fi

finish
