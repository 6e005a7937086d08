"""End-to-end checks of vornel-path: every command on known cases, agreement
with realpath and with realpath's rule, stdin streaming, one JSON schema that
keeps any byte, exit statuses, usage errors and completion.

Run as: tool_test.py VORNEL_PATH; the tool needs no environment."""
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

TOOL = None
COMPLETION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "vornel-path.bash")


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
        (["relative", "--cwd", "/w/x", "b", "/a", "a", "../x/b/c"], ["../../../a", "../a", "c"], 0),
        (["relative", "--cwd", "/usr/src", "/usr/lib", "../bin"], ["../bin"], 0),
        (["--lexical", "relative", "../a", "b"], [""], 1),
        (["--lexical", "relative", "a/b/../..", "a"], [""], 1),
        (["proximate", "--cwd", "/w", "b", "/a", "a"], ["../../a", "../a"], 0),
        (["proximate", "--cwd", "/w/x", "../a", "b/./c/../d/"], ["../x/b/d"], 0),
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
        (["common", "--cwd", "/p/q/r", "../../a", "../b"], ["../.."], 0),
        (["--lexical", "common", "a/./b", "a/b"], ["a"], 0),
        (["--lexical", "common", "a/b/..", "a/b/../..", "a/c"], [""], 0),
        (["--lexical", "common", "/a", "a"], [""], 1),
        (["is-within", "/a", "/a/b/../c", "/a", "/a/..b"], [], 0),
        (["is-within", "/a", "/a/b", "/a/../b"], [], 1),
        (["is-within", "/srv", "/srv/./../etc"], [], 1),
        (["is-within", "--cwd", "/usr/src", "..", "a", "../src/b", "/usr/x"], [], 0),
        (["is-within", "--cwd", "/w", "a", "/a"], [], 1),
        (["--lexical", "is-within", "/srv", "/srv/x/../../etc"], [], 1),
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


class Failure(unittest.TestCase):
    def test_a_failed_read_writes_no_result(self):
        for args in (["join"], ["concat"], ["common"], ["--json", "common"], ["--json", "-0", "join"]):
            with self.subTest(args=args):
                directory = os.open(tempfile.gettempdir(), os.O_RDONLY)
                result = subprocess.run([TOOL, *args], stdin=directory, capture_output=True)
                os.close(directory)
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (2, b"", b"vornel-path: reading standard input: Is a directory\n"))

    # (arguments, exit status, standard output) in a working directory that is gone
    GONE = [(["relative", "/x", "/a", "b"], 2, b"../a\n"), (["common", "/x", "a"], 2, b""),
            (["is-within", "/", "a"], 0, b""), (["relative", "a", "b/c", "x/../d"], 0, b"../b/c\n../d\n")]

    def test_the_working_directory_is_read_only_where_needed(self):
        with tempfile.TemporaryDirectory() as tmp:
            gone = os.path.join(tmp, "gone")
            for args, status, out in self.GONE:
                with self.subTest(args=args):
                    os.mkdir(gone)
                    result = subprocess.run(["sh", "-c", 'cd "$1" && rmdir "$1" && shift && exec "$@"', "sh",
                                             gone, TOOL, *args], capture_output=True)
                    self.assertEqual((result.returncode, result.stdout, result.stderr.count(b"\n")),
                                     (status, out, status // 2), result.stderr)


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
        "absolute": ([], set(), str), "is-within": (["/x"], {"dir"}, bool), "common": ([], set(), str),
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
        self.assertIsNone(json.loads(run("--json", "--lexical", "relative", "/a", "b").stdout)["result"])


def some_path(rng, names=("a", "b", "c", ".", "..")):
    """A relative path of a few elements, with doubled and trailing separators."""
    elements = [rng.choice(names) for _ in range(rng.randint(1, 5))]
    return rng.choice(["/", "/", "//"]).join(elements) + rng.choice(["", "/"])


def resolved(path, cwd):
    """The names of PATH made absolute in CWD by realpath -s -m's rule."""
    names = [] if path.startswith("/") else [name for name in cwd.split("/") if name]
    for element in path.split("/"):
        if element == "..":
            names = names[:-1]
        elif element not in ("", "."):
            names.append(element)
    return names


def relative_by_rule(base, path, cwd):
    b, p = resolved(base, cwd), resolved(path, cwd)
    shared = len(os.path.commonprefix([b, p]))
    return "/".join([".."] * (len(b) - shared) + p[shared:]) or "."


def within_by_rule(directory, path, cwd):
    names = resolved(directory, cwd)
    return resolved(path, cwd)[:len(names)] == names


class Property(unittest.TestCase):
    """The answers against realpath's rule, restated above, in fixed working
    directories; --lexical may not know, but never says yes wrongly in any."""
    CWD, CWDS = "/a/b", ("/a/b", "/", "/c/c/c")

    def operands(self, rng, count):
        return [rng.choice(["", "/", "/"]) + some_path(rng) if rng.random() > 0.02 else "" for _ in range(count)]

    def records(self, *args):
        return [json.loads(line)["result"] for line in run("--json", *args).stdout.splitlines()]

    def test_relative_and_is_within_follow_the_rule_on_every_pair(self):
        rng = random.Random(23)
        for _ in range(60):
            base, *paths = self.operands(rng, 51)
            expected = [relative_by_rule(base, p, self.CWD) for p in paths]
            for command in ("relative", "proximate"):
                self.assertEqual(self.records(command, "--cwd", self.CWD, "--", base, *paths), expected, base)
            self.assertEqual(self.records("is-within", "--cwd", self.CWD, "--", base, *paths),
                             [within_by_rule(base, p, self.CWD) for p in paths], base)
            lexical = self.records("--lexical", "is-within", "--", base, *paths)
            self.assertEqual([p for p, yes in zip(paths, lexical)
                              if yes and not all(within_by_rule(base, p, cwd) for cwd in self.CWDS)], [], base)

    def test_common_is_the_longest_container_and_lexical_common_a_container(self):
        rng = random.Random(29)
        for _ in range(150):
            paths = self.operands(rng, rng.randint(1, 4))
            shared = "/" + "/".join(os.path.commonprefix([resolved(p, self.CWD) for p in paths]))
            way = relative_by_rule(self.CWD, shared, self.CWD)  # the working directory is the empty path
            expected = shared if any(p.startswith("/") for p in paths) else "" if way == "." else way
            self.assertEqual(self.records("common", "--cwd", self.CWD, "--", *paths), [expected], paths)
            answer = run("--lexical", "common", "--", *paths)
            container = answer.stdout.decode()[:-1]
            self.assertTrue(answer.returncode or all(within_by_rule(container, p, cwd)
                                                     for p in paths for cwd in self.CWDS), paths)


class Realpath(unittest.TestCase):
    def test_relative_agrees_with_realpath_on_every_pair(self):
        rng = random.Random(13)
        with tempfile.TemporaryDirectory() as tmp:
            cwd = os.path.join(tmp, "s", "t")  # shallower than some PATHs climb
            os.makedirs(cwd)
            for _ in range(25):
                base, *paths = (rng.choice(["", "", "", "/"]) + some_path(rng) for _ in range(17))
                ours, theirs = (subprocess.run(program, cwd=cwd, capture_output=True, check=True).stdout
                                for program in ([TOOL, "relative", "--", base, *paths],
                                                ["realpath", "-s", "-m", "--relative-to", base, "--", *paths]))
                self.assertEqual(ours, theirs, base)

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
        (["normal", "--cwd", "/", "a"], "normal: --cwd applies to absolute, relative, proximate, is-within, common only"),
        (["--lexical", "relative", "--cwd", "/", "a"], "--cwd has no use with --lexical"),
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


class Completion(unittest.TestCase):
    # (the words after "vornel-path", the last one being completed; what bash offers)
    CASES = [
        ("absolute --cwd /us", ["/usr/"]),
        ("absolute --cwd = /us", ["/usr/"]),
        ("--cwd = s", ["second/", "sub/"]),
        ("--cwd = /usr s", ["stem"]),
        ("normal -- --cwd s", []),
    ]
    SCRIPT = ('compopt() { asked="$*"; }; source "$1"; shift; COMP_WORDS=(vornel-path "$@"); COMP_CWORD=$#; '
              '_vornel_path; echo "$asked" >&2; printf "%s\\n" "${COMPREPLY[@]}"')

    def test_the_dir_of_cwd_completes_as_cd_does(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name in ("sub", "second"):
                os.mkdir(os.path.join(tmp, name))
            open(os.path.join(tmp, "some-file"), "w").close()
            for words, offered in self.CASES:
                with self.subTest(words=words):
                    result = subprocess.run(["bash", "-c", self.SCRIPT, "_", COMPLETION, *words.split()], cwd=tmp,
                                            capture_output=True, text=True)
                    self.assertEqual(sorted(result.stdout.split()), offered)
                    self.assertEqual("nospace" in result.stderr, offered[0].endswith("/") if offered else False)


class Binding(unittest.TestCase):
    def test_the_path_operations_are_the_tools_own(self):
        reported = run("--version").stdout.decode().split("path operations: ")[1].strip()
        self.assertEqual(os.path.realpath(reported), os.path.realpath(TOOL))
        env = dict(os.environ, LD_DEBUG="bindings")
        results = [run(command, *operands, "a/b.c", env=env) for command, (operands, _, _) in Json.SCHEMA.items()]
        bound_elsewhere = [line for r in results for line in r.stderr.decode().splitlines()
                           if "10filesystem" in line and "binding file " + TOOL in line
                           and " to " + TOOL not in line]
        self.assertEqual(bound_elsewhere, [])


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
