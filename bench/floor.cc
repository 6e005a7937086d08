// The floor kernels: the benchmarked path operations written by hand to do
// only what the path's layout and the calls its design is made of force, so
// that the library's cost can be read against that floor.
//
// A kernel writes the path's text and list word directly. It allocates what
// the library allocates: the text, a component's text too long for the
// string's own buffer, and each block (a header and the components in one
// allocation), sized exactly when a text is split and at least one and a half
// times the old capacity when an append must grow it; a split gathers 64
// components before it reserves, as the library does.
//
// Through the symbol table it makes the calls the design builds the
// operation from, since a definition bound ahead of the library's must serve
// the library's own calls too: _List() for every new path and component,
// copy-assignment where the result is a copy, _M_split_cmpts for every path
// built from text, operator/= for the results of the lexical operations, and
// the queries, compare, remove_filename and parent_path where those use them.
// Construction is the one kernel that splits by itself, the split being what
// it measures. Nothing else is called: an emptied block is freed at once, and
// a list word without a block is dropped without its deleter.
#include <fs_path>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "corpus.h"
#include "ops.h"
#include "support/raw_state.h"

namespace vornel::bench {
namespace {

using std::filesystem::path;
using Kind = path::_Type;
using Block = path::_List::_Impl;

// A path as the class lays it out: its text, then its list word.
struct Rep {
  std::string text;
  path::_List list;
};
struct CmptRep {
  Rep whole;
  std::size_t pos;
};
static_assert(sizeof(Rep) == sizeof(path), "a path is its text and one word");
static_assert(sizeof(CmptRep) == sizeof(path::_Cmpt), "a component is a path and a position");

Rep& rep(path& p) { return reinterpret_cast<Rep&>(p); }
const Rep& rep(const path& p) { return reinterpret_cast<const Rep&>(p); }
CmptRep* slots(Block* b) { return reinterpret_cast<CmptRep*>(b->begin()); }

std::size_t block_bytes(int capacity) {
  return sizeof(Block) + std::size_t(capacity) * sizeof(path::_Cmpt);
}

// The list word: the kind in its two low bits, the block's address in the
// others.
constexpr std::uintptr_t kKindBits = 3;
std::uintptr_t word(const path::_List& l) {
  return reinterpret_cast<std::uintptr_t>(l._M_impl.get());
}
Block* block_of(const path::_List& l) { return reinterpret_cast<Block*>(word(l) & ~kKindBits); }
Kind kind_of(const path::_List& l) { return Kind(word(l) & kKindBits); }

// Overwrites the list word without freeing what it held.
void set_word(path::_List& l, std::uintptr_t w) {
  l._M_impl.release();
  l._M_impl.reset(reinterpret_cast<Block*>(w));
}
void set_kind(path::_List& l, Kind kind) {
  set_word(l, (word(l) & ~kKindBits) | std::uintptr_t(kind));
}
// A list word with a kind and no block, dropping any block it held.
void set_kind_alone(path::_List& l, Kind kind) { set_word(l, std::uintptr_t(kind)); }

// The runtime's string: the address of its bytes, their count, and its own
// buffer, which holds texts of up to 15 bytes. Checked at start by
// in_buffer_layout_holds().
struct StringRep {
  char* data;
  std::size_t size;
  char buffer[16];
};
static_assert(sizeof(StringRep) == sizeof(std::string), "the runtime's string layout");
constexpr std::size_t kShortText = sizeof(StringRep::buffer) - 1;

bool in_buffer_layout_holds() {
  const std::string short_text("ab"), long_text(40, 'x');
  const auto& s = reinterpret_cast<const StringRep&>(short_text);
  const auto& l = reinterpret_cast<const StringRep&>(long_text);
  return s.data == s.buffer && s.size == 2 && l.data != l.buffer && l.size == 40 &&
         short_text.capacity() == kShortText;
}

// How a kernel writes a text into a string not yet constructed (or empty,
// which owns nothing): through the string's constructor, or, for a short
// text, straight into its own buffer.
struct Constructed {
  static void write(std::string* at, std::string_view text) {
    ::new (at) std::string(text.data(), text.size());
  }
};
struct InBuffer {
  static void write(std::string* at, std::string_view text) {
    if (text.size() > kShortText) return Constructed::write(at, text);
    auto* s = reinterpret_cast<StringRep*>(at);
    s->data = s->buffer;
    s->size = text.size();
    std::memcpy(s->buffer, text.data(), text.size());
    s->buffer[text.size()] = '\0';
  }
};

// Builds a component in the block's next free slot; the block has room.
template <typename Text>
void add(Block* b, std::string_view text, Kind kind, std::size_t pos) {
  CmptRep& c = slots(b)[b->_M_size];
  Text::write(&c.whole.text, text);
  ::new (&c.whole.list) path::_List();
  set_kind(c.whole.list, kind);
  c.pos = pos;
  ++b->_M_size;
}

// Destroys the last component.
void drop_last(Block* b) {
  CmptRep& c = slots(b)[--b->_M_size];
  c.whole.text.~basic_string();
  set_word(c.whole.list, 0);
}

void clear(Block* b) {
  while (b->_M_size > 0) drop_last(b);
}

// Destroys the components and frees the block.
void free_block(Block* b) {
  clear(b);
  ::operator delete(b, block_bytes(b->_M_capacity));
}

// Gives the list room for n components, moving the ones it has byte for
// byte: a text in a string's own buffer is then aimed at the moved buffer.
Block* reserve(path::_List& l, int n, bool exact) {
  Block* old = block_of(l);
  const int capacity = old ? old->_M_capacity : 0;
  if (capacity >= n) return old;
  if (!exact && capacity * 1.5 > n) n = int(capacity * 1.5);
  Block* b = ::new (::operator new(block_bytes(n))) Block(n);
  if (old) {
    std::memcpy(static_cast<void*>(slots(b)), slots(old), old->_M_size * sizeof(CmptRep));
    for (int i = 0; i < old->_M_size; ++i) {
      auto& from = reinterpret_cast<StringRep&>(slots(old)[i].whole.text);
      auto& to = reinterpret_cast<StringRep&>(slots(b)[i].whole.text);
      if (from.data == from.buffer) to.data = to.buffer;
    }
    b->_M_size = old->_M_size;
    ::operator delete(old, block_bytes(capacity));
  }
  set_word(l, reinterpret_cast<std::uintptr_t>(b));
  return b;
}

// One component found by a split: where it lies in the text, and its kind.
struct Found {
  std::size_t pos;
  std::size_t size;
  Kind kind;
};

// Fills the list of a path whose text is set and whose list is new, as a
// split does: no list for a single component, else the components gathered
// 64 at a time, the block reserved for each full batch with growth and for
// the last partial one exactly.
template <typename Text>
void split(Rep& p) {
  const char* const data = p.text.data();
  const std::size_t n = p.text.size();
  if (n == 0 || !std::memchr(data, '/', n)) return;
  if (n == 1) return set_kind_alone(p.list, Kind::_Rootdir);

  constexpr int kBatch = 64;
  Found batch[kBatch];
  int count = 0;
  Block* b = nullptr;
  auto flush = [&](bool exact) {
    b = reserve(p.list, (b ? b->_M_size : 0) + count, exact);
    for (int i = 0; i < count; ++i)
      add<Text>(b, {data + batch[i].pos, batch[i].size}, batch[i].kind, batch[i].pos);
    count = 0;
  };
  auto push = [&](const Found& c) {
    if (count == kBatch) flush(false);
    batch[count++] = c;
  };

  std::size_t at = 0;
  if (data[0] == '/') push({0, 1, Kind::_Rootdir}), at = 1;
  bool named = false;
  for (;;) {
    while (at < n && data[at] == '/') ++at;
    if (at == n) {
      if (named) push({n, 0, Kind::_Filename});
      break;
    }
    const void* sep = std::memchr(data + at, '/', n - at);
    const std::size_t end = sep ? std::size_t(static_cast<const char*>(sep) - data) : n;
    push({at, end - at, Kind::_Filename});
    named = true;
    if (!sep) break;
    at = end;
  }
  if (count == 1 && !b) return set_kind_alone(p.list, batch[0].kind);
  flush(count < kBatch);
}

template <typename Text>
path construct(const std::string& text) {
  path p;
  ::new (&rep(p).text) std::string(text);
  split<Text>(rep(p));
  return p;
}

// Builds a path from text, its text written over the empty one and its list
// made by the exported split, which every path built from text ends with.
void from_text(path& p, std::string_view text) {
  Constructed::write(&rep(p).text, text);
  p._M_split_cmpts();
}

path parent_path(const path& p) {
  path r;
  if (!p.has_relative_path()) {
    r = p;
    return r;
  }
  const Rep& from = rep(p);
  if (from.list.size() > 1) {
    const path::_Cmpt& c = block_of(from.list)->end()[-2];
    const std::size_t end = std::min(c._M_pos + c.native().size(), from.text.size());
    from_text(r, {from.text.data(), end});
  }
  return r;
}

Found found(const path::_Cmpt& c) { return {c._M_pos, c.native().size(), c._M_type()}; }

// Whether `c` is the trailing empty filename of a path's list.
bool empty_name(const path::_Cmpt& c) {
  return c._M_type() == Kind::_Filename && c.native().empty();
}

// The components of a path being added, read before the path it is added to
// changes, since the two may be one path: the last is kept aside, as the
// change may drop or extend it, and the others are read from the block where
// it lies at the time.
struct Added {
  explicit Added(const path& p)
      : whole(rep(p)), multi(kind_of(whole.list) == Kind::_Multi),
        count(multi ? whole.list.size() : 1), size(whole.text.size()),
        last(multi ? found(block_of(whole.list)->end()[-1]) : Found{0, size, kind_of(whole.list)}) {}

  const char* text() const { return whole.text.data(); }
  Found operator[](int i) const {
    return i + 1 < count ? found(block_of(whole.list)->begin()[i]) : last;
  }

  const Rep& whole;
  const bool multi;
  const int count;
  const std::size_t size;
  const Found last;
};

// How many components a path's list stands for: one when it has no block.
int count_of(const path::_List& l) { return kind_of(l) == Kind::_Multi ? l.size() : 1; }

void append(path& w, const path& p) {
  if (p.has_root_directory() || w.empty()) {
    w = p;
    return;
  }
  const bool separator = w.has_filename();
  if (!separator && p.empty()) return;

  Rep& to = rep(w);
  const Added added_path(p);
  const std::size_t size = added_path.size, length = to.text.size();
  const int count = added_path.count, had = count_of(to.list);
  const Kind kind = kind_of(to.list);

  to.text.reserve(length + separator + size);
  if (separator) to.text.push_back('/');
  const std::size_t base = to.text.size();
  to.text.append(added_path.text(), size);
  set_kind(to.list, Kind::_Multi);
  Block* b = reserve(to.list, had + count, false);
  if (kind != Kind::_Multi)
    add<Constructed>(b, {to.text.data(), length}, kind, 0);
  else if (b->end()[-1].native().empty())
    drop_last(b);
  const std::string_view added(to.text.data() + base, size);
  for (int i = 0; i < count; ++i) {
    const Found c = added_path[i];
    add<Constructed>(b, added.substr(c.pos, c.size), Kind::_Filename, base + c.pos);
  }
}

void concat(path& w, const path& p) {
  if (p.empty()) return;
  if (w.empty()) {
    w = p;
    return;
  }
  Rep& to = rep(w);
  const Added added_path(p);
  const std::size_t size = added_path.size, length = to.text.size();
  const int count = added_path.count, had = count_of(to.list);
  const bool multi = added_path.multi;
  const Found first = added_path[0];
  const Kind kind = kind_of(to.list);
  Block* b = block_of(to.list);
  const bool ended_with_separator = to.text.back() == '/';
  const bool last_is_name = kind == Kind::_Multi && b->end()[-1]._M_type() == Kind::_Filename;

  to.text.reserve(length + size);
  to.text.append(added_path.text(), size);
  const std::string_view added(to.text.data() + length, size);
  int next = 0;
  std::size_t merged = 0;
  bool drop_empty_last = false;
  if (first.kind == Kind::_Filename) {
    if (kind == Kind::_Filename) {
      if (!multi) return;
      merged = first.size;
      next = 1;
    } else if (last_is_name) {
      slots(b)[had - 1].whole.text.append(added.data() + first.pos, first.size);
      if (!multi) return;
      next = 1;
    }
  } else {
    const bool lone_root = kind == Kind::_Rootdir ||
                           (kind == Kind::_Multi && had == 1 &&
                            b->begin()->_M_type() == Kind::_Rootdir);
    if (lone_root && added.find_first_not_of('/') == std::string_view::npos) {
      if (b) clear(b);
      return set_kind(to.list, Kind::_Rootdir);
    }
    drop_empty_last = ended_with_separator && last_is_name;
  }

  set_kind(to.list, Kind::_Multi);
  b = reserve(to.list, had + count, false);
  if (kind != Kind::_Multi)
    add<Constructed>(b, {to.text.data(), length + merged}, kind, 0);
  else if (drop_empty_last)
    drop_last(b);
  if (next < count && added_path[next].kind == Kind::_Rootdir) ++next;
  for (; next < count; ++next) {
    const Found c = added_path[next];
    add<Constructed>(b, added.substr(c.pos, c.size), Kind::_Filename, length + c.pos);
  }
  if (to.text.back() == '/' && !empty_name(b->end()[-1]))
    add<Constructed>(b, {}, Kind::_Filename, to.text.size());
}

// The elements a path's iteration yields: its components, or the path itself
// when it has none and is not empty.
struct Elements {
  const path& whole;
  const path::_Cmpt* cmpts;
  int count;
  const path& operator[](int i) const {
    if (cmpts) return cmpts[i];
    return whole;
  }
};

Elements elements(const path& p) {
  if (p._M_type() == Kind::_Multi) {
    const Block* b = block_of(rep(p).list);
    return {p, b->begin(), b->_M_size};
  }
  return {p, nullptr, p.empty() ? 0 : 1};
}

bool is_dot(const path& p) { return std::string_view(p.native()) == "."; }
bool is_dotdot(const path& p) { return std::string_view(p.native()) == ".."; }

// The empty path, which normalising appends as it is, made once.
const path& empty_path() {
  static const path p;
  return p;
}

// Sets an empty path to a one-byte text, as assigning the literal does: the
// block it may keep is freed, and the text is split.
void assign_one_byte(path& p, char c) {
  Rep& r = rep(p);
  if (Block* b = block_of(r.list)) free_block(b);
  set_kind_alone(r.list, Kind::_Filename);
  r.text.push_back(c);
  p._M_split_cmpts();
}

// Takes the parent path's text and list in place of the path's own.
void become_parent(path& p) {
  path parent = p.parent_path();
  Rep& r = rep(p);
  Rep& from = rep(parent);
  if (Block* b = block_of(r.list)) free_block(b);
  r.text = std::move(from.text);
  set_word(r.list, word(from.list));
  set_word(from.list, 0);
}

// Cancels a ".." against the filename that ends the result, or, after the
// root directory, drops it; false when the ".." must be appended instead.
bool cancelled(path& ret) {
  if (ret.has_filename()) {
    const path& name =
        ret._M_type() == Kind::_Multi ? block_of(rep(ret).list)->end()[-1] : ret;
    if (is_dotdot(name)) return false;
    ret.remove_filename();
    return true;
  }
  if (!ret.has_relative_path()) return ret.has_root_directory();
  // The result ends in a separator after the filename to cancel.
  Rep& r = rep(ret);
  Block* b = block_of(r.list);
  path::_Cmpt* elem = b->end() - 2;
  if (!elem->has_filename() || is_dotdot(*elem)) return false;
  if (elem == b->begin()) {
    r.text.clear();
    ret._M_split_cmpts();
    return true;
  }
  r.text.erase(elem->_M_pos);
  drop_last(b);
  if (elem[-1]._M_type() != Kind::_Filename) {
    drop_last(b);
    return true;
  }
  // elem stays, as the trailing separator's empty filename.
  rep(*elem).text.clear();
  elem->_M_split_cmpts();
  return true;
}

path normal(const path& self) {
  path ret;
  if (self.empty()) return ret;
  const Elements e = elements(self);
  int i = 0;
  if (e[0]._M_type() == Kind::_Rootdir) {
    assign_one_byte(ret, '/');
    ++i;
  }
  for (; i < e.count; ++i) {
    const path& p = e[i];
    if (is_dot(p))
      ret /= empty_path();
    else if (!is_dotdot(p) || !cancelled(ret))
      ret /= p;
  }
  if (rep(ret).list.size() >= 2) {
    const path::_Cmpt* last = block_of(rep(ret).list)->end() - 1;
    if (last->empty() && is_dotdot(last[-1])) become_parent(ret);
  } else if (ret.empty()) {
    assign_one_byte(ret, '.');
  }
  return ret;
}

// Destroys a path that holds no block without a call to the deleter.
void discard(path& p) {
  if (!block_of(rep(p).list)) set_word(rep(p).list, 0);
}

bool root_names_differ(const path& a, const path& b) {
  path x = a.root_name(), y = b.root_name();
  const bool differ = x.compare(y) != 0;
  discard(x);
  discard(y);
  return differ;
}

path relative(const path& self, const path& base) {
  path ret;
  if (root_names_differ(self, base)) return ret;
  if (self.has_root_directory() != base.has_root_directory()) return ret;
  const Elements a = elements(self), b = elements(base);
  int i = 0, j = 0;
  while (i < a.count && j < b.count && a[i].compare(b[j]) == 0) ++i, ++j;
  if (i == a.count && j == b.count) {
    assign_one_byte(ret, '.');
    return ret;
  }
  int n = 0;
  for (; j < b.count; ++j) {
    const path& p = b[j];
    if (is_dotdot(p)) {
      if (--n < 0) return ret;
    } else if (!p.empty() && !is_dot(p)) {
      ++n;
    }
  }
  if (n == 0 && (i == a.count || a[i].empty())) {
    assign_one_byte(ret, '.');
    return ret;
  }
  path dotdot;
  from_text(dotdot, "..");
  for (; n > 0; --n) ret /= dotdot;
  for (; i < a.count; ++i) ret /= a[i];
  discard(dotdot);
  return ret;
}

path proximate(const path& self, const path& base) {
  path ret = relative(self, base);
  if (ret.empty()) ret = self;
  return ret;
}

// A side of the benchmark whose floored operations are the kernels above,
// with `Text` writing the names of a constructed path.
template <typename Text>
struct Floor : Members<path> {
  using Path = path;
  static std::size_t hash(const path& p) { return std::filesystem::hash_value(p); }
  static path construct(const std::string& text) { return bench::construct<Text>(text); }
  static path parent_path(const path& p) { return bench::parent_path(p); }
  static void append(path& w, const path& p) { bench::append(w, p); }
  static void concat(path& w, const path& p) { bench::concat(w, p); }
  static path normal(const path& p) { return bench::normal(p); }
  static path relative(const path& p, const path& base) { return bench::relative(p, base); }
  static path proximate(const path& p, const path& base) { return bench::proximate(p, base); }
};
using PlainFloor = Floor<Constructed>;
using InBufferFloor = Floor<InBuffer>;

// The operations of `ops` named in `names`.
std::vector<Op> only(std::vector<Op> ops, std::initializer_list<std::string_view> names) {
  ops.erase(std::remove_if(ops.begin(), ops.end(),
                           [&](const Op& op) {
                             return std::find(names.begin(), names.end(), op.name) ==
                                    names.end();
                           }),
            ops.end());
  return ops;
}

// Everything the check compares: text, kinds, positions, size and capacity.
std::string full_state(const path& p) {
  const test::RawPath r = test::raw(p);
  return test::state(p) + " size " + std::to_string(r.size) + " capacity " +
         std::to_string(r.capacity) + (r.has_block ? " with block" : "");
}

// Counts the cases checked and reports the ones that differ.
class Check {
 public:
  void same(const char* op, const std::string& input, const path& ours, const path& floor) {
    ++cases_;
    const std::string want = full_state(ours), got = full_state(floor);
    if (want == got) return;
    ++failures_;
    std::fprintf(stderr, "floor %s differs on %s:\n  library %s\n  floor   %s\n", op,
                 test::printable(input).c_str(), test::printable(want).c_str(),
                 test::printable(got).c_str());
  }

  // The kernels of one path, built from `text`: itself appended and
  // concatenated to itself too.
  void one(const std::string& text, const path& p) {
    same("construct", text, path(text), PlainFloor::construct(text));
    same("construct in buffer", text, path(text), InBufferFloor::construct(text));
    same("parent_path", text, p.parent_path(), bench::parent_path(p));
    same("normal", text, p.lexically_normal(), bench::normal(p));
    changed("append to itself", text, p, [](path& w) { w /= w; },
            [](path& w) { bench::append(w, w); });
    changed("concat to itself", text, p, [](path& w) { w += w; },
            [](path& w) { bench::concat(w, w); });
  }

  // The kernels that take two paths.
  void pair(const path& p, const path& q) {
    const std::string both = p.native() + " with " + q.native();
    changed("append", both, p, [&](path& w) { w /= q; }, [&](path& w) { bench::append(w, q); });
    changed("concat", both, p, [&](path& w) { w += q; }, [&](path& w) { bench::concat(w, q); });
    same("relative", both, p.lexically_relative(q), bench::relative(p, q));
    same("proximate", both, p.lexically_proximate(q), bench::proximate(p, q));
  }

  // A copy of p changed by the library and one changed by the floor.
  template <typename Ours, typename Floor>
  void changed(const char* op, const std::string& input, const path& p, Ours ours_change,
               Floor floor_change) {
    path ours = p, floor = p;
    ours_change(ours);
    floor_change(floor);
    same(op, input, ours, floor);
  }

  bool passed() const { return failures_ == 0; }
  int cases() const { return cases_; }

 private:
  int cases_ = 0;
  int failures_ = 0;
};

}  // namespace

std::vector<Op> floor_operations() {
  return only(operations<PlainFloor>(), {"construct", "parent_path", "append", "append_copy",
                                         "concat_path", "normal", "relative", "proximate"});
}

std::vector<Op> inbuf_floor_operations() { return only(operations<InBufferFloor>(), {"construct"}); }

bool floors_match_library() {
  if (!in_buffer_layout_holds()) {
    std::fprintf(stderr, "floor: the string layout is not the one the kernels write\n");
    return false;
  }
  const Corpus& c = corpus();
  std::vector<std::string> texts = c.texts;
  texts.insert(texts.end(), c.respelled.begin(), c.respelled.end());
  texts.insert(texts.end(), c.bases.begin(), c.bases.end());
  std::vector<path> others(c.texts.begin(), c.texts.end());
  others.emplace_back("file.txt");
  others.emplace_back(".tmp");

  Check check;
  for (const std::string& text : texts) {
    const path p(text);
    check.one(text, p);
    for (const path& q : others) check.pair(p, q);
  }
  for (std::size_t i = 0; i < c.pieces.size(); ++i) {
    path ours, floor;
    for (const std::string& piece : c.pieces[i]) {
      const path q(piece);
      check.one(piece, q);
      ours /= q;
      bench::append(floor, q);
      check.same("append by pieces", c.texts[i], ours, floor);
    }
  }
  std::fprintf(stderr, "floor kernels: %d cases checked against the library, %s\n",
               check.cases(), check.passed() ? "all identical" : "DIFFERENCES");
  return check.passed();
}

}  // namespace vornel::bench
