#!/usr/bin/env bash
# Counts the instructions of every benchmarked operation under callgrind, for
# libvornel's path, for Boost.Filesystem's and for the floor kernels: a figure
# that, unlike time, stays put on a busy machine. Prints instructions per
# application with ours/floor and ours/peer for the operations that have a
# floor, then ours/peer for the rest.
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
  function per_op(name) { return ir[name] / apps[name] }
  $1 == "instructions" { ir[$2] = $3 }
  $1 == "applications" { apps[$2] = $3; if (!($2 in seen)) { seen[$2] = 1; order[n++] = $2 } }
  END {
    # The operations with a floor kernel: ours against the floor and the peer;
    # construction has a second floor that writes short names into the
    # string'"'"'s own buffer.
    printf "%-24s %11s %12s %11s %10s %9s\n", "operation", "ours Ir/op", "floor Ir/op",
      "peer Ir/op", "ours/floor", "ours/peer"
    for (i = 0; i < n; ++i) {
      split(order[i], part, "/")
      if (part[2] != "ours") continue
      op = part[1]; o = op "/ours"; p = op "/peer"
      if (!(o in ir) || !(p in ir)) continue
      for (f = 1; f <= 2; ++f) {
        side = f == 1 ? "floor" : "floor_inbuf"
        if (!((op "/" side) in ir)) continue
        floored[op] = 1
        label = f == 1 ? op : op " (in buffer)"
        io = per_op(o); ifl = per_op(op "/" side); ip = per_op(p)
        printf "%-24s %11.0f %12.0f %11.0f %10.2f %9.2f\n", label, io, ifl, ip, io / ifl, io / ip
      }
    }
    printf "\n%-24s %11s %12s %9s\n", "operation", "ours Ir/op", "peer Ir/op", "ours/peer"
    for (i = 0; i < n; ++i) {
      split(order[i], part, "/")
      if (part[2] != "ours") continue
      op = part[1]; o = op "/ours"; p = op "/peer"
      if (!(o in ir) || !(p in ir) || (op in floored)) continue
      io = per_op(o); ip = per_op(p)
      printf "%-24s %11.0f %12.0f %9.2f\n", op, io, ip, io / ip
    }
  }'
