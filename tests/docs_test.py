"""The answers the documentation shows, checked against the built code.

  docs_test.py rows HEADER OUT   the rows of HEADER's example tables as C++
                                 initialisers, for docs_rows_test.cc
  docs_test.py run SOURCE_DIR TOOL ROWS_TEST
                                 every console example of README.md and
                                 docs/*.md run with TOOL, then ROWS_TEST

A console example is a '$ vornel-path ...' line in a ```console block and the
lines after it up to the next '$' line or the block's end, a nonzero exit
status shown as '(exit status N)'. The tool runs with the line's words as a
shell splits them, without a shell. A '$' line that needs a shell (a
variable, a pipe, a file) or another program ends in '# not run: WHY'; it is
counted, not run.

A ```pycon block is a Python session ('>>> ' and '... ' lines, then what they
print), run with doctest against the vornel package that PYTHONPATH names;
the blocks of one document share one session."""
import doctest
import json
import os
import pathlib
import re
import shlex
import subprocess
import sys
import tempfile

MARKER = re.compile(r"\s#\s*not run\b")
INPUTS = ("p", "q", "path", "base", "replacement")
# A cell: a quoted text, or several joined by "or", or a comparison's sign;
# a parenthesised remark after it is prose.
CELL = re.compile(r'("[^"]*"(?:\s+or\s+"[^"]*")*|[<>] 0|0)(?:\s+\([^)]*\))?')


def table_rows(header):
    """Yields (line, column, inputs, expected) for each answer of each table:
    a comment line of column names (two spaces or more apart) followed by
    comment lines of quoted cells."""
    lines = pathlib.Path(header).read_text().splitlines()
    for number, line in enumerate(lines):
        row = re.match(r'\s*// {3,}(".*)', line)
        if not row:
            continue
        heading = number - 1
        while re.match(r'\s*// {3,}"', lines[heading]):
            heading -= 1
        columns = re.split(r"\s{2,}", lines[heading].split("//", 1)[1].strip())
        cells = [m.group(1) for m in CELL.finditer(row.group(1))]
        if len(cells) != len(columns) or CELL.sub("", row.group(1)).strip():
            sys.exit(f"{header}:{number + 1}: cells do not match the columns {columns}")
        taken = [c for c in columns if c in INPUTS]
        inputs = [re.findall(r'"[^"]*"', cell) for cell in cells[: len(taken)]]
        for column, expected in zip(columns[len(taken):], cells[len(taken):]):
            for first in inputs[0]:
                for second in inputs[1] if len(inputs) > 1 else ['""']:
                    yield number + 1, column, (first, second), expected.strip('"')


def write_rows(header, out):
    text = "".join(f"{{{line}, {json.dumps(column)}, {p}, {q}, {json.dumps(expected)}}},\n"
                   for line, column, (p, q), expected in table_rows(header))
    pathlib.Path(out).write_text(text)


def examples(document):
    """Yields (line number, command, expected output) for each '$' line."""
    block, command, indent = False, None, 0
    for number, line in enumerate(document.read_text().splitlines(), 1):
        fence = re.match(r"( *)```(\w*)$", line)
        line = line[indent:]
        if fence:
            if command:
                yield command
            block, command, indent = fence[2] == "console", None, len(fence[1])
        elif block and line.startswith("$ "):
            if command:
                yield command
            command = (number, line[2:], [])
        elif command:
            command[2].append(line)


def needs_shell(command):
    lexer = shlex.shlex(command, posix=True, punctuation_chars=True)
    lexer.whitespace_split = True
    words = list(lexer)
    unquoted = re.sub(r"'[^']*'", "", command)
    return words[0] != "vornel-path" or "$" in unquoted or "`" in unquoted or any(
        word and set(word) <= set("();<>|&") for word in words)


def run_examples(source, tool):
    ran = marked = failed = 0
    documents = [source / "README.md", *sorted((source / "docs").glob("*.md"))]
    with tempfile.TemporaryDirectory() as folder:
        for document in documents:
            for number, command, shown in examples(document):
                where = f"{document.relative_to(source)}:{number}"
                if MARKER.search(command):
                    marked += 1
                    continue
                if needs_shell(command):
                    print(f"{where}: needs a shell or another program; mark it '# not run: WHY'")
                    failed += 1
                    continue
                result = subprocess.run([tool, *shlex.split(command)[1:]], cwd=folder,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, timeout=60)
                text = result.stdout.decode("utf-8", "surrogateescape")
                got = text.removesuffix("\n").split("\n") if text else []
                if result.returncode:
                    got.append(f"(exit status {result.returncode})")
                ran += 1
                if got != shown:
                    failed += 1
                    print(f"{where}: $ {command}\n  shown: {shown}\n  gives: {got}")
    print(f"console examples: {ran} run, {marked} marked not runnable, {failed} failed")
    return failed == 0


def pycon_blocks(document):
    """Yields (line number, text) for each ```pycon block."""
    block = None
    for number, line in enumerate(document.read_text().splitlines(), 1):
        if re.match(r" *```pycon$", line):
            block = (number + 1, [])
        elif block and re.match(r" *```$", line):
            yield block[0], "\n".join(block[1]) + "\n"
            block = None
        elif block:
            block[1].append(line)


def run_sessions(source):
    documents = [source / "README.md", *sorted((source / "docs").glob("*.md"))]
    sessions = {document: [] for document in documents}
    parser = doctest.DocTestParser()
    for document in documents:
        for number, text in pycon_blocks(document):
            for example in parser.get_examples(text):
                example.lineno += number - 1
                sessions[document].append(example)
    try:
        import vornel  # noqa: F401
    except ImportError:
        count = sum(map(len, sessions.values()))
        print(f"python examples: {count} not run, the Python package is not built")
        return True
    runner = doctest.DocTestRunner()
    for document, examples in sessions.items():
        name = str(document.relative_to(source))
        runner.run(doctest.DocTest(examples, {}, name, name, 0, None))
    result = runner.summarize(verbose=False)
    print(f"python examples: {result.attempted} run, {result.failed} failed")
    return result.failed == 0


def main():
    if sys.argv[1] == "rows":
        return write_rows(*sys.argv[2:4])
    source, tool, rows_test = pathlib.Path(sys.argv[2]), sys.argv[3], sys.argv[4]
    examples_hold = run_examples(source, os.path.abspath(tool))
    sessions_hold = run_sessions(source)
    rows_hold = subprocess.run([rows_test]).returncode == 0
    sys.exit(0 if examples_hold and sessions_hold and rows_hold else 1)


if __name__ == "__main__":
    main()
