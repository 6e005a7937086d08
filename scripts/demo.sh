#!/usr/bin/env bash
# Installs what the build needs, builds libvornel.so, its tests, vornel-path
# and the Python package, and shows the tool and the package on a few
# telling paths.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build"

# The tool maps the build's empty stand-ins for the library's needed CUDA and
# HIP libraries itself: no environment needed.
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
show relative a/../b a
show relative ../a b
show parent /usr/lib/libc.so.6
show stem archive.tar.gz
show parts 'usr/lib/'
show normal 'usr/lib/'
show compare 'usr//lib/' 'usr/lib/'
show join /opt tool lib /etc passwd
show replace-extension .md 'notes/draft.txt'
show --json normal "$(printf 'caf\xc3\xa9\xff/x/../y')"
show --json relative /srv /srv/www /opt

# The Python package, for the interpreter the build was made for.
if [[ -d $build/python/vornel ]]; then
  echo
  echo "vornel for Python: the library's answers, for one path or a million"
  PYTHONPATH=$build/python "$(sed -n 's/^Python3_EXECUTABLE:FILEPATH=//p' "$build/CMakeCache.txt")" - <<'PY'
import vornel
for line in ['vornel.Path("src/lib/../include/./fs_path").lexically_normal()',
             'list(vornel.Path("/usr//lib/"))',
             'vornel.normal(["a/./b/..", b"x//y/./", "../a/.."])',
             'vornel.relative(["/srv/www/index.html", "/etc/passwd"], "/srv/data")',
             'vornel.proximate(["/srv/www/index.html", "b"], "/srv/data")',
             'vornel.Path("a/b/").parent_path(), vornel.Path("a//b") == vornel.Path("a/b")']:
    print(f"\n>>> {line}\n{eval(line)!r}")
PY
fi
