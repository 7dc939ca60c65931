#!/usr/bin/env bash
# Installs what is missing, builds the native, sanitized and Windows presets,
# and runs every test: the unit tests on the simulated desktop (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer) and the end-to-end tests
# of the shipped Windows binaries under Wine.
set -euo pipefail

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
  echo "Usage: scripts/test.sh"
  exit 0
fi

cd "$(dirname "$0")/.."
bash scripts/setup.sh

status=0
for preset in native native-asan windows; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
for preset in native native-asan windows; do
  echo "== $preset: test"
  ctest --preset "$preset" || status=1
done
exit $status
