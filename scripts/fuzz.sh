#!/usr/bin/env bash
# Runs a libFuzzer target of fuzz/ for SECONDS seconds, or every target in turn:
#   scripts/fuzz.sh TARGET SECONDS     TARGET: ini dat codec csv options commit transfer
#   scripts/fuzz.sh all SECONDS
# Builds build-fuzz with clang when needed. Each run starts from the seeds in
# fuzz/corpus/TARGET copied into a scratch directory (the repository is never
# written), after replaying fuzz/regressions/TARGET. Prints the executions of
# each run; exits non-zero on a crash or a broken invariant, leaving the input
# in the scratch directory it names.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(ini dat codec csv options commit transfer)
if [[ $# -ne 2 || ! "$2" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 {${targets[*]// /|}|all} SECONDS" >&2
  exit 2
fi
if [[ "$1" == all ]]; then
  run=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $1 "* ]]; then
  run=("$1")
else
  echo "$0: no fuzz target \"$1\" (targets: ${targets[*]}, all)" >&2
  exit 2
fi
seconds=$2

build=build-fuzz
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B $build -DCMAKE_CXX_COMPILER=clang++ -DPROG_FUZZ=ON >/dev/null
fi
if ! log=$(nice cmake --build $build -j2 --target "${run[@]/#/fuzz_}" 2>&1); then
  echo "$log" >&2
  exit 1
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/progfuzz-run.XXXXXX")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${run[@]}"; do
  bin=$build/bin/fuzz_$t
  work=$scratch/$t
  mkdir -p "$work/corpus" "$work/crash"
  cp fuzz/corpus/"$t"/* "$work/corpus/"
  if compgen -G "fuzz/regressions/$t/*" >/dev/null; then
    if ! "$bin" fuzz/regressions/"$t"/* >"$work/regressions.log" 2>&1; then
      echo "fuzz $t: a regression input fails, see $work/regressions.log"
      failed+=("$t")
      continue
    fi
  fi
  # The scratch corpus grows; the artifacts (crash-*, timeout-*) land in crash/.
  if "$bin" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$work/crash/" >"$work/fuzz.log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed+=("$t")
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log")
  corpus=$(ls "$work/corpus" | wc -l)
  echo "fuzz $t: ${execs:-?} executions in ${seconds} s, corpus $corpus inputs: $status"
  if [[ $status != ok ]]; then
    grep -a -m1 -A12 -E "==== invariant broken|ERROR: (Address|Leak|libFuzzer)|runtime error|SUMMARY" "$work/fuzz.log" || true
    echo "fuzz $t: log $work/fuzz.log, input in $work/crash/"
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: findings in ${failed[*]} (under $scratch)" >&2
  exit 1
fi
rm -rf "$scratch"
