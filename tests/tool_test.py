"""End-to-end checks of vornel-path: every command on known cases, stdin
streaming, JSON that keeps any byte, exit statuses and usage errors.

Run as: tool_test.py VORNEL_PATH LIBVORNEL_SO (with the stand-ins on
LD_LIBRARY_PATH)."""
import json
import os
import select
import subprocess
import sys
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
        (["relative", "a/b", "a/b/", "a/./b"], [".", ".././b"], 0),
        (["relative", "b", "/a", "a"], ["", "../a"], 1),
        (["proximate", "b", "/a", "a"], ["/a", "../a"], 0),
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
        records = [json.loads(r) for r in out.stdout.split(b"\0")[:-1]]
        for path, record in zip(paths, records):
            with self.subTest(path=path):
                self.assertEqual(record["path"].encode("utf-8", "surrogateescape"), path)
                joined = "".join(c["text"] for c in record["components"])
                self.assertEqual(joined.encode("utf-8", "surrogateescape"), path.replace(b"/", b""))
        self.assertEqual(len(records), len(paths))

    def test_output_is_ascii_safe_except_for_well_formed_utf8(self):
        out = run("--json", "normal", stdin=b"caf\xc3\xa9\xff\0\n").stdout
        self.assertEqual(out, b'{"path":"caf\xc3\xa9\\udcff\\u0000","result":"caf\xc3\xa9\\udcff\\u0000"}\n')

    def test_every_command_writes_one_object_per_result(self):
        self.assertEqual(json.loads(run("--json", "compare", "a", "b").stdout),
                         {"a": "a", "b": "b", "compare": -1})
        self.assertEqual(json.loads(run("--json", "join", "a", "b").stdout), {"result": "a/b"})
        record = json.loads(run("--json", "parts", "/a.b").stdout)
        self.assertEqual(record["components"], [{"text": "/", "kind": "root-directory", "pos": 0},
                                                {"text": "a.b", "kind": "filename", "pos": 1}])
        self.assertEqual((record["stem"], record["extension"], record["absolute"]), ("a", ".b", True))
        self.assertEqual(len(json.loads(run("--json", "hash", "a").stdout)["hash"]), 16)


class Usage(unittest.TestCase):
    ERRORS = [
        ([], "missing command"),
        (["frobnicate", "a"], "unknown command 'frobnicate'"),
        (["normal", "--frob", "a"], "unknown option '--frob'"),
        (["relative"], "relative: missing BASE"),
        (["replace-extension"], "replace-extension: missing EXT"),
        (["help", "normal", "extra"], "help takes at most one command"),
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
        commands = ["parts", "normal", "relative", "proximate", "join", "concat", "remove-filename",
                    "replace-filename", "replace-extension", "compare", "hash"]
        overview = run("--help").stdout.decode()
        for command in commands:
            with self.subTest(command=command):
                self.assertIn("\n  " + command, overview)
                for args in ([command, "--help"], ["help", command]):
                    result = run(*args)
                    self.assertEqual(result.returncode, 0)
                    self.assertTrue(result.stdout.startswith(b"Usage: vornel-path " + command.encode()))

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
        result = run("parts", "a/b.c", env=env)
        run_all = [run(*c, env=env) for c in (["normal", "a"], ["relative", "a", "b"], ["proximate", "a", "b"],
                                              ["join", "a", "b"], ["concat", "a", "b/c"], ["remove-filename", "a"],
                                              ["replace-filename", "a", "b"], ["replace-extension", "a", "b"],
                                              ["compare", "a", "b"], ["hash", "a"])]
        bindings = [line for r in [result, *run_all] for line in r.stderr.decode().splitlines()
                    if "10filesystem" in line and "binding file " + TOOL in line]
        self.assertTrue(bindings)
        for line in bindings:
            self.assertIn("libvornel.so", line.split(" to ")[1], line)


if __name__ == "__main__":
    TOOL, LIBRARY = sys.argv.pop(1), sys.argv.pop(1)
    unittest.main(verbosity=2)
