#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that the installed
# library kept its loader identity, that the installed tool starts with no
# environment and maps only its private stand-ins, that its man page renders
# and its completion offers its commands, then builds the example consumer
# with find_package and with pkg-config and runs both against the installed
# library.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR STAND_IN_DIR
set -euo pipefail
source_dir=$1 build_dir=$2 stand_ins=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "FAIL: $*" >&2; exit 1; }
identity() { readelf -d "$1" | grep -E '\((SONAME|NEEDED|RUNPATH|RPATH)\)' | sed 's/^ *0x[0-9a-f]* *//'; }

cmake --install "$build_dir" --prefix "$prefix" > "$work/install.log"

lib=$prefix/lib/libvornel.so
[[ -f $lib ]] || fail "libvornel.so not installed"
[[ -f $prefix/include/fs_path ]] || fail "fs_path not installed"
[[ -x $prefix/bin/vornel-path ]] || fail "vornel-path not installed"
[[ "$(identity "$lib")" == "$(identity "$build_dir/libvornel.so")" ]] ||
  fail "installed library's loader identity differs: $(identity "$lib")"
for want in 'Library soname: [libvornel.so]' \
            'Library runpath: [/usr/local/lib:/usr/local/lib/python3.11/site-packages/torch/lib]'; do
  identity "$lib" | grep -qF "$want" || fail "installed library lacks $want"
done
cmp -s "$lib" "$build_dir/libvornel.so" || fail "installed library differs from the built one"
private=$prefix/lib/vornel/stand-ins
strays=$(find "$prefix" \( -name 'libcudart*' -o -name 'libtorch_hip*' -o -name 'libstratahip*' \
  -o -name 'libpthread*' \) -not -path "$private/*")
[[ -z $strays ]] || fail "stand-ins outside the tool's private directory: $strays"
tool=$prefix/bin/vornel-path
tool_path=$(identity "$tool" | grep PATH)
[[ $tool_path == '(RPATH)'*'[$ORIGIN/../lib/vornel/stand-ins:$ORIGIN/../lib]' ]] || fail "tool run path: $tool_path"

# Decoys where a real CUDA or HIP library would be found: loading one ends
# the process.
mkdir "$work/decoy"
echo '__attribute__((constructor)) static void f(void) { _exit(99); }' > "$work/decoy.c"
for name in libcudart.so.12 libtorch_hip.so libstratahip.so.5; do
  gcc -shared -fPIC -include unistd.h -o "$work/decoy/$name" "$work/decoy.c" -Wl,-soname,$name
done
coproc TOOL { exec env -i LD_LIBRARY_PATH="$work/decoy" "$tool" normal; }
tool_pid=$TOOL_PID
echo a/../b >&"${TOOL[1]}"
read -r -t 10 answer <&"${TOOL[0]}" || fail "the installed tool gave no answer"
[[ $answer == b ]] || fail "installed tool: normal a/../b gave $answer"
mapped=$(awk '$6 ~ /\.so/ { print $6 }' "/proc/$tool_pid/maps" | sort -u)
exec {TOOL[1]}>&-
wait "$tool_pid" || fail "installed tool failed"
for name in libcudart.so.12 libtorch_hip.so libstratahip.so.5; do
  grep -qxF "$private/$name" <<< "$mapped" || fail "$name not mapped from $private: $mapped"
done
grep -qxF "$(realpath "$lib")" <<< "$mapped" || fail "libvornel.so not mapped from $prefix: $mapped"
! grep -qF "$work/decoy" <<< "$mapped" || fail "a decoy was mapped: $mapped"

[[ "$(env -i "$tool" relative a/../b a)" == ../a ]] || fail "relative a/../b a"
env -i "$tool" relative ../a b > /dev/null && fail "relative ../a b found a relative path"
[[ $? == 1 ]] || fail "relative ../a b: exit status $?"

page=$(man -l "$prefix/share/man/man1/vornel-path.1" 2> "$work/man.err") || fail "man -l failed"
[[ ! -s $work/man.err ]] || fail "man -l: $(cat "$work/man.err")"
grep -q 'vornel-path - lexical operations on POSIX paths' <<< "$page" || fail "man page: $page"
commands=$("$tool" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
offered=$(bash -c 'source "$1"; COMP_WORDS=(vornel-path ""); COMP_CWORD=1; _vornel_path
                   printf "%s\n" "${COMPREPLY[@]}"' _ "$prefix/share/bash-completion/completions/vornel-path")
[[ "$(sort <<< "$commands")" == "$(sort <<< "$offered")" ]] ||
  fail "completion offers $offered for the commands $commands"

export LD_LIBRARY_PATH=$stand_ins
real_lib=$(realpath "$lib")
expect_ours() {  # program output: the example must bind the installed library
  local out=$1
  grep -qxF 'normal:      /usr/include/fs_path' <<< "$out" || fail "wrong result: $out"
  local used=${out##*library:     }
  [[ "$(realpath "$used")" == "$real_lib" ]] || fail "bound $used, not $real_lib"
}

out=$(env -i "$tool" --version)
[[ "$(realpath "${out##*library: }")" == "$real_lib" ]] || fail "installed tool uses ${out##*library: }"

cmake -S "$source_dir/examples" -B "$work/cmake-build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log" || { cat "$work/configure.log"; fail "find_package"; }
cmake --build "$work/cmake-build" > "$work/build.log" 2>&1 || { cat "$work/build.log"; fail "cmake build"; }
expect_ours "$("$work/cmake-build/vornel-example")"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
flags=$(pkg-config --cflags --libs vornel) || fail "pkg-config"
g++ -std=c++17 "$source_dir/examples/main.cc" -o "$work/pc-example" $flags \
  -Wl,-rpath,"$(pkg-config --variable=libdir vornel)" -ldl 2> "$work/pc.log" ||
  { cat "$work/pc.log"; fail "pkg-config build"; }
expect_ours "$("$work/pc-example")"
echo "install test passed: $prefix"
