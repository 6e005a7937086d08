// Ordering of paths by structure (root, then relative components), against
// another path or against unparsed text, and the hash that agrees with it.
#include "../path/internal.h"

#include <algorithm>
#include <cstdint>

namespace std {
size_t _Hash_bytes(const void* ptr, size_t len, size_t seed);
}

namespace std::filesystem::__cxx11 {
namespace {

// memcmp's own value when the common prefix differs, else the length
// difference clamped into an int.
int compare_bytes(std::string_view l, std::string_view r) noexcept {
  if (const std::size_t common = std::min(l.size(), r.size())) {
    if (const int c = std::memcmp(l.data(), r.data(), common)) return c;
  }
  const std::int64_t diff = std::int64_t(l.size()) - std::int64_t(r.size());
  return int(std::clamp<std::int64_t>(diff, INT32_MIN, INT32_MAX));
}

bool same_bytes(std::string_view l, std::string_view r) noexcept {
  return l.size() == r.size() &&
         (l.empty() || std::memcmp(l.data(), r.data(), l.size()) == 0);
}

// The components after the root of a _Multi path; empty for any other.
struct Walk {
  const path::_Cmpt* cur = nullptr;
  const path::_Cmpt* end = nullptr;

  bool done() const noexcept { return cur == end; }
  std::string_view text() const noexcept { return cur->native(); }
  bool last() const noexcept { return cur + 1 == end; }
};

// What the comparison reads of one path, taken from its list in one pass.
struct Shape {
  std::string_view root_name;
  bool has_root_directory = false;
  Walk walk;
};

[[gnu::always_inline]] inline Shape shape_of(std::string_view text, const path::_List& cmpts,
                                             Type kind) noexcept {
  Shape s;
  if (kind == Type::_Rootname) s.root_name = text;
  s.has_root_directory = kind == Type::_Rootdir;
  if (kind != Type::_Multi) return s;
  const path::_Cmpt* c = cmpts.begin();
  s.walk.end = cmpts.end();
  if (c->_M_type() == Type::_Rootname) s.root_name = (c++)->native();
  s.has_root_directory = c != s.walk.end && c->_M_type() == Type::_Rootdir;
  while (c != s.walk.end && c->_M_type() != Type::_Filename) ++c;
  s.walk.cur = c;
  return s;
}

}  // namespace

// Paths of the same text are equal: that answer is given before the frame of
// the structural comparison is set up.
int path::compare(const path& p) const noexcept {
  if (same_bytes(_M_pathname, p._M_pathname)) return 0;
  return _Detail::compare_structure(*this, p);
}

[[gnu::noinline]] int path::_Detail::compare_structure(const path& self, const path& p) noexcept {
  const Shape mine = shape_of(self._M_pathname, self._M_cmpts, self._M_type());
  const Shape theirs = shape_of(p._M_pathname, p._M_cmpts, p._M_type());
  if (const int c = compare_bytes(mine.root_name, theirs.root_name)) return c;
  if (!mine.has_root_directory && theirs.has_root_directory) return -1;
  if (mine.has_root_directory && !theirs.has_root_directory) return +1;

  Walk l = mine.walk, r = theirs.walk;
  if (self._M_type() == _Type::_Filename) {
    if (p._M_type() == _Type::_Filename) return compare_bytes(self._M_pathname, p._M_pathname);
    if (r.done()) return +1;
    if (const int c = compare_bytes(self._M_pathname, r.text())) return c;
    return r.last() ? 0 : -1;
  }
  if (p._M_type() == _Type::_Filename) {
    if (l.done()) return -1;
    if (const int c = compare_bytes(l.text(), p._M_pathname)) return c;
    return l.last() ? 0 : +1;
  }

  int count = 1;
  for (; !l.done() && !r.done(); ++l.cur, ++r.cur, ++count)
    if (const int c = compare_bytes(l.text(), r.text())) return c;
  if (l.done()) return r.done() ? 0 : -count;
  return +count;
}

// The text is scanned lazily with the parser and never built into a path, so
// that comparing against a literal allocates nothing.
int path::compare(std::string_view s) const noexcept {
  if (same_bytes(_M_pathname, s)) return 0;

  _Parser parser(s, 0);
  const bool s_has_root = parser.root_step().valid();

  const Shape mine = shape_of(_M_pathname, _M_cmpts, _M_type());
  if (const int c = compare_bytes(mine.root_name, {})) return c;
  if (!mine.has_root_directory && s_has_root) return -1;
  if (mine.has_root_directory && !s_has_root) return +1;

  if (_M_type() == _Type::_Filename) {
    const _Parser::cmpt first = parser.next();
    if (!first.valid()) return +1;
    if (const int c = compare_bytes(_M_pathname, first.text)) return c;
    return parser.next().valid() ? -1 : 0;
  }
  if (_M_type() == _Type::_Multi) {
    Walk l = mine.walk;
    int count = 1;
    for (_Parser::cmpt c = parser.next();; c = parser.next(), ++l.cur, ++count) {
      if (l.done()) return c.valid() ? -count : 0;
      if (!c.valid()) return +count;
      if (const int diff = compare_bytes(l.text(), c.text)) return diff;
    }
  }
  return parser.next().valid() ? -1 : 0;
}

namespace {

size_t combine(size_t seed, std::string_view bytes) noexcept {
  const size_t h = std::_Hash_bytes(bytes.data(), bytes.size(), 0xc70f6907UL);
  return seed ^ (h + 0x9e3779b9UL + (seed << 6) + (seed >> 2));
}

// A root directory counts as the one byte "/" however many separators it
// spans: "/" and "///" compare equal, so they must hash equally too.
std::string_view hashed_bytes(const path& element) noexcept {
  if (element._M_type() == Type::_Rootdir) return std::string_view("/", 1);
  return element.native();
}

}  // namespace

// Each element is hashed as path iteration yields it. The component block is
// walked directly, with its bounds read once, rather than through the
// iterator, which reads them again at every step; only the first component
// can be a root directory, as components follow the text.
size_t hash_value(const path& p) noexcept {
  if (p._M_type() != Type::_Multi)
    return p.empty() ? 0 : combine(0, hashed_bytes(p));
  const path::_Cmpt* cur = p._M_cmpts.begin();
  const path::_Cmpt* const end = p._M_cmpts.end();
  size_t seed = combine(0, hashed_bytes(*cur));
  while (++cur != end) {
    // Never fails after the loop condition: it is the check the iterator
    // makes on reading an element, kept so that hashing makes the contract
    // checks that iterating the path makes.
    VORNEL_CHECK_AS(cur != end, "_M_cur != _M_path->_M_cmpts.end()");
    seed = combine(seed, cur->native());
  }
  return seed;
}

}  // namespace std::filesystem::__cxx11
