#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that the installed
# library kept its loader identity and that no stand-in came along, then
# builds the example consumer with find_package and with pkg-config and runs
# both against the installed library.
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
strays=$(find "$prefix" -name 'libcudart*' -o -name 'libtorch_hip*' -o -name 'libstratahip*' -o -name 'libpthread*')
[[ -z $strays ]] || fail "stand-ins installed: $strays"
tool_identity=$(identity "$prefix/bin/vornel-path")
grep -qF '[$ORIGIN/../lib]' <<< "$tool_identity" || fail "tool run path: $tool_identity"
! grep -qF "$build_dir" <<< "$tool_identity" || fail "tool keeps the build tree: $tool_identity"
! grep -q 'libcudart\|stratahip\|torch' <<< "$tool_identity" || fail "tool needs stand-ins: $tool_identity"

export LD_LIBRARY_PATH=$stand_ins
real_lib=$(realpath "$lib")
expect_ours() {  # program output: the example must bind the installed library
  local out=$1
  grep -qxF 'normal:      /usr/include/fs_path' <<< "$out" || fail "wrong result: $out"
  local used=${out##*library:     }
  [[ "$(realpath "$used")" == "$real_lib" ]] || fail "bound $used, not $real_lib"
}

out=$("$prefix/bin/vornel-path" --version)
[[ "$(realpath "${out##*library: }")" == "$real_lib" ]] || fail "installed tool uses ${out##*library: }"
[[ "$("$prefix/bin/vornel-path" relative /a/b/c /a/d)" == "../../d" ]] || fail "installed tool result"

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
