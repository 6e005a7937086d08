"""The two inputs of the throughput benchmarks, the tool's and the Python
package's: a generated mix of absolute paths with '.', '..', doubled and
trailing separators, and the real paths of this machine (`find /usr`,
repeated), each with the base that relative forms are taken against.

  python3 bench/inputs.py mix|usr COUNT    writes COUNT paths, one a line"""
import os
import random
import subprocess
import sys

BASES = {"mix": "/srv/projects/app/build/debug", "usr": "/usr/lib/x86_64-linux-gnu"}
WORDS = ["srv", "projects", "app", "build", "debug", "release", "src", "lib", "include",
         "obj", "x86_64", "tests", "data", "cache", "main.cc", "util.h", "libapp.so.1"]


def mix(count):
    rng = random.Random(20240611)
    paths = []
    for _ in range(count):
        parts = []
        for _ in range(rng.randint(3, 9)):
            r = rng.random()
            parts.append("." if r < 0.08 else ".." if r < 0.16 else rng.choice(WORDS))
        sep = "//" if rng.random() < 0.1 else "/"
        paths.append("/" + sep.join(parts) + ("/" if rng.random() < 0.1 else ""))
    return paths


def usr(count):
    found = subprocess.run(["find", "/usr"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    names = [os.fsdecode(line) for line in found.stdout.split(b"\n")[:-1]]
    return [names[i % len(names)] for i in range(count)]


if __name__ == "__main__":
    out = sys.stdout.buffer
    for path in {"mix": mix, "usr": usr}[sys.argv[1]](int(sys.argv[2])):
        out.write(os.fsencode(path) + b"\n")
