// Fuzz target: any bytes become a path. Its kind, components, positions and
// block capacity must be those the text gives, and so must those of a copy,
// of a re-split in place and of an assignment into a path that has a block;
// the queries must answer as the text says.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "support/raw_state.h"

namespace {

using namespace vornel::fuzz;
using vornel::test::describe;
using vornel::test::raw;

void expect(bool holds, const char* what, std::string_view text) {
  if (!holds) fail(std::string(what) + " for '" + printable(text) + "'");
}

void expect_same(const std::string& got, const std::string& want, const char* what,
                 std::string_view text) {
  if (got != want)
    fail(std::string(what) + " for '" + printable(text) + "': got '" + printable(got) +
         "', want '" + printable(want) + "'");
}

// The structure and block of p are those a split of `text` gives in a block
// that had `old_capacity` slots (-1: p had no block).
void check_split(const path& p, std::string_view text, int old_capacity, const char* where) {
  check_valid(p, where);
  expect_same(describe(p), vornel::fuzz::split_model(text), where, text);
  const auto r = raw(p);
  const int k = vornel::fuzz::component_count(text);
  if (old_capacity < 0 && k == 0) {
    expect(!r.has_block, "a path of at most one component has no block", text);
  } else {
    expect(r.size == k, "block size", text);
    expect(r.capacity == vornel::fuzz::split_capacity(k, std::max(old_capacity, 0)),
           "block capacity", text);
  }
}

// The last filename, "" when the text ends with a separator or has none.
std::string_view last_filename(std::string_view text) {
  if (text.empty() || text.back() == '/') return {};
  const std::size_t slash = text.rfind('/');
  return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

void check_queries(const path& p, std::string_view text) {
  const bool rooted = !text.empty() && text[0] == '/';
  const std::size_t first_name = text.find_first_not_of('/');
  const bool relative = first_name != std::string_view::npos;
  const int k = vornel::fuzz::component_count(text);

  expect(!p.has_root_name() && p.root_name().empty(), "no root name", text);
  expect(p.has_root_directory() == rooted, "has_root_directory", text);
  expect(p.has_root_path() == rooted, "has_root_path", text);
  expect(p.has_filename() == !last_filename(text).empty(), "has_filename", text);
  expect(p.has_relative_path() == relative, "has_relative_path", text);
  expect(p.has_parent_path() == (relative ? k > 1 : !text.empty()), "has_parent_path", text);
  expect_same(p.root_directory().native(), rooted ? "/" : "", "root_directory", text);
  expect_same(p.root_path().native(), rooted ? "/" : "", "root_path", text);
  expect_same(p.filename().native(), std::string(last_filename(text)), "filename", text);
  expect_same(p.relative_path().native(),
              std::string(relative ? text.substr(rooted ? first_name : 0) : ""),
              "relative_path", text);

  std::string parent(relative ? "" : text);
  if (relative && k > 1) {
    const auto cmpts = raw(p).cmpts;
    const auto& c = cmpts[cmpts.size() - 2];
    parent = text.substr(0, std::min(c.pos + c.text.size(), text.size()));
  }
  expect_same(p.parent_path().native(), parent, "parent_path", text);

  const std::string_view name = last_filename(text);
  std::size_t dot = name.rfind('.');
  if (name == "." || name == ".." || dot == 0) dot = std::string::npos;
  const auto ext = p._M_find_extension();
  expect(name.empty() ? ext.first == nullptr
                      : ext.first && *ext.first == name && ext.second == dot,
         "_M_find_extension", text);
}

void check_iteration(const path& p, std::string_view text) {
  const auto cmpts = raw(p).cmpts;
  std::vector<std::string> forward, backward;
  for (const path& element : p) forward.push_back(element.native());
  for (auto it = p.end(); it != p.begin();) backward.push_back((--it)->native());
  std::vector<std::string> want;
  for (const auto& c : cmpts) want.push_back(c.text);
  if (cmpts.empty() && !text.empty()) want.push_back(std::string(text));
  expect(forward == want, "forward iteration", text);
  expect(std::vector<std::string>(backward.rbegin(), backward.rend()) == want,
         "backward iteration", text);
}

void check_relations(const path& p, std::string_view text) {
  const path copy(p);
  expect(p.compare(copy) == 0 && p.compare(text) == 0, "equal to itself", text);
  expect(hash_value(p) == hash_value(copy), "equal hashes", text);
  const path normal = p.lexically_normal();
  check_valid(normal, "lexically_normal");
  expect_same(normal.lexically_normal().native(), normal.native(),
              "the normal form of a normal form", text);
  expect(normal.native().find("//") == std::string::npos, "a normal form has no doubled separator",
         text);
  expect(text.empty() || !normal.empty(), "a non-empty path normalises to a non-empty one", text);
  expect_same(p.lexically_relative(p).native(), ".", "a path relative to itself", text);
  expect(text.empty() || !p.lexically_proximate(path("x/y")).empty(),
         "lexically_proximate is not empty", text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vornel::fuzz::require_own_bindings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  path p(text);
  expect(p.native() == text, "the text is kept byte for byte", text);
  check_split(p, text, -1, "split");

  const path copy(p);
  const int k = vornel::fuzz::component_count(text);
  check_valid(copy, "copy");
  expect_same(describe(copy), describe(p), "copy", text);
  expect(raw(copy).capacity == k && raw(copy).has_block == (k > 0),
         "a copy's block holds exactly its components", text);

  const int capacity = raw(p).capacity;
  p._M_split_cmpts();
  check_split(p, text, raw(p).has_block ? capacity : -1, "re-split in place");

  path reused("j/k/l/m/n/o/p/q/r/s");
  vornel::test::text_of(reused) = text;
  reused._M_split_cmpts();
  check_split(reused, text, 10, "re-split into a block of 10");

  path assigned("u/v/w");
  assigned = p;
  check_valid(assigned, "copy-assignment");
  expect_same(describe(assigned), describe(p), "copy-assignment", text);
  expect(raw(assigned).capacity == (k > 3 ? k : 3), "copy-assignment reuses a block that fits",
         text);

  check_queries(p, text);
  check_iteration(p, text);
  check_relations(p, text);
  return 0;
}
