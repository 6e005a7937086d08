"""On 100,000 random paths, each batch function gives, byte for byte, what
the Path method (the library's member) gives, and what vornel-path gives
with --lexical."""
import os
import random
import subprocess

import pytest

import vornel
from vornel import Path

TOOL = os.environ.get("VORNEL_PATH_TOOL")
pytestmark = pytest.mark.skipif(not TOOL, reason="vornel-path is not built")

PIECES = [b"/", b"/", b"//", b".", b"..", b"a", b"bc", b"d.e", b".f", b"g.", b"\xff", b"\xc3\xa9",
          b"x" * 20, b"\n"]
rng = random.Random(20240611)
PATHS = [b"".join(rng.choice(PIECES) for _ in range(rng.randint(0, 14))) for _ in range(100_000)]
BASES = [b"", b"/", b"a/bc", b"/a/../d.e/", b"a/./bc/.."]


def tool(*args, paths):
    result = subprocess.run([TOOL, "-0", *args], input=b"".join(p + b"\0" for p in paths),
                            capture_output=True, timeout=120)
    assert result.returncode in (0, 1), result.stderr
    return result.stdout.split(b"\0")[:-1]


@pytest.mark.parametrize("batch, method, command", [
    (vornel.normal, Path.lexically_normal, "normal"),
    (vornel.parent, Path.parent_path, "parent"),
    (vornel.filename, Path.filename, "filename"),
    (vornel.stem, Path.stem, "stem"),
    (vornel.extension, Path.extension, "extension")])
def test_parts_and_normal_forms_agree(batch, method, command):
    got = batch(PATHS)
    assert got == [bytes(method(Path(p))) for p in PATHS]
    assert got == tool(command, paths=PATHS)
    assert batch([os.fsdecode(p) for p in PATHS]) == [os.fsdecode(a) for a in got]


@pytest.mark.parametrize("base", BASES)
def test_relative_and_proximate_forms_agree(base):
    paths = PATHS[: len(PATHS) // len(BASES)]
    for batch, method, command in ((vornel.relative, Path.lexically_relative, "relative"),
                                   (vornel.proximate, Path.lexically_proximate, "proximate")):
        got = batch(paths, base)
        assert got == [bytes(method(Path(p), base)) for p in paths]
        assert got == tool("--lexical", command, base, paths=paths)


def test_joins_agree():
    for start in range(0, 2000, 4):
        parts = PATHS[start:start + 4]
        folded = Path(parts[0])
        for part in parts[1:]:
            folded = folded / part
        assert vornel.join(parts) == bytes(folded) == tool("join", paths=parts)[0]
