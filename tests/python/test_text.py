"""Paths as text: str in gives str out as os.fsdecode gives it, bytes in
gives bytes out, any byte string survives, arguments that are no path are a
TypeError, and an unchanged path is the caller's own object."""
import concurrent.futures
import os
import pathlib
import pickle
import random

import pytest

import vornel
from vornel import Path

BATCHES = [vornel.normal, vornel.parent, vornel.filename, vornel.stem, vornel.extension,
           lambda paths: vornel.relative(paths, b"a/\xff"),
           lambda paths: vornel.proximate(paths, "a/\udcff")]


def random_bytes(rng, count):
    alphabet = [b"/", b".", b"..", b"a", b"\x00", b"\xff", b"\xc3\xa9", b"\xed\xa0\x80", b"\n"]
    return [b"".join(rng.choice(alphabet) for _ in range(rng.randint(0, 12)))
            for _ in range(count)]


def test_any_byte_string_survives_as_bytes_and_as_str():
    paths = random_bytes(random.Random(7), 3000)
    for path in paths:
        assert bytes(Path(path)) == path and os.fspath(Path(path)) == path
        assert os.fsencode(str(Path(os.fsdecode(path)))) == path
    for batch in BATCHES:
        assert batch([os.fsdecode(p) for p in paths]) == [os.fsdecode(a) for a in batch(paths)]
    for a, b in zip(paths, reversed(paths)):
        assert Path(a).lexically_relative(b) == Path(os.fsdecode(a)).lexically_relative(b)


def test_path_likes_give_their_own_kind():
    class BytesPath:
        def __fspath__(self):
            return b"x/y.c"

    assert vornel.stem([pathlib.PurePosixPath("/a/b.c"), BytesPath()]) == ["b", b"y"]
    assert os.fspath(Path(BytesPath()).parent_path()) == b"x"
    assert Path(Path("a")) == Path("a") and os.fspath(vornel.Path()) == ""
    assert vornel.normal([Path(b"a/./b")]) == [b"a/b"]


def test_a_nul_byte_is_kept():
    assert str(Path("a\0b/c\0").parent_path()) == "a\0b"
    assert vornel.filename(["a/b\0c"]) == ["b\0c"]


@pytest.mark.parametrize("call", [
    lambda: Path(1), lambda: Path(None), lambda: vornel.normal([None]),
    lambda: vornel.relative(["a"], 3), lambda: Path("a") / None])
def test_what_is_no_path_is_a_type_error(call):
    with pytest.raises(TypeError, match="str, bytes or os.PathLike|unsupported operand"):
        call()


def test_batches_refuse_one_path_and_mixed_joins():
    with pytest.raises(TypeError, match="iterable of paths, not one path"):
        vornel.normal("a/b")
    with pytest.raises(TypeError, match="mix"):
        vornel.join(["a", b"b"])
    with pytest.raises(TypeError):
        Path("a") < "a"


def test_an_unchanged_path_is_the_callers_own_object():
    text = "/usr/lib/x86_64-linux-gnu/libc.so.6"
    assert vornel.normal([text])[0] is text
    assert vornel.filename(["libc.so.6"])[0] == "libc.so.6"
    assert vornel.proximate([text], "a")[0] is text


def test_a_path_is_an_immutable_value():
    p = Path("/srv//www/")
    assert pickle.loads(pickle.dumps(p)) == p and repr(p) == "vornel.Path('/srv//www/')"
    assert {p: 1}[Path("/srv/www/")] == 1
    with pytest.raises((AttributeError, TypeError)):
        p.x = 1


def test_batches_in_threads_give_the_answers_of_one():
    paths = [os.fsdecode(p) for p in random_bytes(random.Random(3), 20000)]
    want = [vornel.normal(paths), vornel.relative(paths, "a/b")]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        runs = [pool.submit(lambda: [vornel.normal(paths), vornel.relative(paths, "a/b")])
                for _ in range(8)]
        assert all(run.result() == want for run in runs)
