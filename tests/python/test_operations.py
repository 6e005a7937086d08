"""Each operation by the library's rules, through Path's methods and the
batch functions alike, with str and with bytes."""
import os

import pytest

import vornel
from vornel import Path

KINDS = (str, os.fsencode)
BATCH = {"parent_path": vornel.parent, "filename": vornel.filename, "stem": vornel.stem,
         "extension": vornel.extension, "lexically_normal": vornel.normal}

# (method, path, answer): a trailing separator ends the path with an empty
# filename, runs of separators count as one, a root is one "/".
PARTS = [
    ("parent_path", "/usr/lib/libc.so.6", "/usr/lib"),
    ("parent_path", "a/b/", "a/b"),
    ("parent_path", "//a//b", "//a"),
    ("parent_path", "/", "/"),
    ("parent_path", "a", ""),
    ("filename", "/usr/lib/", ""),
    ("filename", "a/..", ".."),
    ("stem", "archive.tar.gz", "archive.tar"),
    ("stem", ".profile", ".profile"),
    ("stem", "..", ".."),
    ("extension", "archive.tar.gz", ".gz"),
    ("extension", "a.", "."),
    ("extension", ".profile", ""),
    ("extension", "dir.d/", ""),
    ("lexically_normal", "a/./b/../c//", "a/c/"),
    ("lexically_normal", "/../a", "/a"),
    ("lexically_normal", "../a/..", ".."),
    ("lexically_normal", "a/..", "."),
    ("lexically_normal", "", ""),
    ("lexically_normal", "///", "/"),
    ("root_directory", "//a", "/"),
    ("root_path", "a/b", ""),
    ("relative_path", "//a//b", "a//b"),
    ("remove_filename", "a/b", "a/"),
    ("remove_filename", "a/", "a/"),
]


@pytest.mark.parametrize("method, text, answer", PARTS)
def test_each_part_is_the_same_from_the_method_and_the_batch(method, text, answer):
    for kind in KINDS:
        assert os.fspath(getattr(Path(kind(text)), method)()) == kind(answer)
        if method in BATCH:
            assert BATCH[method]([kind(text)]) == [kind(answer)]


# (path, base, relative form, proximate form): ".." for each level that the
# base goes down past what they share; none across one root directory or
# where the base climbs above what they share; nothing is normalised.
RELATIONS = [
    ("src/lib", "src/include", "../lib", "../lib"),
    ("/", "/x/y", "../..", "../.."),
    ("a/b/", "a", "b/", "b/"),
    ("a/b", "a/b/c/..", ".", "."),
    ("a//b", "a/b", ".", "."),
    ("", "", ".", "."),
    ("a/x/../b", "a/c", "../x/../b", "../x/../b"),
    ("a", "/a", "", "a"),
    ("b", "../a", "", "b"),
    ("d", "c/../../e", "", "d"),
]


@pytest.mark.parametrize("text, base, relative, proximate", RELATIONS)
def test_relative_and_proximate_forms(text, base, relative, proximate):
    for kind in KINDS:
        assert os.fspath(Path(kind(text)).lexically_relative(kind(base))) == kind(relative)
        assert os.fspath(Path(kind(text)).lexically_proximate(kind(base))) == kind(proximate)
        assert vornel.relative([kind(text)], kind(base)) == [kind(relative)]
        assert vornel.proximate([kind(text)], kind(base)) == [kind(proximate)]


# (parts, joined): a separator where the path so far ends in a filename; a
# part with a root directory starts afresh; an empty part adds a separator.
JOINS = [
    (["/opt", "tool", "lib"], "/opt/tool/lib"),
    (["a", "/b", "c"], "/b/c"),
    (["a/", "b"], "a/b"),
    (["a", ""], "a/"),
    (["", "a"], "a"),
]


@pytest.mark.parametrize("parts, joined", JOINS)
def test_join_appends_as_the_slash_operator(parts, joined):
    for kind in KINDS:
        folded = Path(kind(parts[0]))
        for part in parts[1:]:
            folded = folded / kind(part)
        assert os.fspath(folded) == kind(joined)
        assert vornel.join([kind(part) for part in parts]) == kind(joined)
    assert vornel.join([]) == ""


# (path, the queries that hold); every other query is false.
QUERIES = [
    ("", "is_relative empty"),
    ("/", "has_root_directory has_root_path has_parent_path is_absolute"),
    ("a", "has_relative_path has_filename has_stem is_relative"),
    ("/a.b/", "has_root_directory has_root_path has_relative_path has_parent_path is_absolute"),
    ("x/.c", "has_relative_path has_parent_path has_filename has_stem is_relative"),
    ("x/c.", "has_relative_path has_parent_path has_filename has_stem has_extension is_relative"),
]
ALL_QUERIES = ("empty has_root_name has_root_directory has_root_path has_relative_path "
               "has_parent_path has_filename has_stem has_extension is_absolute is_relative")


@pytest.mark.parametrize("text, holding", QUERIES)
def test_queries(text, holding):
    for query in ALL_QUERIES.split():
        assert getattr(Path(text), query)() == (query in holding.split()), query


# (a, b, sign of the order): element by element, whatever the separators.
ORDERS = [("a//b", "a/b", 0), ("/", "///", 0), ("a/", "a", 1), ("a", "a/b", -1),
          ("", "/", -1), ("/a", "a", 1), ("a/b", "a.b", -1)]


@pytest.mark.parametrize("a, b, sign", ORDERS)
def test_order_equality_and_hash_agree(a, b, sign):
    x, y = Path(a), Path(b)
    assert (x.compare(y) > 0) - (x.compare(y) < 0) == sign
    assert ((x < y), (x == y), (x > y), (x <= y), (x >= y), (x != y)) == (
        sign < 0, sign == 0, sign > 0, sign <= 0, sign >= 0, sign != 0)
    if sign == 0:
        assert hash(x) == hash(y) and len({x, y}) == 1
    assert Path(os.fsencode(a)) == Path(a)


@pytest.mark.parametrize("text, replacement, replaced", [
    ("a.txt", ".md", "a.md"), ("a.txt", "md", "a.md"), ("a.txt", "", "a"),
    (".profile", ".x", ".profile.x"), ("a/", ".x", "a/.x")])
def test_replace_extension(text, replacement, replaced):
    assert str(Path(text).replace_extension(replacement)) == replaced


def test_filename_and_text_modifiers():
    assert str(Path("a/b.txt").replace_filename("c")) == "a/c"
    assert str(Path("/").replace_filename("c")) == "/c"
    assert str(Path("a.tar").replace_extension()) == "a"
    assert str(Path("dir/file").concat(".txt")) == "dir/file.txt"
    assert str("/srv" / Path("www")) == "/srv/www"


@pytest.mark.parametrize("text, elements", [
    ("/usr//lib/", ["/", "usr", "lib", ""]), ("//", ["//"]), ("", []), ("a", ["a"])])
def test_iteration_yields_the_elements(text, elements):
    assert [str(element) for element in Path(text)] == elements
