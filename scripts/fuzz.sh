#!/usr/bin/env bash
# Runs the fuzz targets for longer than the test command does: each target
# in turn for SECONDS (default 300), over its seeds in tests/fuzz/corpus and
# what earlier runs found. New inputs go to build/sanitize/scratch/<target>/, a
# crash's input to build/sanitize/scratch/crash-<target>-*; the repository's
# seeds are only read. Keep the inputs worth keeping by copying them into
# tests/fuzz/corpus/<target>/.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#   TARGET is one of skype_notifications hook_records registry_version
#   adapter_bus update_reply settings_file (default: all of them).
set -euo pipefail

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi

cd "$(dirname "$0")/.."
seconds=300
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(skype_notifications hook_records registry_version adapter_bus update_reply settings_file)
fi

bash scripts/setup.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize

status=0
for target in "${targets[@]}"; do
  binary=build/sanitize/tests/fuzz/${target}_fuzz
  if [ ! -x "$binary" ]; then
    echo "fuzz: no target $target" >&2
    status=1
    continue
  fi
  scratch=build/sanitize/scratch/$target
  mkdir -p "$scratch"
  dict=tests/fuzz/$target.dict
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1
           -artifact_prefix="build/sanitize/scratch/crash-$target-")
  [ -f "$dict" ] && options+=(-dict="$dict")
  log=build/sanitize/scratch/$target.log
  echo "== $target: $seconds s (whole output in $log)"
  result=0
  "$binary" "${options[@]}" "$scratch" "tests/fuzz/corpus/$target" >"$log" 2>&1 || result=$?
  grep -E '^#[0-9]+ +(INITED|DONE)|^stat::|^fuzz invariant|==[0-9]+==ERROR|^SUMMARY|Test unit' "$log" || true
  if [ $result -ne 0 ]; then
    echo "== $target: FAILED (exit $result)"
    status=1
  fi
done
exit $status
