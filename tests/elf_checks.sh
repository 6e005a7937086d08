#!/usr/bin/env bash
# What the loader takes from the files we build, read with readelf: run paths
# that never reach the working directory or the linker-only folder, a tool
# that starts beside a decoy unwinder without loading it, and a hardened tool.
# Usage: elf_checks.sh run-paths DIR...
#        elf_checks.sh decoy EXPECTED PROGRAM [ARG]...   (CC names the C compiler)
#        elf_checks.sh hardened PROGRAM [--unchecked-buffers]
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every run path entry of every ELF file below the DIRs is absolute or
# $ORIGIN-based, and none is the linker-only folder: the loader reads an
# empty entry as the working directory, and a relative one from it.
run_paths() {
  local files=() file magic bad
  while IFS= read -r -d '' file; do
    read -r -N4 magic < "$file" 2> /dev/null || continue
    [[ $magic == $'\x7fELF' ]] && files+=("$file")
  done < <(find "$@" -type f -print0)
  ((${#files[@]})) || fail "no ELF file under $*"
  # readelf names each file it reads when given more than one.
  bad=$(readelf -dW "${files[0]}" "${files[@]}" | awk '
    /^File: / { file = substr($0, 7) }
    /\((RPATH|RUNPATH)\)/ {
      list = $0
      sub(/^[^[]*\[/, "", list)
      sub(/\]$/, "", list)
      n = split(list, entries, ":")
      if (n == 0) print file ": an empty run path"
      for (i = 1; i <= n; i++)
        if (entries[i] !~ /^(\/|\$ORIGIN(\/|$)|\$\{ORIGIN\}(\/|$))/ ||
            entries[i] ~ /(^|\/)link-only(\/|$)/)
          print file ": entry \"" entries[i] "\" of " list
    }')
  [[ -z $bad ]] || fail "run paths that reach the working directory or link-only/:"$'\n'"$bad"
  echo "run paths: ${#files[@]} ELF files checked under $*"
}

# PROGRAM, started from a folder that holds a libgcc_s.so.1 whose constructor
# ends the process with status 99, with and without an environment, prints
# EXPECTED.
decoy() {
  local expected=$1 out status
  set -- "$(realpath "$2")" "${@:3}"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  printf '#include <unistd.h>\n%s\n' \
    '__attribute__((constructor)) static void decoy(void) { _exit(99); }' > "$work/decoy.c"
  "${CC:-cc}" -shared -fPIC -o "$work/libgcc_s.so.1" "$work/decoy.c"
  for environment in "env -i" env; do
    status=0
    out=$(cd "$work" && $environment "$@") || status=$?
    [[ $status == 0 && $out == "$expected" ]] ||
      fail "$environment $* beside a decoy libgcc_s.so.1: status $status, output '$out'"
  done
  echo "decoy: $1 started beside a decoy libgcc_s.so.1 and did not load it"
}

# PROGRAM is position-independent, binds every symbol at start behind
# read-only relocations, and was built with the stack protector and, unless
# told otherwise, checked buffer functions (_FORTIFY_SOURCE), whose entry
# points it imports.
hardened() {
  local program=$1 row options pattern what
  local rows=(
    "-hW|Type: +DYN \(Position-Independent Executable file\)|position-independent"
    "-dW|\(BIND_NOW\)|bound at start"
    "-lW|GNU_RELRO|read-only relocations"
    "--dyn-syms -W|__stack_chk_fail@|stack protector"
    "--dyn-syms -W|__[a-z]+_chk@|checked buffer functions"
  )
  [[ ${2-} != --unchecked-buffers ]] || unset 'rows[-1]'
  for row in "${rows[@]}"; do
    IFS='|' read -r options pattern what <<< "$row"
    # shellcheck disable=SC2086 # the options are words
    grep -Eq "$pattern" <<< "$(readelf $options "$program")" || fail "$program: not $what ($pattern)"
  done
  echo "hardened: $program"
}

command=$1
shift
case $command in
  run-paths) run_paths "$@" ;;
  decoy | hardened) "$command" "$@" ;;
  *) fail "unknown check $command" ;;
esac
