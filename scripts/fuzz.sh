#!/usr/bin/env bash
# Builds everything with address and undefined-behaviour sanitizers in build-sanitize, runs
# every fuzz target there for a number of executions, then runs the whole test suite there.
# Usage: scripts/fuzz.sh [mutations per target]   (1000000 by default)
# Prints per target the executions and findings and ends with a summary; the exit status is 0
# only when no target found anything and every test passed.
set -uo pipefail
cd "$(dirname "$0")/.."
mutations=${1:-1000000}
build=build-sanitize
jobs=$(nproc)

export QT_QPA_PLATFORM=offscreen
# Stop at the first report so that it counts as a finding and the driver saves its input.
# Leaks are checked too; the toolkit leaves none behind at exit, so nothing is suppressed.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUNDORA_SANITIZE=ON -DMUNDORA_BENCH=OFF > /dev/null || exit 1
cmake --build "$build" --parallel "$jobs" || exit 1

mkdir -p "$build/fuzz-findings"
targets=0
found=0
for source in tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  log="$build/fuzz-findings/$name.log"
  crash="$build/fuzz-findings/$name.input"
  rm -f "$crash"
  start=$(date +%s)
  "$build/tests/$name" --mutations "$mutations" --crash-file "$crash" > "$log" 2>&1
  status=$?
  seconds=$(( $(date +%s) - start ))
  targets=$((targets + 1))
  # The driver's last line: "<seeds> seeds and <mutations> mutations ran without a fault".
  if [ $status -eq 0 ]; then
    seeds=$(awk '/ran without a fault/ {print $1}' "$log" | tail -1)
    printf '%-24s %10d executions  0 findings  (%d s)\n' "$name" $((seeds + mutations)) "$seconds"
  else
    found=$((found + 1))
    printf '%-24s stopped (exit status %d)  1 finding  (%d s): see %s' "$name" $status "$seconds" "$log"
    [ -f "$crash" ] && printf ', input %s (rerun with --input)' "$crash"
    printf '\n'
  fi
done

(cd "$build" && ctest --parallel "$jobs" --timeout 3600 > tests.log 2>&1)
tests_status=$?
summary=$(grep -E 'tests passed|tests failed' "$build/tests.log" | tail -1)

echo
echo "fuzz targets: $targets, $mutations mutations each, findings in $found"
echo "sanitized test suite: ${summary:-did not run} (log: $build/tests.log)"
[ $found -eq 0 ] && [ $tests_status -eq 0 ]
