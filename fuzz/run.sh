#!/usr/bin/env bash
# Builds the fuzz targets with clang and fuzzes each one for a bounded time,
# or, given "replay" for the time, runs each seed and regression input once.
#
#   bash fuzz/run.sh [seconds-per-target|replay] [build-dir] [target...]
#
# Defaults: 60 seconds, build-rel-fuzz, all of split, ops, convert and forms. The
# inputs in fuzz/regressions/<target> are replayed first. The seed corpus
# fuzz/corpus/<target> is only read; new inputs go to <build-dir>/fuzz-work.
# A crash fails the run and leaves its input in <build-dir>/fuzz-artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${2:-build-rel-fuzz}
targets=("${@:3}")
((${#targets[@]})) || targets=(split ops convert forms)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEL_WERROR=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DVORNEL_BUILD_FUZZ=ON -DVORNEL_BUILD_TESTS=OFF -DVORNEL_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/#/vornel_fuzz_}"

if [[ $seconds == replay ]]; then
  failed=0
  for target in "${targets[@]}"; do
    inputs=("fuzz/corpus/$target")
    [[ -d fuzz/regressions/$target ]] && inputs+=("fuzz/regressions/$target")
    log=$build/fuzz-$target.log
    if "$build/fuzz/vornel_fuzz_$target" -runs=0 "${inputs[@]}" >"$log" 2>&1; then
      echo "fuzz: $target: corpus and regressions replayed, $(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log") runs"
    else
      echo "fuzz: $target FAILED on a replayed input"
      tail -40 "$log"
      failed=1
    fi
  done
  exit $failed
fi

artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
total_execs=0 total_cpu=0 failed=0
for target in "${targets[@]}"; do
  binary=$build/fuzz/vornel_fuzz_$target
  log=$build/fuzz-$target.log
  if compgen -G "fuzz/regressions/$target/*" >/dev/null; then
    "$binary" fuzz/regressions/$target/* >"$log" 2>&1 ||
      { echo "fuzz: $target: a regression input fails"; tail -40 "$log"; failed=1; continue; }
  fi
  work=$build/fuzz-work/$target
  mkdir -p "$work"
  TIMEFORMAT='%3U %3S'
  status=0
  { time "$binary" -max_total_time="$seconds" -max_len=4096 -timeout=30 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?; } 2>"$log.time"
  read -r user sys <"$log.time"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.1f", u + s }')
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  execs=${execs:-0}
  echo "fuzz: $target: $execs executions in $cpu s of CPU time, corpus $(ls "$work" | wc -l) inputs"
  total_execs=$((total_execs + execs))
  total_cpu=$(awk -v a="$total_cpu" -v b="$cpu" 'BEGIN { printf "%.1f", a + b }')
  if ((status != 0)); then
    failed=1
    echo "fuzz: $target FAILED"
    grep -E 'vornel fuzz check failed|ERROR|SUMMARY|runtime error' "$log" | head -20
    for crash in "$artifacts/$target"-*; do
      [[ -e $crash ]] && echo "input $crash: $(base64 -w0 "$crash")"
    done
  fi
done
echo "fuzz: total $total_execs executions in $total_cpu s of CPU time"
exit $failed
