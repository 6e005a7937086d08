#!/usr/bin/env bash
# Counts the instructions of every benchmarked operation under callgrind, for
# libvornel's path and for Boost.Filesystem's: a figure that, unlike time,
# stays put on a busy machine. Prints instructions per application and the
# ours/peer ratio.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh libboost-filesystem-dev libbenchmark-dev valgrind
build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVORNEL_BUILD_BENCH=ON -DVORNEL_BUILD_TESTS=OFF -DVORNEL_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target vornel_bench

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg" \
  "$build/bench/vornel_bench" --instructions="${PASSES:-20}" >"$out/applications" 2>"$out/valgrind.log" \
  || { cat "$out/valgrind.log" >&2; exit 1; }

# Each dump names its operation in its "desc: Trigger" line and holds the
# instructions counted since the previous dump in its "totals" line.
for f in "$out"/cg.*; do
  awk '/^desc: Trigger: Client Request: / { name = $NF }
       /^totals: / { print "instructions", name, $2 }' "$f"
done | cat - "$out/applications" | awk '
  $1 == "instructions" { ir[$2] = $3 }
  $1 == "applications" { apps[$2] = $3; if (!($2 in seen)) { seen[$2] = 1; order[n++] = $2 } }
  END {
    printf "%-18s %12s %12s %9s\n", "operation", "ours Ir/op", "peer Ir/op", "ours/peer"
    for (i = 0; i < n; ++i) {
      split(order[i], part, "/")
      if (part[2] != "ours") continue
      op = part[1]; o = op "/ours"; p = op "/peer"
      if (!(o in ir) || !(p in ir)) continue
      io = ir[o] / apps[o]; ip = ir[p] / apps[p]
      printf "%-18s %12.0f %12.0f %9.2f\n", op, io, ip, io / ip
    }
  }'
