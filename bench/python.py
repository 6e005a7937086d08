"""The Python package against os.path and pathlib, on the two inputs of
bench/inputs.py (COUNT paths each). Each pair runs in turn, three times, and
each side's least CPU time counts: builds may share the machine, and the
ratio is taken within one run. Prints a table per input with each ratio and
the least it must be; exits 1 if one falls short.

  python3 bench/python.py [BUILD_DIR] [COUNT]

The package is taken from BUILD_DIR/python (default build/python) where
that exists, else from where the interpreter finds it."""
import gc
import os
import pathlib
import posixpath
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inputs  # noqa: E402

build = sys.argv[1] if len(sys.argv) > 1 else "build"
count = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
if os.path.isdir(os.path.join(build, "python", "vornel")):
    sys.path.insert(0, os.path.join(build, "python"))
import vornel  # noqa: E402


def cpu_seconds(run):
    gc.collect()
    start = time.process_time()
    run()
    return time.process_time() - start


# (ours, peer, the least ratio), each side a label and a function of
# (paths, base).
PAIRS = [
    (("vornel.normal(paths)", lambda paths, base: vornel.normal(paths)),
     ("[os.path.normpath(p) for p in paths]",
      lambda paths, base: [posixpath.normpath(p) for p in paths]), 3),
    (("vornel.relative(paths, BASE)", lambda paths, base: vornel.relative(paths, base)),
     ("[os.path.relpath(p, BASE) for p in paths]",
      lambda paths, base: [posixpath.relpath(p, base) for p in paths]), 20),
    (("vornel.parent(paths)", lambda paths, base: vornel.parent(paths)),
     ("[os.path.dirname(p) for p in paths]",
      lambda paths, base: [posixpath.dirname(p) for p in paths]), 2),
    (("vornel.filename(paths)", lambda paths, base: vornel.filename(paths)),
     ("[os.path.basename(p) for p in paths]",
      lambda paths, base: [posixpath.basename(p) for p in paths]), 2),
    (("[vornel.Path(p).parent_path() for p in paths]",
      lambda paths, base: [vornel.Path(p).parent_path() for p in paths]),
     ("[PurePosixPath(p).parent for p in paths]",
      lambda paths, base: [pathlib.PurePosixPath(p).parent for p in paths]), 3),
]


def table(name, paths, base):
    size = sum(len(p) for p in paths)
    print(f"\n{name}: {len(paths):,} paths, {size:,} characters; BASE={base}")
    print("CPU seconds, least of three runs taken in turn with the other side\n")
    print("| vornel | s | ns/path | other | s | ns/path | other / vornel | at least |")
    print("|---|---:|---:|---|---:|---:|---:|---|")
    met = True
    for (ours, run_ours), (peer, run_peer), least in PAIRS:
        best_ours = best_peer = float("inf")
        for _ in range(3):
            best_ours = min(best_ours, cpu_seconds(lambda: run_ours(paths, base)))
            best_peer = min(best_peer, cpu_seconds(lambda: run_peer(paths, base)))
        ratio = best_peer / max(best_ours, 1e-9)
        met &= ratio >= least
        per = 1e9 / len(paths)
        print(f"| `{ours}` | {best_ours:.2f} | {best_ours * per:.0f} | `{peer}` | "
              f"{best_peer:.2f} | {best_peer * per:.0f} | {ratio:.1f}x | "
              f"{least}x {'met' if ratio >= least else 'MISSED'} |")
    return met


print(f"vornel {vornel.__version__} from {os.path.dirname(vornel.__file__)}, "
      f"Python {sys.version.split()[0]}")
met = table("Generated mix", inputs.mix(count), inputs.BASES["mix"])
met &= table("find /usr, repeated", inputs.usr(count), inputs.BASES["usr"])
sys.exit(0 if met else 1)
