// Ordering of paths by structure (root, then relative components), against
// another path or against unparsed text, and the hash that agrees with it.
#include "../path/internal.h"

#include <cstdint>

namespace vornel {
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

// Each element's bytes go through the runtime's byte hash with the seed that
// its std::hash<std::string> uses, so an element hashes as its text would.
constexpr std::size_t element_hash_seed = 0xc70f6907;
// The hashes are folded in by the customary combining step, whose constant
// is 2^32 divided by the golden ratio: its bits are spread evenly.
constexpr std::size_t golden_ratio_bits = 0x9e3779b9;

std::size_t combine(std::size_t seed, std::string_view bytes) noexcept {
  const std::size_t h = std::_Hash_bytes(bytes.data(), bytes.size(), element_hash_seed);
  return seed ^ (h + golden_ratio_bits + (seed << 6) + (seed >> 2));
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

// Paths of the same text are equal: that answer is given before the frame of
// the structural comparison is set up.
int path::compare(const path& p) const noexcept {
  if (same_bytes(_M_pathname, p._M_pathname)) return 0;
  return _Detail::compare_structure(*this, p);
}

// No path has a root name (layout.h): the root directory comes first, then
// the elements after it. A path that is one filename is compared as that
// filename, whatever the other path's elements.
[[gnu::noinline]] int path::_Detail::compare_structure(const path& self, const path& p) noexcept {
  Elements l(self), r(p);
  const bool l_root = l.skip_root(), r_root = r.skip_root();
  if (!l_root && r_root) return -1;
  if (l_root && !r_root) return +1;

  if (self._M_type() == _Type::_Filename) {
    if (p._M_type() == _Type::_Filename) return compare_bytes(self._M_pathname, p._M_pathname);
    if (r.done()) return +1;
    if (const int c = compare_bytes(self._M_pathname, r->_M_pathname)) return c;
    return r.is_last() ? 0 : -1;
  }
  if (p._M_type() == _Type::_Filename) {
    if (l.done()) return -1;
    if (const int c = compare_bytes(l->_M_pathname, p._M_pathname)) return c;
    return l.is_last() ? 0 : +1;
  }

  // Neither is one filename: what is left of each is its components.
  Elements lc = l.components(), rc = r.components();
  int count = 1;
  for (; !lc.done() && !rc.done(); ++lc, ++rc, ++count)
    if (const int c = compare_bytes(lc->_M_pathname, rc->_M_pathname)) return c;
  if (lc.done()) return rc.done() ? 0 : -count;
  return +count;
}

// The text is scanned lazily with the parser and never built into a path, so
// that comparing against a literal allocates nothing.
int path::compare(std::string_view s) const noexcept {
  if (same_bytes(_M_pathname, s)) return 0;

  _Parser parser(s, 0);
  const bool s_has_root = parser.root_step().valid();
  _Detail::Elements l(*this);
  const bool has_root = l.skip_root();
  if (!has_root && s_has_root) return -1;
  if (has_root && !s_has_root) return +1;

  if (_M_type() == _Type::_Filename) {
    const _Parser::cmpt first = parser.next();
    if (!first.valid()) return +1;
    if (const int c = compare_bytes(_M_pathname, first.text)) return c;
    return parser.next().valid() ? -1 : 0;
  }
  // Not one filename: what is left of this path is its components.
  _Detail::Elements lc = l.components();
  int count = 1;
  for (_Parser::cmpt c = parser.next();; c = parser.next(), ++lc, ++count) {
    if (lc.done()) return c.valid() ? -count : 0;
    if (!c.valid()) return +count;
    if (const int diff = compare_bytes(lc->_M_pathname, c.text)) return diff;
  }
}

// Each element is hashed as path iteration yields it, a root directory as
// its one byte (internal.h).
size_t hash_value(const path& p) noexcept {
  path::_Detail::Elements e(p);
  size_t seed = e.skip_root() ? combine(0, root_directory_text) : 0;
  for (; !e.done(); ++e) seed = combine(seed, e->_M_pathname);
  return seed;
}

}  // namespace std::filesystem::__cxx11
