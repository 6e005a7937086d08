// Ordering of paths by structure (root, then relative components), against
// another path or against unparsed text, and the hash that agrees with it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "../path/detail.h"
#include "../path/elements.h"
#include "../path/parser.h"

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

// The order of paths by structure, stated once for both kinds of right-hand
// side. No path has a root name (layout.h): the root directory comes first,
// then the elements after it. A path that is one filename is compared as that
// filename, whatever the other side's elements; text never counts as one.
class path::_Detail::Order {
 public:
  // A walk over the other side: skip_root(), then start() to stand on the
  // first element after the root, then done(), text() and next().

  // A path's elements after its root: its components (none for a path that
  // is one element, which is compared whole).
  class PathWalk {
   public:
    explicit PathWalk(const path& p) noexcept : path_(p), e_(p) {}
    bool skip_root() noexcept { return e_.skip_root(); }
    void start() noexcept { e_ = e_.components(); }
    const path* single_filename() const noexcept {
      return path_._M_type() == _Type::_Filename ? &path_ : nullptr;
    }
    bool done() const noexcept { return e_.done(); }
    std::string_view text() const noexcept { return e_->_M_pathname; }
    void next() noexcept { ++e_; }

   private:
    const path& path_;
    Elements e_;
  };

  // Text's elements after its root, as the parser yields them one by one, so
  // that comparing against text allocates nothing.
  class TextWalk {
   public:
    explicit TextWalk(std::string_view s) noexcept : parser_(s, 0) {}
    bool skip_root() noexcept { return parser_.root_step().valid(); }
    void start() noexcept { next(); }
    static constexpr const path* single_filename() noexcept { return nullptr; }
    bool done() const noexcept { return !c_.valid(); }
    std::string_view text() const noexcept { return c_.text; }
    void next() noexcept { c_ = parser_.next(); }

   private:
    _Parser parser_;
    _Parser::cmpt c_;
  };

  template <typename Walk>
  [[gnu::always_inline]] static int compare(const path& self, Walk r) noexcept {
    Elements l(self);
    const bool l_root = l.skip_root(), r_root = r.skip_root();
    if (!l_root && r_root) return -1;
    if (l_root && !r_root) return +1;

    r.start();
    const path* const r_name = r.single_filename();
    if (self._M_type() == _Type::_Filename) {
      if (r_name) return compare_bytes(self._M_pathname, r_name->_M_pathname);
      if (r.done()) return +1;
      if (const int c = compare_bytes(self._M_pathname, r.text())) return c;
      r.next();
      return r.done() ? 0 : -1;
    }
    if (r_name) {
      if (l.done()) return -1;
      if (const int c = compare_bytes(l->_M_pathname, r_name->_M_pathname)) return c;
      return l.is_last() ? 0 : +1;
    }

    // Neither is one filename: what is left of each is its components, and
    // the count of equal pairs passed tells how far apart they end.
    Elements lc = l.components();
    int count = 1;
    for (; !lc.done() && !r.done(); ++lc, r.next(), ++count)
      if (const int c = compare_bytes(lc->_M_pathname, r.text())) return c;
    if (lc.done()) return r.done() ? 0 : -count;
    return +count;
  }

  // compare() of two paths whose texts differ; out of line, so that equal
  // texts are answered before its frame is set up.
  [[gnu::noinline]] static int compare_structure(const path& self, const path& p) noexcept {
    return compare(self, PathWalk(p));
  }
};

int path::compare(const path& p) const noexcept {
  if (same_bytes(_M_pathname, p._M_pathname)) return 0;
  return _Detail::Order::compare_structure(*this, p);
}

int path::compare(std::string_view s) const noexcept {
  if (same_bytes(_M_pathname, s)) return 0;
  return _Detail::Order::compare(*this, _Detail::Order::TextWalk(s));
}

// Each element is hashed as path iteration yields it, a root directory as
// its one byte (parser.h).
size_t hash_value(const path& p) noexcept {
  path::_Detail::Elements e(p);
  size_t seed = e.skip_root() ? combine(0, root_directory_text) : 0;
  for (; !e.done(); ++e) seed = combine(seed, e->_M_pathname);
  return seed;
}

}  // namespace std::filesystem::__cxx11
