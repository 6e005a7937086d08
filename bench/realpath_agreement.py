#!/usr/bin/env python3
"""How often `vornel-path relative BASE PATH` agrees with
`realpath -s -m --relative-to=BASE PATH` on random pairs with "." and ".."
mixed in. Where the tool finds no relative path, realpath is run from two
working directories that share no name: its two answers must then differ,
or the text alone would have decided. (The two differ in depth too, so that
relating a relative path to an absolute one depends on which.) Then how
often `vornel-path absolute PATH` agrees with `realpath -s -m PATH`, both
run in the same directory, on as many random paths.

Usage: bench/realpath_agreement.py [BUILD_DIR] [PAIRS]"""
import os
import random
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else "build"
pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 200_000
tool = os.path.join(build, "tools", "vornel-path")
rng = random.Random(2026)
PER_BASE = 100


def some_path():
    names = [rng.choice(["a", "b", "c", "d", ".", ".."]) for _ in range(rng.randint(1, 6))]
    text = rng.choice(["/", "", "", ""]) + rng.choice(["/"] * 9 + ["//"]).join(names)
    return text + ("/" if rng.random() < 0.1 else "")


def realpath(cwd, base, paths):
    out = subprocess.run(["realpath", "-s", "-m", "--relative-to", base, "--", *paths],
                         cwd=cwd, capture_output=True, text=True, check=True).stdout
    return out.split("\n")[:-1]


def absolute_agreement(cwd):
    agree = 0
    for _ in range(pairs // PER_BASE):
        paths = [some_path() for _ in range(PER_BASE)]
        ours, theirs = (subprocess.run([*program, "--", *paths], cwd=cwd, capture_output=True,
                                       text=True).stdout.split("\n")[:-1]
                        for program in ([os.path.abspath(tool), "absolute"], ["realpath", "-s", "-m"]))
        for path, mine, expected in zip(paths, ours, theirs):
            agree += mine == expected
            if mine != expected:
                print(f"absolute differs: {path!r}: ours {mine!r}, realpath {expected!r}")
    print(f"{pairs // PER_BASE * PER_BASE} paths made absolute; agree: {agree}")


counts = dict(answered=0, agree=0, differ=0, none=0, none_but_decided=0)
with tempfile.TemporaryDirectory() as tmp:
    cwds = [os.path.join(tmp, *"klmnopqrst"), os.path.join(tmp, *"ABCDEFGHIJKL")]
    for cwd in cwds:
        os.makedirs(cwd)
    for _ in range(pairs // PER_BASE):
        base, paths = some_path(), [some_path() for _ in range(PER_BASE)]
        ours = subprocess.run([tool, "relative", "--", base, *paths], capture_output=True,
                              text=True).stdout.split("\n")[:-1]
        first, second = (realpath(cwd, base, paths) for cwd in cwds)
        for path, mine, theirs, other in zip(paths, ours, first, second):
            if not mine:
                counts["none"] += 1
                counts["none_but_decided"] += theirs == other
            else:
                counts["answered"] += 1
                if mine == theirs:
                    counts["agree"] += 1
                else:
                    counts["differ"] += 1
                    if counts["differ"] <= 10:
                        print(f"differ: base {base!r} path {path!r}: ours {mine!r}, realpath {theirs!r}")

total = counts["answered"] + counts["none"]
print(f"{total} pairs; relative path found for {counts['answered']}, none for {counts['none']}")
for key in ("agree", "differ"):
    print(f"  {key}: {counts[key]} ({100 * counts[key] / max(counts['answered'], 1):.3f}% of answered)")
print(f"  none, though realpath's answer did not depend on the working directory: {counts['none_but_decided']}")
with tempfile.TemporaryDirectory() as tmp:
    cwd = os.path.join(tmp, *"uvwxyz")
    os.makedirs(cwd)
    absolute_agreement(cwd)
