#!/usr/bin/env bash
# Long fuzzing runs by hand: every fuzz target of the build folder FUZZ_BUILD
# (default build-asan, configured as in scripts/test.sh), one after the other
# at the lowest priority, each until 10 million executions or SECONDS pass,
# with the corpus folders and -max_len of its CTest entry. Logs and crash
# inputs go to $FUZZ_BUILD/fuzz_long/.
#   [FUZZ_BUILD=build-fuzz] scripts/fuzz_long.sh [SECONDS=3600] [TARGET_REGEX=.]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600}
pattern=${2:-.}
build=${FUZZ_BUILD:-build-asan}
out=$PWD/$build/fuzz_long
mkdir -p "$out"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
printf '%-18s %10s %8s %10s %s\n' target execs seconds exec/s result
ctest --test-dir "$build" -N -V -L fuzz -R "$pattern" | sed -n 's/^[0-9]*: Test command: //p' |
while read -r line; do
  eval "args=($line)"
  name=$(basename "${args[0]}")
  cmd=("${args[0]}")
  for a in "${args[@]:1}"; do
    [[ $a == -max_total_time=* ]] || cmd+=("$a")
  done
  start=$(date +%s)
  (cd "$out" && nice -n 19 "${cmd[@]}" -max_total_time="$seconds" -runs=10000000 -print_final_stats=1 \
     -artifact_prefix="$out/$name-" </dev/null >"$out/$name.log" 2>&1)
  rc=$?
  took=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$name.log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$out/$name.log" | tail -1)
  result=ok
  [[ $rc == 0 ]] || result="FAILED (rc $rc, see $out/$name.log)"
  printf '%-18s %10s %8s %10s %s\n' "$name" "${execs:-?}" "$took" "${rate:-?}" "$result"
done
