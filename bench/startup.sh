#!/usr/bin/env bash
# Start-up time of the installed vornel-path, run with an empty environment,
# beside coreutils' realpath: hyperfine, no shell in between.
# Usage: bench/startup.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh hyperfine
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
hyperfine -N --warmup 50 --runs "${RUNS:-1000}" \
  "env -i $prefix/bin/vornel-path --version" \
  "env -i realpath --version"
