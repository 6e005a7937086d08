#!/usr/bin/env bash
# What CI runs: builds libvornel.so and every test from scratch with g++,
# warnings as errors, and runs the suite, then the suite built by clang++ under
# AddressSanitizer and UndefinedBehaviorSanitizer, the concurrency tests under
# ThreadSanitizer, and a replay of every fuzz target's seed corpus and
# regressions. Every step is
# deterministic. Valgrind (`bash scripts/reliability.sh valgrind`) and timed
# fuzzing (`bash fuzz/run.sh SECONDS`) stay off this path for their time.
set -euo pipefail
cd "$(dirname "$0")/.."

# Everything every stage needs, clang++ for the sanitizer tree included, in
# one install: a fresh machine updates its package lists once.
bash scripts/deps.sh clang-14 libclang-rt-14-dev
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEL_WERROR=ON \
  -DVORNEL_TEST_OPTIONS="-O1;-g1"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
bash scripts/reliability.sh asan tsan replay
