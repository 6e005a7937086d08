#!/usr/bin/env bash
# The reliability suite: every test, built by clang++, under AddressSanitizer
# and UndefinedBehaviorSanitizer, the concurrency tests under ThreadSanitizer,
# every test binary under valgrind memcheck, and a replay of each fuzz
# target's seed corpus and regressions. Every stage is deterministic; a
# timed fuzzing campaign is `bash fuzz/run.sh SECONDS`.
#
#   bash scripts/reliability.sh [asan] [tsan] [valgrind] [replay]
#
# Without arguments all four stages run. VALGRIND_BUILD names an existing
# plain build tree to take the test binaries from (default: build-rel, built
# here if absent).
set -euo pipefail
cd "$(dirname "$0")/.."

stages=("$@")
((${#stages[@]})) || stages=(asan tsan valgrind replay)
needs=(clang-14 libclang-rt-14-dev)
[[ " ${stages[*]} " == *" valgrind "* ]] && needs+=(valgrind)
bash scripts/deps.sh "${needs[@]}"
jobs=$(nproc)

# The ELF tests (label elf, the binary elf_test) read the production link of
# a normal build. The tests that run programs (label program) build plain
# consumers, and the tool's bounds its resident memory far below what a
# sanitizer runtime alone takes; the compile cases (label compile) run no
# code. The instrumented trees leave out the tool and the three labels, but
# for the ELF tests of the exported names, which no instrumentation changes,
# and the Python module, which loads into an interpreter without a sanitizer
# runtime.

# The sanitizer trees build at -O1 with line tables only: what the sanitizers'
# reports need, in half the compile time of -O2 with full debug information.
configure() {
  local dir=$1 flags=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEL_WERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DVORNEL_BUILD_PYTHON=OFF "$@" >/dev/null
}

# This tree is where the suite is built by its second compiler, clang++,
# warnings as errors; the normal build is g++'s. The sanitizer runtime is
# linked as a shared library, so that libvornel.so's link still finds every
# symbol it uses, and the test programs find it by their run path.
run_asan() {
  local dir=build-rel-asan
  local flags="-fsanitize=address,undefined -shared-libsan -fno-sanitize-recover=all \
    -fno-omit-frame-pointer"
  configure "$dir" "$flags" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_EXE_LINKER_FLAGS="$flags -Wl,-rpath,$(clang++-14 -print-runtime-dir)" \
    -DVORNEL_BUILD_TOOLS=OFF -DVORNEL_TEST_OPTIONS=-O0
  cmake --build "$dir"
  # The error block is laid out as the runtime's shared count so that the
  # runtime's shared pointers can own it, without being of that class: a test
  # hands it to one on purpose, which the vptr check would call confusion.
  echo 'vptr_check:*16filesystem_error5_Impl5Block*' >"$dir/ubsan.supp"
  # Huge requests must fail as they do natively, with std::bad_alloc.
  local asan=detect_leaks=1:strict_string_checks=1:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$PWD/$dir/ubsan.supp
  ASAN_OPTIONS=$asan:detect_stack_use_after_return=1 \
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" -LE '^(elf|program|compile)$' \
      -E '^FaultSweep\.'
  # The fault sweep throws tens of thousands of exceptions, and every throw
  # with fake stacks costs a dozen times as much: it runs on the real stack,
  # the operations it drives having run on fake stacks in the tests above.
  ASAN_OPTIONS=$asan:detect_stack_use_after_return=0 \
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" -R '^FaultSweep\.'
  # clang++'s library is held to the same exported names and bindings as g++'s.
  ctest --test-dir "$dir" --output-on-failure -R '^Exports\.Are'
}

run_tsan() {
  local dir=build-rel-tsan
  configure "$dir" "-fsanitize=thread -fno-omit-frame-pointer" -DVORNEL_BUILD_TOOLS=OFF
  cmake --build "$dir" --target concurrency_test
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir "$dir" --output-on-failure -R '^Concurrency\.'
}

run_valgrind() {
  local dir=${VALGRIND_BUILD:-build-rel}
  if [[ ! -d $dir/tests ]]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$dir"
  local logs=$dir/valgrind
  rm -rf "$logs" && mkdir -p "$logs"
  local failed=0 binary name errors status ran
  for binary in "$dir"/tests/*_test; do
    name=$(basename "$binary")
    [[ $name == elf_test ]] && continue
    # One log per process: tests that fork report from the child as well.
    # gtest death tests re-run the binary natively (fork, then exec).
    valgrind --tool=memcheck --soname-synonyms=somalloc=nouserintercepts \
      --leak-check=full --show-leak-kinds=definite,indirect,possible \
      --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99 \
      --trace-children=no --log-file="$logs/$name.%p.log" \
      "$binary" --gtest_death_test_style=threadsafe \
      --gtest_death_test_use_fork >"$logs/$name.out" 2>&1 && status=0 || status=$?
    errors=$(cat "$logs/$name".*.log | sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' |
      awk '{ n += $1 } END { print n + 0 }')
    ran=$(grep -o '[0-9]* tests\? from [0-9]* test suites\? ran' "$logs/$name.out" || true)
    echo "valgrind: $name: $ran, $errors errors in $(ls "$logs/$name".*.log | wc -l) processes"
    if ((errors || status)); then
      cat "$logs/$name".*.log && tail -30 "$logs/$name.out"
      failed=1
    fi
  done
  return $failed
}

run_replay() {
  bash fuzz/run.sh replay build-rel-fuzz
}

passed=0 failed=0
for stage in "${stages[@]}"; do
  echo "=== reliability: $stage"
  start=$SECONDS
  # A subshell outside any condition, so that a failing command ends the stage.
  set +e
  (set -e; "run_$stage")
  status=$?
  set -e
  if ((status == 0)); then
    passed=$((passed + 1))
    echo "=== reliability: $stage passed in $((SECONDS - start)) s"
  else
    failed=$((failed + 1))
    echo "=== reliability: $stage FAILED after $((SECONDS - start)) s"
  fi
done
echo "reliability: $passed passed, $failed failed"
((failed == 0))
