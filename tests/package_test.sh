#!/usr/bin/env bash
# The package as its users meet it, in three routes: a parent project that
# adds the source tree with add_subdirectory; an install into a temporary
# prefix, with its loader identity, tool, man page and completion, and
# consumers built against it with find_package and pkg-config; and the .debs
# and tarball that cpack makes, unpacked into temporary roots. Each route
# builds examples/main.cc with and without the stand-ins, and scans the run
# paths of what it builds, installs or unpacks. A program that opts in must
# start from / under env -i, bind the route's libvornel.so and map the
# route's stand-ins even with decoys on LD_LIBRARY_PATH, which end the
# process if loaded; a program that does not must load the decoy CUDA runtime.
# Usage: package_test.sh subdirectory|install|packages SOURCE_DIR BUILD_DIR VERSION
# CC and CXX name the compilers.
set -euo pipefail
route=$1 source_dir=$2 build_dir=$3 version=$4
cc=${CC:-cc} cxx=${CXX:-c++}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stand_in_names=(libcudart.so.12 libtorch_hip.so libstratahip.so.5)
packages=(libvornel libvornel-dev vornel-path)
python_dir=$build_dir/python/vornel
[[ ! -d $python_dir ]] || packages+=(python3-vornel)

fail() { echo "FAIL: $*" >&2; exit 1; }
quietly() {  # runs a command, showing its output only if it fails
  "$@" > "$work/log" 2>&1 || { cat "$work/log"; fail "$*"; }
}

# Decoys where a real CUDA, HIP or torch library would be found: loading one
# writes what the process has mapped to descriptor 3 and ends it with status
# 99. The probe, preloaded, writes the same at a normal exit.
mkdir "$work/decoy"
cat > "$work/maps.c" <<'EOF'
#include <fcntl.h>
#include <unistd.h>
static void write_maps(void) {
  char buf[4096];
  ssize_t n;
  int fd = open("/proc/self/maps", O_RDONLY);
  while ((n = read(fd, buf, sizeof buf)) > 0) write(3, buf, n);
}
#ifdef DECOY
__attribute__((constructor)) static void decoy(void) { write_maps(); _exit(99); }
#else
__attribute__((destructor)) static void probe(void) { write_maps(); }
#endif
EOF
for name in "${stand_in_names[@]}"; do
  "$cc" -shared -fPIC -DDECOY -o "$work/decoy/$name" "$work/maps.c" -Wl,-soname,$name
done
"$cc" -shared -fPIC -o "$work/probe.so" "$work/maps.c"

# Runs a program from / under env -i, with the decoys and the probe; its
# output goes to $work/out and the objects it mapped to $work/mapped.
run_watched() {
  local status=0
  (cd / && env -i LD_LIBRARY_PATH="$work/decoy" LD_PRELOAD="$work/probe.so" "$@" \
     > "$work/out" 3> "$work/maps") || status=$?
  awk '$6 ~ /\.so/ { print $6 }' "$work/maps" | sort -u > "$work/mapped"
  return $status
}
mapped() { grep -qxF "$(realpath "$1")" "$work/mapped"; }

# The example's report: the normal form of its default path, and the library
# file that served it.
expect_report() {  # OUTPUT LIBRARY
  grep -qxF 'normal:      /usr/include/fs_path' <<< "$1" || fail "wrong result: $1"
  local used=${1##*library:     }
  [[ "$(realpath "$used")" == "$(realpath "$2")" ]] || fail "bound $used, not $2"
}

# A program that opts in starts with no environment, and with the decoys maps
# LIBRARY and the stand-ins of STAND_INS, and no decoy.
check_opted_in() {  # PROGRAM LIBRARY STAND_INS
  local out
  out=$(cd / && env -i "$1") || fail "$1 failed under env -i"
  expect_report "$out" "$2"
  run_watched "$1" || fail "$1 failed with decoys on LD_LIBRARY_PATH: $(cat "$work/out")"
  expect_report "$(cat "$work/out")" "$2"
  check_mapped "$2" "$3"
}
check_mapped() {  # LIBRARY STAND_INS
  local name
  mapped "$1" || fail "$1 not mapped: $(cat "$work/mapped")"
  for name in "${stand_in_names[@]}"; do
    mapped "$2/$name" || fail "$name not mapped from $2: $(cat "$work/mapped")"
  done
  ! grep -qF "$work/decoy" "$work/mapped" || fail "a decoy was mapped: $(cat "$work/mapped")"
}

# A program that does not opt in loads libcudart.so.12 as the loader finds
# it: here the decoy.
check_default() {  # PROGRAM LIBRARY
  local status=0
  run_watched "$1" || status=$?
  [[ $status == 99 ]] || fail "$1 gave status $status, not the decoy's 99"
  mapped "$work/decoy/libcudart.so.12" || fail "$1 did not map the decoy: $(cat "$work/mapped")"
  mapped "$2" || fail "$1 did not map $2: $(cat "$work/mapped")"
}

# The find_package consumer, built from examples/ against PREFIX.
check_cmake_consumer() {  # PREFIX LIBRARY STAND_INS TARGETS...
  local prefix=$1 library=$2 stand_ins=$3
  shift 3
  quietly cmake -S "$source_dir/examples" -B "$work/cmake-consumer" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix"
  quietly cmake --build "$work/cmake-consumer" --target "$@"
  check_opted_in "$work/cmake-consumer/vornel-example-stand-ins" "$library" "$stand_ins"
  if [[ -e $work/cmake-consumer/vornel-example ]]; then
    check_default "$work/cmake-consumer/vornel-example" "$library"
  fi
  rm -rf "$work/cmake-consumer"
}

# The pkg-config consumer, built by the README's commands against PREFIX.
build_pc_consumer() {  # PREFIX OUTPUT MODULES...
  local prefix=$1 output=$2
  shift 2
  export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vornel.pc)")
  quietly "$cxx" -std=c++17 "$source_dir/examples/main.cc" -o "$output" \
    $(pkg-config --cflags --libs "$@") -Wl,-rpath,"$(pkg-config --variable=libdir vornel)"
}

# What each package holds below its prefix, and nothing else: the header in
# a folder of its own, the stand-ins in the package's private folder, and in
# each its copyright, changelogs and lintian overrides.
package_files() {  # LIBDIR PACKAGE...
  local libdir=$1 package
  shift
  for package in "$@"; do
    printf './share/%s\n' doc/$package/{copyright,changelog.Debian.gz} lintian/overrides/$package
    [[ ! -e $source_dir/CHANGELOG.md ]] || echo "./share/doc/$package/changelog.gz"
    case $package in
      libvornel)
        printf "./$libdir/%s\n" libvornel.so "${stand_in_names[@]/#/vornel/stand-ins/}" ;;
      libvornel-dev)
        echo ./include/vornel/fs_path
        printf "./$libdir/%s\n" cmake/vornel/vornelConfig{,Version}.cmake pkgconfig/vornel{,-stand-ins}.pc ;;
      vornel-path)
        printf './%s\n' bin/vornel-path share/bash-completion/completions/vornel-path \
          share/man/man1/vornel-path.1.gz ;;
      python3-vornel)
        (cd "$python_dir" && printf './lib/python3/dist-packages/vornel/%s\n' *.py *.pyi *.so py.typed) ;;
    esac
  done | sort
}

# An install tree or the tarball holds the files of all the packages.
check_files() {  # PREFIX LIBDIR
  diff <(cd "$1" && find . -type f -o -type l | sort) <(package_files "$2" "${packages[@]}") ||
    fail "files under $1"
}
check_run_paths() {  # DIR...
  quietly bash "$source_dir/tests/elf_checks.sh" run-paths "$@"
}

# The installed Python package imports from any folder with no environment
# but PYTHONPATH, and answers from its own module, as built but stripped.
check_python() {  # PREFIX
  [[ -d $python_dir ]] || return 0
  local site=$1/lib/python3/dist-packages out
  out=$(cd / && env -i PYTHONPATH="$site" python3 -c 'import vornel
print(vornel.Path("a/./b/..").lexically_normal(), vornel.relative(["/x/y"], "/x/z"))
print(vornel._vornel._serving_file())') || fail "import vornel from $site failed"
  [[ ${out%%$'\n'*} == "a/ ['../y']" ]] || fail "the Python package under $1 answered $out"
  [[ $(realpath "${out##*$'\n'}") == "$(realpath "$site"/vornel/_vornel*.so)" ]] ||
    fail "the Python package under $1 is served by ${out##*$'\n'}"
}

# The installed tool has the path operations compiled in: it needs no run
# path, starts anywhere with no environment, answers, and maps neither
# libvornel.so nor a stand-in nor a decoy.
check_tool() {  # PREFIX
  local tool=$1/bin/vornel-path out
  ! readelf -d "$tool" | grep -q PATH || fail "tool run path: $(readelf -d "$tool" | grep PATH)"
  run_watched "$tool" normal a/../b || fail "the installed tool failed: $(cat "$work/out")"
  [[ "$(cat "$work/out")" == b ]] || fail "installed tool: normal a/../b gave $(cat "$work/out")"
  ! grep -E "libvornel|$(IFS='|'; echo "${stand_in_names[*]}")" "$work/mapped" ||
    fail "the installed tool mapped a library it must not"
  out=$(env -i "$tool" --version)
  [[ ${out%%$'\n'*} == "vornel-path $version" ]] || fail "--version: $out"
  [[ "$(realpath "${out##*path operations: }")" == "$(realpath "$tool")" ]] || fail "--version: $out"
}

route_subdirectory() {
  local parent=$work/parent
  quietly cmake -S "$source_dir/tests/add_subdirectory" -B "$parent" -G Ninja \
    -DVORNEL_SOURCE_DIR="$source_dir"
  quietly cmake --build "$parent"
  check_opted_in "$parent/examples/vornel-example-stand-ins" "$parent/vornel/libvornel.so" \
    "$parent/vornel/stand-ins"
  check_default "$parent/examples/vornel-example" "$parent/vornel/libvornel.so"
  check_run_paths "$parent"
  # The parent installs nothing of the library unless it asks.
  quietly cmake --install "$parent" --prefix "$work/parent-prefix"
  [[ -z "$(find "$work/parent-prefix" -type f 2> /dev/null)" ]] ||
    fail "the parent installed $(find "$work/parent-prefix" -type f)"
}

route_install() {
  local prefix=$work/prefix lib libdir
  quietly cmake --install "$build_dir" --prefix "$prefix"
  lib=$(find "$prefix" -name libvornel.so)
  libdir=$(dirname "${lib#"$prefix"/}")
  check_files "$prefix" "$libdir"
  # Byte for byte as built, so with the loader identity elf_test checks.
  cmp -s "$lib" "$build_dir/libvornel.so" || fail "the installed library differs from the built one"
  check_tool "$prefix"
  check_python "$prefix"
  check_run_paths "$prefix"

  local tool=$prefix/bin/vornel-path page commands offered
  page=$(man -l "$prefix/share/man/man1/vornel-path.1.gz" 2> "$work/man.err") || fail "man -l failed"
  [[ ! -s $work/man.err ]] || fail "man -l: $(cat "$work/man.err")"
  grep -q 'vornel-path - lexical operations on POSIX paths' <<< "$page" || fail "man page: $page"
  commands=$("$tool" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
  offered=$(bash -c 'source "$1"; COMP_WORDS=(vornel-path ""); COMP_CWORD=1; _vornel_path
                     printf "%s\n" "${COMPREPLY[@]}"' _ "$prefix/share/bash-completion/completions/vornel-path")
  [[ "$(sort <<< "$commands")" == "$(sort <<< "$offered")" ]] ||
    fail "completion offers $offered for the commands $commands"

  check_cmake_consumer "$prefix" "$lib" "$prefix/$libdir/vornel/stand-ins" \
    vornel-example vornel-example-stand-ins
  build_pc_consumer "$prefix" "$work/pc-example" vornel
  check_default "$work/pc-example" "$lib"
  build_pc_consumer "$prefix" "$work/pc-example-stand-ins" vornel-stand-ins
  check_opted_in "$work/pc-example-stand-ins" "$lib" "$prefix/$libdir/vornel/stand-ins"
}

# The .debs pass lintian, hold their own files and, unpacked together, the
# tarball's byte for byte: stripped, with the library's loader identity as
# built.
route_packages() {
  quietly cpack --config "$build_dir/CPackConfig.cmake" -B "$work/packages"
  local debs=() package deb_version
  for package in "${packages[@]}"; do
    debs+=("$(echo "$work/packages/${package}_${version}"-*_amd64.deb)")
    [[ -f ${debs[-1]} ]] || fail "no .deb for $package: $(ls "$work/packages")"
  done
  quietly lintian --fail-on error,warning "${debs[@]}"
  deb_version=$(dpkg-deb -f "${debs[0]}" Version)
  dpkg-deb -f "${debs[0]}" Depends | grep -q '^libc6 (>= 2\.[0-9]*), libstdc++6' ||
    fail "libvornel dependencies: $(dpkg-deb -f "${debs[0]}" Depends)"
  [[ "$(dpkg-deb -f "${debs[1]}" Depends)" == "libvornel (= $deb_version)" ]] ||
    fail "libvornel-dev dependencies: $(dpkg-deb -f "${debs[1]}" Depends)"

  mkdir "$work/deb" "$work/tar"
  for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$work/deb"; done
  tar -xzf "$work/packages/vornel-$version-Linux.tar.gz" -C "$work/tar"
  local deb_prefix=$work/deb/usr tar_prefix=$work/tar/vornel-$version-Linux lib libdir i
  lib=$(find "$deb_prefix" -name libvornel.so)
  libdir=$(dirname "${lib#"$deb_prefix"/}")
  for i in "${!packages[@]}"; do
    diff <(dpkg-deb -c "${debs[i]}" | awk '$1 !~ /^d/ { sub(/^\.\/usr/, ".", $6); print $6 }' | sort) \
      <(package_files "$libdir" "${packages[i]}") || fail "files of ${debs[i]}"
  done
  diff -r "$deb_prefix" "$tar_prefix" || fail "the tarball differs from the .debs"
  quietly env VORNEL_LIBRARY="$lib" "$build_dir/tests/elf_test"
  check_run_paths "$work/deb" "$work/tar"
  for prefix in "$deb_prefix" "$tar_prefix"; do
    check_tool "$prefix"
    check_python "$prefix"
  done
  build_pc_consumer "$deb_prefix" "$work/deb-example" vornel-stand-ins
  check_opted_in "$work/deb-example" "$lib" "$(dirname "$lib")/vornel/stand-ins"
  lib=$(find "$tar_prefix" -name libvornel.so)
  check_cmake_consumer "$tar_prefix" "$lib" "$(dirname "$lib")/vornel/stand-ins" \
    vornel-example-stand-ins
}

"route_$route"
echo "package test passed: $route"
