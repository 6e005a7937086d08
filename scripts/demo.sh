#!/usr/bin/env bash
# Installs what the build needs, builds libvornel.so, its tests and
# vornel-path, and shows the tool on a few telling paths.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build"

# The library's needed CUDA and HIP libraries are absent here: the build's
# empty stand-ins take their place.
export LD_LIBRARY_PATH=$PWD/$build/stand-ins${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
tool=$build/tools/vornel-path
show() {
  printf '\n$ vornel-path'
  printf ' %q' "$@"
  printf '\n'
  "$tool" "$@" || printf '(exit status %d)\n' "$?"
}

echo
echo "vornel-path: lexical path operations, no file system involved"
show normal 'src/lib/../include/./fs_path'
show relative build/debug build/release/bin
show parts 'usr/lib/'
show normal 'usr/lib/'
show compare 'usr//lib/' 'usr/lib/'
show join /opt tool lib /etc passwd
show replace-extension .md 'notes/draft.txt'
show --json normal "$(printf 'caf\xc3\xa9\xff/x/../y')"
