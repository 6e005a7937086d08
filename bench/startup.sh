#!/usr/bin/env bash
# Start-up time of the installed vornel-path, run with an empty environment,
# beside coreutils' realpath: hyperfine, no shell in between, both in one
# run. Prints each one's median, their ratio and the least it must be, and
# the file-system calls (openat, stat) that the loader and each program
# make; exits 1 if the ratio falls short.
# Usage: bench/startup.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh hyperfine strace
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
ours=("$prefix/bin/vornel-path" --version) theirs=("$(command -v realpath)" --version)
hyperfine -N --warmup 50 --runs "${RUNS:-1000}" --export-json "$prefix/times.json" \
  "env -i ${ours[*]}" "env -i ${theirs[*]}"

calls() {  # the openat and stat calls of one program started with no environment
  env -i "$(command -v strace)" -f -c -o "$prefix/calls" -e trace=openat,stat,newfstatat "$@" > /dev/null
  awk '$NF ~ /^(openat|stat|newfstatat)$/ {
    printf "%s %d %s", sep, $4, $NF; if (NF == 6) printf " (%d failed)", $5; sep = "," }' "$prefix/calls"
}
status=0
python3 - "$prefix/times.json" <<'PY' || status=$?
import json, sys
ours, theirs = (run["median"] for run in json.load(open(sys.argv[1]))["results"])
ratio = ours / theirs
print(f"\nmedian: vornel-path --version {ours * 1e3:.2f} ms, realpath --version {theirs * 1e3:.2f} ms: "
      f"{ratio:.2f}x, at most 1.3x {'met' if ratio <= 1.3 else 'MISSED'}")
sys.exit(ratio > 1.3)
PY
echo "vornel-path:$(calls "${ours[@]}")"
echo "realpath:$(calls "${theirs[@]}")"
exit $status
