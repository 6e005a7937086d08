"""The module serves every path call from its own code, even where a library
that defines the same names sits in the process's global scope first, and
loads no other library of the project, nor CUDA, HIP or torch."""
import os
import subprocess
import sys

import vornel

DECOY = os.environ["VORNEL_DECOY"]
MODULE = vornel._vornel.__file__
NORMAL = "_ZNKSt10filesystem7__cxx114path16lexically_normalEv"

# Calls of every kind, whose answers the script prints; then the file that
# serves the module's path code, and the libraries the process has mapped.
CALLS = r"""
import ctypes, sys
if sys.argv[1]:
    ctypes.CDLL(sys.argv[1], mode=ctypes.RTLD_GLOBAL)
import vornel
P = vornel.Path
p, q = P("/usr//lib/./x.tar.gz/"), P(b"/usr/share/..")
answers = [getattr(p, name)() for name in dir(p)
           if name[0] != "_" and name not in ("compare", "concat", "lexically_proximate",
                                              "lexically_relative", "replace_filename")]
answers += [p.compare(q), p.compare("/usr"), p.concat("x"), p.lexically_relative(q),
            p.lexically_proximate("a"), p.replace_filename("y"), p.replace_extension(".z"),
            p / "z", "a" / q, list(p), hash(p), p == q, p < q, str(q), bytes(q), repr(p)]
paths = ["a/./b/..", b"/x//y/", "../a/.", "/usr/lib/libc.so.6", "x" * 70 + "/../.."]
for batch in (vornel.normal, vornel.parent, vornel.filename, vornel.stem, vornel.extension):
    answers.append(batch(paths))
answers += [vornel.relative(paths, "/x"), vornel.proximate(paths, "a"), vornel.join(["a", "b"])]
print(answers)
print(vornel._vornel._serving_file())
print(sorted({line.split()[-1] for line in open("/proc/self/maps") if ".so" in line}))
"""


def run(*args):
    return subprocess.run([sys.executable, *args], capture_output=True, text=True, cwd="/",
                          env={"PYTHONPATH": os.environ["PYTHONPATH"]}, timeout=60)


def test_the_decoy_serves_the_names_it_defines():
    script = (f"import ctypes; ctypes.CDLL({DECOY!r}, mode=ctypes.RTLD_GLOBAL); "
              f"ctypes.CDLL(None).{NORMAL}()")
    assert run("-c", script).returncode == 99


def test_every_call_is_served_by_the_module_with_the_decoy_loaded_first():
    alone, decoyed = run("-c", CALLS, ""), run("-c", CALLS, DECOY)
    assert alone.returncode == 0, alone.stderr
    assert decoyed.returncode == 0, decoyed.stderr
    assert decoyed.stdout.split("\n")[:2] == alone.stdout.split("\n")[:2]
    assert os.path.realpath(alone.stdout.split("\n")[1]) == os.path.realpath(MODULE)
    mapped = alone.stdout.split("\n")[2]
    for name in ("libvornel", "cuda", "hip", "torch", "stand-ins"):
        assert name not in mapped


def test_the_module_exports_its_init_alone_and_needs_only_the_runtimes():
    dynamic = subprocess.run(["nm", "-D", MODULE], capture_output=True, text=True).stdout
    defined = [line.split()[-1] for line in dynamic.splitlines() if line.split()[-2] in "TDBRVW"]
    assert defined == ["PyInit__vornel"]
    assert "St10filesystem" not in dynamic
    elf = subprocess.run(["readelf", "-d", MODULE], capture_output=True, text=True).stdout
    needed = {line.split("[")[1].rstrip("]") for line in elf.splitlines() if "(NEEDED)" in line}
    assert needed <= {"libstdc++.so.6", "libm.so.6", "libgcc_s.so.1", "libc.so.6"}
    assert "RPATH" not in elf and "RUNPATH" not in elf
