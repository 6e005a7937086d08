// Every answer of the example tables in <fs_path>'s comments, as the library
// gives it; docs_test.py writes the rows from the header at build time.
#include <fs_path>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "support/binding_guard.h"

namespace {

using std::filesystem::path;

struct Row {
  int line;
  const char* column;
  const char* p;
  const char* q;  // the second input: q, base or replacement
  const char* expected;
};

const Row kRows[] = {
#include "docs_rows.inc"
};

std::string sign(int order) { return order < 0 ? "< 0" : order > 0 ? "> 0" : "0"; }

// What each column heading of the tables asks of a row's inputs.
using Answer = std::string (*)(path p, const path& q);
const std::map<std::string, Answer> kColumns = {
    {"p /= q", [](path p, const path& q) { return (p /= q).native(); }},
    {"p += q", [](path p, const path& q) { return (p += q).native(); }},
    {"remove_filename", [](path p, const path&) { return p.remove_filename().native(); }},
    {"replace_filename(\"c\")",
     [](path p, const path&) { return p.replace_filename("c").native(); }},
    {"p.replace_extension(replacement)",
     [](path p, const path& q) { return p.replace_extension(q).native(); }},
    {"p.compare(q)", [](path p, const path& q) { return sign(p.compare(q)); }},
    {"root_directory", [](path p, const path&) { return p.root_directory().native(); }},
    {"root_path", [](path p, const path&) { return p.root_path().native(); }},
    {"relative_path", [](path p, const path&) { return p.relative_path().native(); }},
    {"parent_path", [](path p, const path&) { return p.parent_path().native(); }},
    {"lexically_normal", [](path p, const path&) { return p.lexically_normal().native(); }},
    {"lexically_relative",
     [](path p, const path& q) { return p.lexically_relative(q).native(); }},
    {"lexically_proximate",
     [](path p, const path& q) { return p.lexically_proximate(q).native(); }},
};

}  // namespace

int main(int, char** argv) {
  if (!vornel::guard::bindings_are_ours(argv[0])) return 1;
  std::set<int> lines;
  int wrong = 0;
  for (const Row& row : kRows) {
    lines.insert(row.line);
    const auto column = kColumns.find(row.column);
    const std::string answer =
        column == kColumns.end() ? "(a column this test does not know)"
                                 : column->second(row.p, row.q);
    if (answer == row.expected) continue;
    ++wrong;
    std::printf("include/fs_path:%d: %s of \"%s\", \"%s\" is \"%s\"; the table says \"%s\"\n",
                row.line, row.column, row.p, row.q, answer.c_str(), row.expected);
  }
  std::printf("header tables: %zu rows, %zu answers checked, %d wrong\n", lines.size(),
              sizeof kRows / sizeof kRows[0], wrong);
  return wrong != 0;
}
