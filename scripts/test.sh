#!/usr/bin/env bash
# Builds libvornel.so and every test from scratch, then runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
# Sanitizers, valgrind, the fault sweep under both, and a fuzz smoke run;
# valgrind reuses the tree just built.
VALGRIND_BUILD="$build" bash scripts/reliability.sh
