#!/usr/bin/env python3
"""How vornel-path's answers agree with `realpath -s -m` on random operands
with ".", "..", doubled and trailing separators, absolute and relative, both
programs run in the same working directory (by turns a shallow one, which
some operands climb above, and a deep one):

- `relative BASE PATH` against `realpath -s -m --relative-to=BASE PATH`,
  and how many pairs it refuses (an empty record);
- `is-within DIR PATH` against whether that relative path stays in DIR (is
  "." or does not begin with ".."), in the default mode and with --lexical,
  which may say no where the text cannot tell but never yes wrongly;
- `absolute PATH` against `realpath -s -m PATH`.

Usage: bench/realpath_agreement.py [BUILD_DIR] [PAIRS]"""
import json
import os
import random
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else "build"
pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 200_000
tool = os.path.abspath(os.path.join(build, "tools", "vornel-path"))
rng = random.Random(2026)
PER_BASE = 100


def some_path():
    names = [rng.choice(["a", "b", "c", "d", ".", ".."]) for _ in range(rng.randint(1, 6))]
    text = rng.choice(["/", "", "", ""]) + rng.choice(["/"] * 9 + ["//"]).join(names)
    return text + ("/" if rng.random() < 0.1 else "")


def output(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True).stdout.split("\n")[:-1]


def verdicts(args, cwd):
    return [json.loads(line)["result"] for line in output([tool, "--json", *args], cwd)]


counts = dict.fromkeys(["pairs", "agree", "differ", "refused", "within_agree", "false_yes", "false_no",
                        "lexical_yes", "lexical_false_yes", "paths", "absolute_agree"], 0)
shown = 0


def show(what):
    global shown
    shown += 1
    if shown <= 10:
        print(what)


with tempfile.TemporaryDirectory() as tmp:
    cwds = [os.path.join(tmp, "k"), os.path.join(tmp, *"ABCDEFGHIJ")]
    for cwd in cwds:
        os.makedirs(cwd)
    for batch in range(pairs // PER_BASE):
        cwd = cwds[batch % 2]
        base, paths = some_path(), [some_path() for _ in range(PER_BASE)]
        theirs = output(["realpath", "-s", "-m", "--relative-to", base, "--", *paths], cwd)
        ours = output([tool, "relative", "--", base, *paths], cwd)
        within = verdicts(["is-within", "--", base, *paths], cwd)
        lexical = verdicts(["--lexical", "is-within", "--", base, *paths], cwd)
        for path, expected, mine, inside, lexically in zip(paths, theirs, ours, within, lexical):
            truth = expected == "." or expected.split("/")[0] != ".."
            counts["pairs"] += 1
            counts["refused"] += mine == ""
            counts["agree" if mine == expected else "differ"] += 1
            counts["within_agree"] += inside == truth
            counts["false_yes"] += inside and not truth
            counts["false_no"] += truth and not inside
            counts["lexical_yes"] += lexically
            counts["lexical_false_yes"] += lexically and not truth
            if mine != expected or inside != truth or (lexically and not truth):
                show(f"differ in {cwd}: base {base!r} path {path!r}: relative {mine!r}, realpath {expected!r}, "
                     f"is-within {inside}, --lexical {lexically}")
        paths = [some_path() for _ in range(PER_BASE)]
        for path, mine, expected in zip(paths, output([tool, "absolute", "--", *paths], cwd),
                                        output(["realpath", "-s", "-m", "--", *paths], cwd)):
            counts["paths"] += 1
            counts["absolute_agree"] += mine == expected
            if mine != expected:
                show(f"absolute differs in {cwd}: {path!r}: ours {mine!r}, realpath {expected!r}")

c = counts
print(f"relative: {c['pairs']} pairs; agree {c['agree']} ({100 * c['agree'] / c['pairs']:.3f}%), "
      f"differ {c['differ']}, refused {c['refused']}")
print(f"is-within: agree {c['within_agree']} ({100 * c['within_agree'] / c['pairs']:.3f}%), "
      f"false positives {c['false_yes']}, false negatives {c['false_no']}")
print(f"--lexical is-within: yes for {c['lexical_yes']}, of them wrongly {c['lexical_false_yes']}")
print(f"absolute: {c['paths']} paths; agree {c['absolute_agree']} "
      f"({100 * c['absolute_agree'] / c['paths']:.3f}%)")
