"""End-to-end checks of vornel-path: every command on known cases, agreement
with realpath, stdin streaming, one JSON schema that keeps any byte, exit
statuses and usage errors.

Run as: tool_test.py VORNEL_PATH LIBVORNEL_SO; the tool needs no environment."""
import codecs
import json
import os
import random
import re
import select
import subprocess
import sys
import tempfile
import threading
import unittest

TOOL = LIBRARY = None


def run(*args, stdin=b"", env=None):
    return subprocess.run([TOOL, *args], input=stdin, capture_output=True, env=env, timeout=120)


def resident_peak_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))
    except (OSError, StopIteration):
        return 0  # the process has just ended


def lines(*args, stdin=b""):
    result = run(*args, stdin=stdin)
    assert result.returncode in (0, 1), result.stderr
    return result.stdout.decode("utf-8", "surrogateescape").split("\n")[:-1]


class Commands(unittest.TestCase):
    # (arguments, expected output lines, expected status)
    CASES = [
        (["normal", "a/./b/../c//", "/../a", "a/b/../..", "", "../a/..", "a/."], ["a/c/", "/a", ".", "", "..", "a/"], 0),
        (["relative", "/a/b/c", "/a/d"], ["../../d"], 0),
        (["relative", "build/debug", "build/release/bin"], ["../release/bin"], 0),
        (["relative", "a/b", "a/b/", "a/./b"], [".", "."], 0),
        (["--lexical", "relative", "a/b", "a/b/", "a/./b"], [".", ".././b"], 0),
        (["relative", "a/../b", "a", "b/./c/.."], ["../a", "."], 0),
        (["relative", "a/c/../../d", "a/b"], ["../a/b"], 0),
        (["relative", ".", "b", "."], ["b", "."], 0),
        (["relative", "b", "."], [".."], 0),
        (["relative", "b", "/a", "a"], ["", "../a"], 1),
        (["relative", "../a", "b"], [""], 1),
        (["--lexical", "relative", "a/b/../..", "a"], [""], 1),
        (["proximate", "b", "/a", "a"], ["/a", "../a"], 0),
        (["proximate", "../a", "b/./c/../d/"], ["b/d"], 0),
        (["relative", "/", "/a/b/..", "/a/"], ["a", "a"], 0),
        (["--lexical", "proximate", "../a", "b/./c"], ["b/./c"], 0),
        (["parent", "/usr/lib/libc.so", "/usr/lib/", "/", "a", ""], ["/usr/lib", "/usr/lib", "/", "", ""], 0),
        (["filename", "/usr/lib/libc.so", "/usr/lib/", "/", "a"], ["libc.so", "", "", "a"], 0),
        (["stem", "a/b.tar.gz", ".profile", ".."], ["b.tar", ".profile", ".."], 0),
        (["extension", "a/b.tar.gz", ".profile", "..", "a."], [".gz", "", "", "."], 0),
        (["root", "/a", "//a", "a", ""], ["/", "/", "", ""], 0),
        (["is-absolute", "/a", "//b"], [], 0),
        (["is-absolute", "/a", "b"], [], 1),
        (["join", "/opt", "tool", "lib"], ["/opt/tool/lib"], 0),
        (["join", "a", "/etc", "b/", ""], ["/etc/b/"], 0),
        (["concat", "dir/file", ".txt"], ["dir/file.txt"], 0),
        (["remove-filename", "a/b/c", "/a", "a/", "a"], ["a/b/", "/", "a/", ""], 0),
        (["replace-filename", "c", "a/b", "/a", "a/"], ["a/c", "/c", "a/c"], 0),
        (["replace-extension", ".md", "a/b.txt", "a/.profile", "a/b.tar.gz"], ["a/b.md", "a/.profile.md", "a/b.tar.md"], 0),
        (["replace-extension", "", "a/b.txt"], ["a/b"], 0),
        (["compare", "a//b", "a/b", "a/b/c", "a"], ["0", "-1", "1"], 1),
        (["compare", "/", "///"], ["0"], 0),
        (["hash", ""], ["0000000000000000"], 0),
        (["absolute", "--cwd", "/srv", "a/../b/", "", "/x/./y//", "../../..", "//"], ["/srv/b", "/srv", "/x/y", "/", "/"], 0),
        (["absolute", "--cwd", "/", "a", ".."], ["/a", "/"], 0),
        (["common", "/a/b/c", "/a/b/d", "/a/bx"], ["/a"], 0),
        (["common", "a/./b/", "a/b/c/..", "a/b/d"], ["a/b"], 0),
        (["common", "a", "b"], [""], 0),
        (["common", "/a", "a"], [""], 1),
        (["--lexical", "common", "a/./b", "a/b"], ["a"], 0),
        (["is-within", "/a", "/a/b/../c", "/a", "/a/..b"], [], 0),
        (["is-within", "/a", "/a/b", "/a/../b"], [], 1),
        (["is-within", "a", "/a"], [], 1),
    ]

    def test_each_command_gives_the_library_results(self):
        for args, expected, status in self.CASES:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stdout.decode().split("\n")[:-1], expected)

    def test_paths_that_compare_equal_by_elements_hash_alike(self):
        first, second, other = lines("hash", "a//b", "a/b", "a/c")
        self.assertEqual(first, second)
        self.assertNotEqual(first, other)

    def test_parts_lists_every_part_and_component_with_its_position(self):
        self.assertEqual(lines("parts", "//usr//lib.so.1/"), [
            "path\t//usr//lib.so.1/", "root_directory\t/", "relative_path\tusr//lib.so.1/",
            "parent_path\t//usr//lib.so.1", "filename\t", "stem\t", "extension\t", "absolute\ttrue",
            "component\t0\troot-directory\t/", "component\t2\tfilename\tusr",
            "component\t7\tfilename\tlib.so.1", "component\t16\tfilename\t", ""])
        self.assertEqual(lines("parts", "x.tar.gz")[4:10], [
            "filename\tx.tar.gz", "stem\tx.tar", "extension\t.gz", "absolute\tfalse",
            "component\t0\tfilename\tx.tar.gz", ""])


class Input(unittest.TestCase):
    def test_standard_input_gives_the_same_results_as_arguments(self):
        paths = ["a/../b", "", "//x//", "c/./d/"]
        self.assertEqual(lines("normal", stdin="\n".join(paths).encode() + b"\n"),
                         lines("normal", *paths))

    def test_a_last_record_without_terminator_is_read_whole(self):
        self.assertEqual(lines("normal", stdin=b"a/../b\nc/./d"), ["b", "c/d"])
        self.assertEqual(run("-0", "normal", stdin=b"x\ny/./z\0a/./b").stdout, b"x\ny/z\0a/b\0")

    def test_nul_separated_records_keep_newlines_and_any_byte(self):
        path = b"dir\n\xff\x01/../n\xc3\xa9w\n"
        self.assertEqual(run("--null", "normal", stdin=path + b"\0").stdout, b"n\xc3\xa9w\n\0")

    def test_results_flow_before_the_input_ends(self):
        with subprocess.Popen([TOOL, "normal"], stdin=subprocess.PIPE, stdout=subprocess.PIPE) as proc:
            proc.stdin.write(b"a/../b\n")
            proc.stdin.flush()
            ready, _, _ = select.select([proc.stdout], [], [], 10)
            self.assertTrue(ready, "no output while the input is still open")
            self.assertEqual(proc.stdout.readline(), b"b\n")

    def test_millions_of_bytes_flow_through_in_constant_memory(self):
        record = b"/srv/data/./run/../logs/2024/" + b"x" * 70 + b"/../file.txt\n"
        count = 300_000  # 34 MB in, 9 MB out
        with subprocess.Popen([TOOL, "normal"], stdin=subprocess.PIPE, stdout=subprocess.PIPE) as proc:
            def feed():
                for _ in range(count // 1000):
                    proc.stdin.write(record * 1000)
                proc.stdin.close()

            writer = threading.Thread(target=feed)
            writer.start()
            out_bytes, peak_kb = 0, 0
            for block in iter(lambda: proc.stdout.read(1 << 16), b""):
                out_bytes += len(block)
                peak_kb = max(peak_kb, resident_peak_kb(proc.pid))
            writer.join()
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(out_bytes, count * len(b"/srv/data/logs/2024/file.txt\n"))
        self.assertLess(peak_kb, 16 * 1024)


class Json(unittest.TestCase):
    def test_any_byte_string_survives_a_round_trip(self):
        paths = [b"plain/ascii", b"caf\xc3\xa9/\xf0\x9f\x93\x81", b"bad\xff\xfe/\xc3", b"\xed\xa0\x80surrogate",
                 b"quote\"back\\slash\ttab\x01\x7f\nline", b"\xc0\xafoverlong", b"\xf4\x90\x80\x80", b""]
        out = run("--json", "-0", "parts", stdin=b"\0".join(paths) + b"\0")
        records = [json.loads(r) for r in out.stdout.split(b"\n")[:-1]]
        for path, record in zip(paths, records):
            with self.subTest(path=path):
                self.assertEqual(record["path"].encode("utf-8", "surrogateescape"), path)
                joined = "".join(c["text"] for c in record["components"])
                self.assertEqual(joined.encode("utf-8", "surrogateescape"), path.replace(b"/", b""))
        self.assertEqual(len(records), len(paths))

    def test_output_is_ascii_safe_except_for_well_formed_utf8(self):
        out = run("--json", "normal", stdin=b"caf\xc3\xa9\xff\0\n").stdout
        self.assertEqual(out, b'{"path":"caf\xc3\xa9\\udcff\\u0000","result":"caf\xc3\xa9\\udcff\\u0000"}\n')

    def test_keeps_exactly_the_utf8_that_the_header_decodes(self):
        with open(os.path.join(os.path.dirname(__file__), "testing", "utf8_cases.inc")) as f:
            rows = re.findall(r'^\{"((?:[^"\\]|\\.)*)", (true|false)\}', f.read(), re.M)
        texts = [codecs.escape_decode(text)[0] for text, _ in rows]
        out = run("--json", "-0", "normal", stdin=b"\0".join(texts) + b"\0").stdout
        records = [json.loads(line)["path"] for line in out.split(b"\n")[:-1]]
        self.assertEqual(len(records), len(rows))
        for text, (_, well_formed), path in zip(texts, rows, records):
            with self.subTest(text=text):
                self.assertEqual(path.encode("utf-8", "surrogateescape"), text)
                self.assertEqual(all(not "\udc80" <= c <= "\udcff" for c in path), well_formed == "true")

    # command: (operands before the paths, fields besides "path" and "result", type of "result")
    SCHEMA = {
        "parts": ([], {"root_directory", "relative_path", "parent_path", "filename", "stem", "extension",
                       "absolute", "components"}, int),
        "parent": ([], set(), str), "filename": ([], set(), str), "stem": ([], set(), str),
        "extension": ([], set(), str), "root": ([], set(), str), "is-absolute": ([], set(), bool),
        "normal": ([], set(), str), "relative": (["a/b"], {"base"}, (str, type(None))),
        "proximate": (["../z"], {"base"}, str), "join": ([], set(), str), "concat": ([], set(), str),
        "remove-filename": ([], set(), str), "replace-filename": (["n"], set(), str),
        "replace-extension": ([".x"], set(), str), "compare": (["a"], {"other"}, int), "hash": ([], set(), str),
        "absolute": ([], set(), str), "is-within": (["/x"], {"dir"}, bool), "common": ([], set(), type(None)),
    }
    PATHS = ["a/b.c", "/x/../y/", "", "../q", "n\nl\udcff"]

    def test_every_command_writes_json_lines_of_one_schema(self):
        raw = [p.encode("utf-8", "surrogateescape") for p in self.PATHS]
        for command, (operands, fields, kind) in self.SCHEMA.items():
            folds = command in ("join", "concat", "common")
            for flags, stdin, args in ((["-0"], b"\0".join(raw) + b"\0", []), (["-z"], b"", raw), ([], b"", raw)):
                with self.subTest(command=command, flags=flags):
                    out = run("--json", *flags, command, *operands, *args, stdin=stdin).stdout
                    self.assertTrue(out.endswith(b"\n"))
                    records = [json.loads(line) for line in out.split(b"\n")[:-1]]
                    self.assertEqual([r["path"] for r in records], [self.PATHS] if folds else self.PATHS)
                    for record in records:
                        self.assertEqual(set(record), {"path", "result"} | fields)
                        self.assertIsInstance(record["result"], kind)

    def test_parts_records_name_every_part(self):
        record = json.loads(run("--json", "parts", "/a.b").stdout)
        self.assertEqual(record["components"], [{"text": "/", "kind": "root-directory", "pos": 0},
                                                {"text": "a.b", "kind": "filename", "pos": 1}])
        self.assertEqual((record["result"], record["stem"], record["extension"], record["absolute"]),
                         (2, "a", ".b", True))
        self.assertIsNone(json.loads(run("--json", "relative", "/a", "b").stdout)["result"])


def some_path(rng, names=("a", "b", "c", ".", "..")):
    """A relative path of a few elements, with doubled and trailing separators."""
    elements = [rng.choice(names) for _ in range(rng.randint(1, 5))]
    return rng.choice(["/", "/", "//"]).join(elements) + rng.choice(["", "/"])


class Realpath(unittest.TestCase):
    def test_relative_agrees_with_realpath_wherever_the_text_decides(self):
        rng = random.Random(13)
        answered = 0
        with tempfile.TemporaryDirectory() as tmp:
            cwd = os.path.join(tmp, *"stuvwxyz")  # deeper than any PATH or BASE climbs
            os.makedirs(cwd)
            for _ in range(25):
                base, *paths = (rng.choice(["", "", "", "/"]) + some_path(rng) for _ in range(17))
                ours = lines("relative", "--", base, *paths)
                theirs = subprocess.run(["realpath", "-s", "-m", "--relative-to", base, "--", *paths],
                                        cwd=cwd, capture_output=True, text=True, check=True).stdout.split("\n")
                for path, mine, expected in zip(paths, ours, theirs):
                    if mine:
                        answered += 1
                        self.assertEqual(mine, expected, (base, path))
        self.assertGreater(answered, 150)

    def test_absolute_agrees_with_realpath_in_the_same_directory(self):
        rng = random.Random(17)
        paths = [rng.choice(["", "/"]) + some_path(rng) for _ in range(300)]
        with tempfile.TemporaryDirectory() as tmp:
            cwd = os.path.join(tmp, "d", "e")
            os.makedirs(cwd)
            ours, theirs = (subprocess.run([*program, "--", *paths], cwd=cwd, capture_output=True).stdout
                            for program in ([TOOL, "absolute"], ["realpath", "-s", "-m"]))
        self.assertEqual(ours.split(b"\n"), theirs.split(b"\n"))

    def test_common_agrees_with_python_commonpath_without_dot_dot(self):
        rng = random.Random(19)
        for _ in range(40):
            root = rng.choice(["", "/"])
            paths = [root + some_path(rng, ("a", "b", ".")) for _ in range(rng.randint(1, 4))]
            self.assertEqual(lines("common", "--", *paths), [os.path.commonpath(paths)], paths)


class Usage(unittest.TestCase):
    ERRORS = [
        ([], "missing command"),
        (["frobnicate", "a"], "unknown command 'frobnicate'"),
        (["normal", "--frob", "a"], "option '--frob' is not known"),
        (["--json=yes", "normal"], "option '--json=yes' doesn't allow an argument"),
        (["normal", "-0x", "a"], "invalid option -- 'x'"),
        (["normal", "--lexical", "a"], "normal: --lexical applies to relative, proximate, is-within, common only"),
        (["relative", "--cwd", "/", "a"], "relative: --cwd applies to absolute only"),
        (["absolute", "--cwd"], "option '--cwd' requires an argument"),
        (["relative"], "relative: missing BASE"),
        (["replace-extension"], "replace-extension: missing EXT"),
        (["help", "normal", "extra"], "extra operand 'extra'"),
        (["help", "nothing"], "unknown command 'nothing'"),
    ]

    def test_bad_command_lines_fail_with_one_clear_line(self):
        for args, message in self.ERRORS:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stdout, b"")
                err = result.stderr.decode()
                self.assertEqual(err.count("\n"), 1, err)
                self.assertIn(message, err)

    def test_help_exists_for_the_tool_and_each_command(self):
        overview = run("--help").stdout.decode()
        for command in Json.SCHEMA:
            with self.subTest(command=command):
                self.assertIn("\n  " + command, overview)
                for args in ([command, "--help"], ["help", command], ["--he", command], [command, "x", "--help", "y"]):
                    result = run(*args)
                    self.assertEqual(result.returncode, 0)
                    self.assertTrue(result.stdout.startswith(b"Usage: vornel-path [OPTION]... " + command.encode()))

    # (arguments, standard input, standard output): getopt_long's conventions
    OPTIONS = [
        (["--nul", "normal"], b"a/.\0b\0", b"a/\0b\0"),
        (["--ze", "normal"], b"a/.\nb", b"a/\0b\0"),
        (["normal", "-z0"], b"a/.\0b", b"a/\0b\0"),
        (["--json", "-0", "root"], b"/a\0", b'{"path":"/a","result":"/"}\n'),
        (["normal", "-z", "--", "-a/./b", "--json"], b"", b"-a/b\0--json\0"),
    ]

    def test_options_follow_the_gnu_conventions(self):
        for args, stdin, expected in self.OPTIONS:
            with self.subTest(args=args):
                self.assertEqual(run(*args, stdin=stdin).stdout, expected)

    def test_version_wins_wherever_it_stands(self):
        for args in (["normal", "--version"], ["--version", "extra"], ["frobnicate", "--version", "--help"]):
            result = run(*args)
            self.assertEqual((result.returncode, result.stdout[:12]), (0, b"vornel-path "), args)

    def test_a_path_may_begin_with_a_dash_after_the_end_of_options(self):
        self.assertEqual(lines("normal", "--", "-a/../-b"), ["-b"])

    def test_a_failed_write_is_reported(self):
        with open("/dev/full", "wb") as full:
            result = subprocess.run([TOOL, "normal", "a"], stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"writing standard output", result.stderr)


class Binding(unittest.TestCase):
    def test_the_path_calls_bind_into_our_library(self):
        version = run("--version").stdout.decode()
        self.assertIn("library: ", version)
        reported = version.split("library: ")[1].strip()
        self.assertEqual(os.path.realpath(reported), os.path.realpath(LIBRARY))
        env = dict(os.environ, LD_DEBUG="bindings")
        results = [run(command, *operands, "a/b.c", env=env) for command, (operands, _, _) in Json.SCHEMA.items()]
        bindings = [line for r in results for line in r.stderr.decode().splitlines()
                    if "10filesystem" in line and "binding file " + TOOL in line]
        self.assertTrue(bindings)
        for line in bindings:
            self.assertIn("libvornel.so", line.split(" to ")[1], line)


if __name__ == "__main__":
    TOOL, LIBRARY = sys.argv.pop(1), sys.argv.pop(1)
    unittest.main(verbosity=2)
