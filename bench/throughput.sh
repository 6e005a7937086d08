#!/usr/bin/env bash
# Batch throughput of vornel-path against the programs it stands in for, on
# the two inputs of bench/inputs.py, COUNT paths each: a generated mix of
# absolute paths with '.', '..', doubled and trailing separators, and the
# real paths of this machine (`find /usr`, repeated). The two programs of a
# pair run in turn, three times, and each one's least CPU time (user +
# system) counts: builds may share the machine, and the ratio is taken
# within one run. Prints a table per input with each ratio and the least it
# must be; exits 1 if one falls short.
# Usage: bench/throughput.sh [BUILD_DIR] [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-1000000}
tool=$PWD/$build/tools/vornel-path
[[ -x $tool ]] || { echo "build $tool first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/inputs.py mix "$count" > "$work/mix"
python3 bench/inputs.py usr "$count" > "$work/usr"

cpu_seconds() {  # the CPU time (user + system) of one command line
  local TIMEFORMAT='%U %S'
  { time bash -c "$1" > /dev/null || true; } 2>&1 | awk '{ printf "%.3f", $1 + $2 }'
}

py_loop() {  # a python3 loop that writes f(line) for each line of input
  printf '%s' "import sys, posixpath
w = sys.stdout.buffer.write
base = sys.argv[1].encode() if len(sys.argv) > 1 else b''
for line in sys.stdin.buffer: w($1 + b'\\n')"
}

# pair INPUT LABEL OURS PEER_LABEL PEER TARGET: one row of the table.
pair() {
  local input=$1 ours=$3 peer=$5 best_ours=1e9 best_peer=1e9 a b
  for _ in 1 2 3; do
    a=$(cpu_seconds "$ours < '$input'")
    b=$(cpu_seconds "$peer < '$input'")
    best_ours=$(awk -v x="$best_ours" -v y="$a" 'BEGIN { print (y < x ? y : x) }')
    best_peer=$(awk -v x="$best_peer" -v y="$b" 'BEGIN { print (y < x ? y : x) }')
  done
  awk -v l="$2" -v o="$best_ours" -v pl="$4" -v p="$best_peer" -v t="$6" 'BEGIN {
    r = p / (o > 0 ? o : 0.01)
    printf "| `%s` | %.2f | %s | %.2f | %.1fx | %s |\n", l, o, pl, p, r,
           t ? sprintf("%dx %s", t, r >= t ? "met" : "MISSED") : "" }'
}

table() {
  local name=$1 input=$2 base=$3
  echo
  echo "$name: $(wc -l < "$input") paths, $(wc -c < "$input") bytes; BASE=$base"
  echo "CPU seconds, least of three runs taken in turn with the other program"
  echo
  echo "| vornel-path | s | other program | s | other / vornel-path | at least |"
  echo "|---|---:|---|---:|---:|---|"
  pair "$input" "normal" "'$tool' normal" \
    "python3 loop: posixpath.normpath" "python3 -c \"$(py_loop 'posixpath.normpath(line[:-1])')\"" 3
  pair "$input" "relative BASE" "'$tool' relative '$base'" \
    "xargs realpath -s -m --relative-to=BASE" "xargs -d '\\n' realpath -s -m --relative-to='$base'" 2
  pair "$input" "relative BASE" "'$tool' relative '$base'" \
    "python3 loop: posixpath.relpath" \
    "python3 -c \"$(py_loop 'posixpath.relpath(line[:-1], base)')\" '$base'" 10
  pair "$input" "parent" "'$tool' parent" "xargs dirname" "xargs -d '\\n' dirname" 3
  pair "$input" "filename" "'$tool' filename" "xargs basename -a" "xargs -d '\\n' basename -a" 4
  pair "$input" "absolute" "'$tool' absolute" "xargs realpath -s -m" "xargs -d '\\n' realpath -s -m" 0
  pair "$input" "--lexical relative BASE" "'$tool' --lexical relative '$base'" \
    "xargs realpath -s -m --relative-to=BASE" "xargs -d '\\n' realpath -s -m --relative-to='$base'" 0
}

{
  table "generated mix" "$work/mix" /srv/projects/app/build/debug
  table "find /usr, repeated" "$work/usr" /usr/lib/x86_64-linux-gnu
} | tee "$work/report"
! grep -q MISSED "$work/report"
