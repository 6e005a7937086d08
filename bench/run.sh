#!/usr/bin/env bash
# Installs what the benchmark needs, builds a Release tree and runs every
# operation on libvornel's path and on Boost.Filesystem's, with repetitions;
# ends with the table of ours/peer ratios of the medians and allocations per
# operation. Extra arguments go to the benchmark (e.g. --benchmark_filter=hash).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh libboost-filesystem-dev libbenchmark-dev
build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVORNEL_BUILD_BENCH=ON -DVORNEL_BUILD_TESTS=OFF -DVORNEL_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target vornel_bench
"$build/bench/vornel_bench" \
  --benchmark_repetitions="${REPETITIONS:-15}" \
  --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time="${MIN_TIME:-0.05}" \
  "$@"
