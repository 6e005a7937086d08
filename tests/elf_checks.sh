#!/usr/bin/env bash
# What the loader takes from the files we build, read with readelf:
#   run-paths DIR...                   no run path reaches the working directory or link-only/
#   decoy EXPECTED PROGRAM [ARG]...    PROGRAM ignores a decoy unwinder there (CC: the C compiler)
#   hardened PROGRAM [--unchecked-buffers]
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

# The loader reads an empty entry as the working directory and a relative one
# from it, unless it starts at $ORIGIN; link-only/ is for the linker alone.
run_paths() {
  local bad
  bad=$({ find "$@" -type f -exec readelf -dW /dev/null {} + 2> /dev/null || true; } | awk '
    /^File: / { file = substr($0, 7) }
    /\((RPATH|RUNPATH)\)/ {
      seen = 1
      list = $0
      sub(/^[^[]*\[/, "", list)
      sub(/\]$/, "", list)
      n = split(list, entry, ":")
      for (i = 1; i <= (n ? n : 1); i++)
        if (entry[i] !~ /^(\/|\$ORIGIN(\/|$))/ || entry[i] ~ /(^|\/)link-only(\/|$)/)
          print file ": \"" entry[i] "\" in [" list "]"
    }
    END { if (!seen) print "no run path at all: nothing built there?" }')
  [[ -z $bad ]] || fail "run paths under $*:"$'\n'"$bad"
}

# A libgcc_s.so.1 in the working directory that ends the process if loaded.
decoy() {
  local expected=$1 program out environment
  program=$(realpath "$2")
  cd "$(mktemp -d)"
  trap 'rm -rf "$PWD"' EXIT
  echo '__attribute__((constructor)) static void decoy(void) { _exit(99); }' |
    "${CC:-cc}" -shared -fPIC -include unistd.h -x c -o libgcc_s.so.1 -
  for environment in "env -i" env; do
    out=$($environment "$program" "${@:3}") && [[ $out == "$expected" ]] ||
      fail "$environment $program ${*:3} beside a decoy libgcc_s.so.1: '$out'"
  done
}

# Position-independent, bound at start behind read-only relocations, built
# with the stack protector and checked buffer functions (_FORTIFY_SOURCE).
hardened() {
  local row options pattern rows=(
    "-hW|Type: +DYN \(Position-Independent Executable file\)"
    "-dW|\(BIND_NOW\)|\(FLAGS\) +BIND_NOW"
    "-lW|GNU_RELRO"
    "--dyn-syms -W|__stack_chk_fail@"
    "--dyn-syms -W|__[a-z]+_chk@")
  [[ ${2-} != --unchecked-buffers ]] || unset 'rows[-1]'
  for row in "${rows[@]}"; do
    IFS='|' read -r options pattern <<< "$row"
    # shellcheck disable=SC2086 # the options are words
    grep -Eq "$pattern" <<< "$(readelf $options "$1")" || fail "$1 lacks $pattern"
  done
}

case $1 in
  run-paths) shift && run_paths "$@" ;;
  decoy | hardened) "$@" ;;
  *) fail "unknown check $1" ;;
esac
echo "passed: $*"
