#!/usr/bin/env bash
# Batch throughput of vornel-path against `realpath -s -m --relative-to` (fed
# by xargs) and a one-process python3 loop over posixpath.normpath / relpath,
# all on one generated file of absolute paths. Prints CPU seconds (best of
# three; CPU time, since builds may share the machine) and how many times
# longer each other program takes.
# Usage: bench/throughput.sh [BUILD_DIR] [PATHS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-1000000}
tool=$PWD/$build/tools/vornel-path
export LD_LIBRARY_PATH=$PWD/$build/stand-ins${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
[[ -x $tool ]] || { echo "build $tool first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/paths.txt
base=/srv/projects/app/build/debug

# Absolute paths with '.', '..', doubled and trailing separators, a few
# directories deep, so that no program needs the working directory.
python3 - "$input" "$count" <<'PY'
import random, sys
out, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(20240611)
words = ["srv", "projects", "app", "build", "debug", "release", "src", "lib", "include",
         "obj", "x86_64", "tests", "data", "cache", "main.cc", "util.h", "libapp.so.1"]
with open(out, "w") as f:
    for _ in range(count):
        parts = []
        for _ in range(rng.randint(3, 9)):
            r = rng.random()
            parts.append("." if r < 0.08 else ".." if r < 0.16 else rng.choice(words))
        sep = "//" if rng.random() < 0.1 else "/"
        f.write("/" + sep.join(parts) + ("/" if rng.random() < 0.1 else "") + "\n")
PY

best_of_three() {  # the least CPU time (user + system, seconds) of a command line
  local best=
  for _ in 1 2 3; do
    local TIMEFORMAT='%U %S' cpu
    cpu=$({ time bash -c "$1" > /dev/null || true; } 2>&1 | awk '{ print $1 + $2 }')
    best=$(awk -v a="${best:-1e9}" -v b="$cpu" 'BEGIN { printf "%.2f", (b < a ? b : a) }')
  done
  echo "$best"
}

py_normpath='import sys, posixpath
w = sys.stdout.buffer.write
for line in sys.stdin.buffer: w(posixpath.normpath(line[:-1]) + b"\n")'
py_relpath='import sys, posixpath
w = sys.stdout.buffer.write
base = sys.argv[1].encode()
for line in sys.stdin.buffer: w(posixpath.relpath(line[:-1], base) + b"\n")'

declare -A seconds
run() { seconds[$1]=$(best_of_three "$2"); }
run normal           "'$tool' normal < '$input'"
run relative         "'$tool' relative '$base' < '$input'"
run lexical          "'$tool' --lexical relative '$base' < '$input'"
run py_normpath      "python3 -c '$py_normpath' < '$input'"
run py_relpath       "python3 -c '$py_relpath' '$base' < '$input'"
run realpath         "xargs -d '\\n' realpath -s -m --relative-to='$base' < '$input'"

ratio() { awk -v a="${seconds[$1]}" -v b="${seconds[$2]}" 'BEGIN { printf "%.1fx", a / b }'; }
echo "$count paths, $(wc -c < "$input") bytes; CPU seconds, best of three runs"
printf '%-58s %8s  %s\n' "program" "CPU s" "vs vornel-path"
row() { printf '%-58s %8s  %s\n' "$1" "${seconds[$2]}" "${3:+$(ratio "$2" "$3")}"; }
row "vornel-path normal" normal
row "python3 posixpath.normpath loop" py_normpath normal
row "vornel-path --lexical relative BASE" lexical
row "vornel-path relative BASE (both operands normalised)" relative
row "python3 posixpath.relpath loop" py_relpath relative
row "xargs realpath -s -m --relative-to=BASE" realpath relative
