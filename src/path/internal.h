// Private to the library: the helpers that every path operation shares, and
// the class that reaches into the path for them.
#ifndef VORNEL_SRC_PATH_INTERNAL_H
#define VORNEL_SRC_PATH_INTERNAL_H

// Keeps the header's contract-check macros, __vornel_check(cond) and
// __vornel_check_as(cond, text), for the library's own checks: a broken
// contract prints "file:line: function: Assertion 'cond' failed." and aborts.
// Each check is written exactly as its condition text, or, for the few worded
// after the runtime's own members, given that text.
#define _VORNEL_SOURCE
#include <fs_path>

#include <algorithm>
#include <cstring>
#include <functional>

#include "batch.h"
#include "layout.h"
#include "parser.h"

namespace vornel {

inline constexpr std::size_t npos = std::string::npos;

inline bool is_dir_sep(char c) noexcept { return c == '/'; }

// The first position at or after `from` that is not a separator, or n.
inline std::size_t skip_separators(const char* data, std::size_t from, std::size_t n) noexcept {
  while (from < n && is_dir_sep(data[from])) ++from;
  return from;
}

// A root directory is one "/" however many separators its text spans: "/"
// and "///" compare equal, so they hash alike and have one normal form, a
// root directory taken out of a path alone is this one byte, and separators
// added to a path that is only a root directory lengthen that root.
inline constexpr std::string_view root_directory_text("/", 1);

}  // namespace vornel

namespace std::filesystem::__cxx11 {

struct path::_Detail {
  using _Impl = _List::_Impl;

  static _Impl* impl(const _List& l) noexcept { return _List::_S_block_of(l._M_impl.get()); }

  static std::size_t block_bytes(int capacity) noexcept {
    return sizeof(_Impl) + std::size_t(capacity) * sizeof(_Cmpt);
  }

  // An empty block for `capacity` components; the list word it goes into
  // takes the kind _Multi (tag bits zero).
  static std::unique_ptr<_Impl, _List::_Impl_deleter> new_block(int capacity) {
    void* mem = ::operator new(block_bytes(capacity));
    return std::unique_ptr<_Impl, _List::_Impl_deleter>(new (mem) _Impl(capacity));
  }

  // Builds a component in the raw slot `to`, member by member as its
  // constructor would: the text, the list word by the exported _List(), the
  // kind, the position. Written here so that each component costs no call
  // of its own beyond _List(), and a short text no copy call.
  static void construct(_Cmpt* to, std::string_view text, _Type __type, std::size_t pos) {
    construct_text(&to->_M_pathname, text);
    construct_list(to, [] { return _List(); });
    __vornel_check(__type != _Type::_Multi);
    to->_M_cmpts.type(__type);
    to->_M_pos = pos;
  }

  // A copy of `from` in the raw slot `to`: its text, its list word by the
  // exported _List(const _List&), its position.
  static void construct_copy(_Cmpt* to, const _Cmpt& from) {
    construct_text(&to->_M_pathname, from._M_pathname);
    construct_list(to, [&from]() -> _List { return from._M_cmpts; });
    to->_M_pos = from._M_pos;
  }

  // Appends a component in the next free slot; the caller has reserved room.
  static void emplace_back(_List& l, std::string_view text, _Type kind,
                           std::size_t pos) {
    _Impl* p = impl(l);
    construct(p->end(), text, kind, pos);
    ++p->_M_size;
  }

  // Appends components one after another into room reserved for them, the
  // block and the next slot held across the calls to _List(); the size is
  // raised after each, so that a failure leaves the list consistent.
  class Filler {
   public:
    explicit Filler(_List& l) noexcept
        : block_(impl(l)), to_(block_->end()), size_(block_->_M_size) {}
    void add(std::string_view text, _Type kind, std::size_t pos) {
      construct(to_++, text, kind, pos);
      block_->_M_size = ++size_;
    }

   private:
    _Impl* const block_;
    _Cmpt* to_;
    int size_;
  };

  static void construct_text(string_type* raw, std::string_view text) {
    if (text.size() <= vornel::own_buffer_bytes)
      vornel::write_short_text(*::new (raw) string_type(), text.data(), text.size());
    else
      construct_long_text(raw, text);
  }

  // Out of line: the string's construction of a long text hands the runtime
  // the address of a local, which would put a stack guard into every caller.
  static void construct_long_text(string_type* raw, std::string_view text);

  // The list word of a component whose text is built; the text goes again
  // should the word's construction throw.
  template <typename Make>
  static void construct_list(_Cmpt* to, Make make) {
    try {
      ::new (&to->_M_cmpts) _List(make());
    } catch (...) {
      to->_M_pathname.~string_type();
      throw;
    }
  }

  // Gives a new, empty path the text of a piece of another path's; the
  // caller splits it.
  static void set_text(path& fresh, std::string_view text) {
    string_type& to = fresh._M_pathname;
    if (text.size() > vornel::own_buffer_bytes) to.reserve(text.size());
    vornel::copy_bytes(to.data(), text.data(), text.size());
    to.data()[text.size()] = '\0';
    vornel::set_length(to, text.size());
  }

  static string_type& text(path& p) noexcept { return p._M_pathname; }
  static const string_type& text(const path& p) noexcept { return p._M_pathname; }

  // Whether p is one of the components in `l`, which a call that changes the
  // list may move or destroy before it has read p.
  static bool is_component_of(const _List& l, const path& p) noexcept {
    const _Impl* block = impl(l);
    return block && std::less_equal<const void*>()(block->begin(), &p) &&
           std::less<const void*>()(&p, block->end());
  }

  // The argument of a call that changes `self`, or, when it is `self` or one
  // of its components, which the change may alter or destroy before it is
  // read, a copy of it made in `copy`.
  static const path& unaliased(const path& self, const path& arg, path& copy) {
    if (&arg != &self && !is_component_of(self._M_cmpts, arg)) return arg;
    copy = arg;
    return copy;
  }

  static bool is_dot(const path& p) noexcept { return std::string_view(p._M_pathname) == "."; }
  static bool is_dotdot(const path& p) noexcept {
    return std::string_view(p._M_pathname) == "..";
  }

  // Where a component of an added path lies in that path's text, and its
  // kind: read before the call changes anything, as the added path may be
  // the path itself.
  struct Piece {
    std::size_t pos;
    std::size_t size;
    _Type kind;
  };
  static Piece piece_of(const _Cmpt& c) noexcept {
    return {c._M_pos, c._M_pathname.size(), c._M_type()};
  }

  // Adds the batch's components from the `from`-th on, each at its place in
  // the text that `parser` scans. The caller has reserved room for them.
  static void add_batch(_List& l, const _Parser& parser, const vornel::ParseBatch& batch,
                        int from = 0);
  // add_batch(), then, when gather() set one aside, that one and every
  // further one the parser yields.
  static void add_gathered(_List& l, _Parser& parser, const vornel::ParseBatch& batch,
                           int from = 0);

  // Makes `to` a copy of `from`, which a change of `to` could destroy, by
  // way of a separate copy; and makes `to` the path built from `text`. Out of
  // line, so that their local paths put no stack guard into the callers.
  static path& assign_copy(path& to, const path& from);
  static void assign_text(path& to, std::string_view text);

  // compare() of two paths whose texts differ.
  static int compare_structure(const path& self, const path& p) noexcept;

  // The list of a text that has a separator and more: for _M_split_cmpts().
  static void split_list(path& p);

  // Replaces the block of `l` by one of capacity n, or of 1.5 times the old
  // capacity when that is more and `exact` is false, and moves the
  // components into it. For reserve(), once it knows the block must grow.
  static void grow(_List& l, int n, bool exact);

  class Elements;
  class GrowOnce;
  class Undo;
  class AppendUndo;
  class ConcatUndo;
};

// The elements of a path as its iteration yields them: the components of a
// _Multi path, or the path itself once (none when it is empty). The bounds
// are read once, where the path's iterator reads the end again at every step.
class path::_Detail::Elements {
 public:
  explicit Elements(const path& p) noexcept {
    if (p._M_type() == _Type::_Multi) {
      // The block is read directly: the list's exported begin() and end()
      // would cost a call each and make this same check.
      __vornel_check_as(!p._M_cmpts.empty(), "!empty()");
      cur_ = impl(p._M_cmpts)->begin();
      end_ = impl(p._M_cmpts)->end();
    } else if (!p.empty()) {
      self_ = &p;
    }
  }

  bool done() const noexcept { return self_ ? at_end_ : cur_ == end_; }
  // Whether the current element is the last.
  bool is_last() const noexcept { return self_ ? !at_end_ : cur_ + 1 == end_; }

  // The root directory, which only the first element can be: the current
  // element when it is one, else null.
  const path* root() const noexcept {
    return !done() && (**this)._M_type() == _Type::_Rootdir ? &**this : nullptr;
  }
  // Steps past the root directory, if the current element is one; true when
  // it was.
  bool skip_root() noexcept {
    if (!root()) return false;
    ++*this;
    return true;
  }

  // The components still to come, none for a path that is one element, as
  // a cursor that knows it walks a block: loops that only meet components
  // run on it without asking at each step.
  Elements components() const noexcept {
    return self_ ? Elements() : Elements(cur_, end_);
  }

  // Where the current element starts in the path's text.
  std::size_t pos() const noexcept { return self_ ? 0 : cur_->_M_pos; }

  const path& operator*() const noexcept {
    if (self_) return *self_;
    __vornel_check_as(cur_ != end_, "_M_cur != _M_path->_M_cmpts.end()");
    return *cur_;
  }
  const path* operator->() const noexcept { return &**this; }

  Elements& operator++() noexcept {
    if (self_) {
      __vornel_check_as(!at_end_, "!_M_at_end");
      at_end_ = true;
    } else {
      __vornel_check_as(cur_ != end_, "_M_cur != _M_path->_M_cmpts.end()");
      ++cur_;
    }
    return *this;
  }

 private:
  Elements() noexcept = default;
  Elements(const _Cmpt* cur, const _Cmpt* end) noexcept : cur_(cur), end_(end) {}

  const path* self_ = nullptr;
  const _Cmpt* cur_ = nullptr;
  const _Cmpt* end_ = nullptr;
  bool at_end_ = false;
};

// The text of a result that is built by appending, grown once for all that
// is still to come at the first append that would grow it anyway: the text
// then grows once, not at each doubling, and never where it would not have.
class path::_Detail::GrowOnce {
 public:
  explicit GrowOnce(path& result) noexcept : text_(result._M_pathname) {}

  // Grows the text, if this is the append that grows it, before `next` is
  // appended; at most `rest` more bytes are to come, `next` and its separator
  // included.
  void reserve_for(const path& next, std::size_t rest) {
    if (grown_) return;
    const std::size_t length = text_.size();
    const std::size_t size = next._M_pathname.size();
    if (length + 1 + size <= text_.capacity()) return;
    const std::size_t need = length == 0 ? size : length + !vornel::is_dir_sep(text_.back()) + size;
    if (need <= text_.capacity()) return;
    text_.reserve(length + rest);
    grown_ = true;
  }

 private:
  string_type& text_;
  bool grown_ = false;
};

inline void path::_Detail::add_batch(_List& l, const _Parser& parser,
                                     const vornel::ParseBatch& batch, int from) {
  Filler fill(l);
  for (int i = from, n = batch.size(); i < n; ++i)
    fill.add(batch[i].text, batch[i].kind, parser.position(batch[i]));
}

inline void path::_Detail::add_gathered(_List& l, _Parser& parser,
                                        const vornel::ParseBatch& batch, int from) {
  add_batch(l, parser, batch, from);
  for (auto c = batch.set_aside(); c.valid(); c = parser.next())
    emplace_back(l, c.text, c.kind, parser.position(c));
}

// The parser's steps, defined here so that every scan inlines them.
inline path::_Parser::cmpt path::_Parser::root_step() noexcept {
  using vornel::is_dir_sep, vornel::skip_separators;
  cmpt root;
  if (input.empty() || !is_dir_sep(input[0])) return root;
  root.text = std::string_view(input.data(), 1);
  root.kind = _Type::_Rootdir;
  cursor = skip_separators(input.data(), 1, input.size());
  prev_type = _Type::_Rootdir;
  return root;
}

inline path::_Parser::cmpt path::_Parser::next() noexcept {
  using vornel::is_dir_sep, vornel::npos, vornel::skip_separators;
  cmpt found;
  if (cursor == npos) {
    prev_type = _Type::_Multi;
    return found;
  }
  const std::size_t entry = cursor;
  const char* const data = input.data();
  const std::size_t n = input.size();
  // After a filename the scan stands on the separator that ended it.
  const std::size_t start =
      skip_separators(data, entry + (prev_type == _Type::_Filename), n);
  if (start < n) {
    const void* sep = std::memchr(data + start, '/', n - start);
    const std::size_t end = sep ? std::size_t(static_cast<const char*>(sep) - data) : n;
    found.text = std::string_view(data + start, end - start);
    found.kind = _Type::_Filename;
    cursor = sep ? end : npos;
    prev_type = _Type::_Filename;
    return found;
  }
  cursor = npos;
  if (prev_type == _Type::_Filename || (n != 0 && entry == 0)) {
    __vornel_check_as(n > 0, "this->_M_len > 0");
    __vornel_check(is_dir_sep(input.back()));
    found.text = std::string_view(data + n, 0);
    found.kind = _Type::_Filename;
  }
  prev_type = found.kind;
  return found;
}

inline path::_List::iterator path::_List::begin() noexcept {
  __vornel_check(!empty());
  return _Detail::impl(*this)->begin();
}

inline path::_List::iterator path::_List::end() noexcept {
  __vornel_check(!empty());
  return _Detail::impl(*this)->end();
}

inline void path::_List::reserve(int n, bool exact) {
  if (capacity() < n) _Detail::grow(*this, n, exact);
}

inline void path::_List::clear() {
  if (_Impl* p = _Detail::impl(*this)) p->_M_erase_from(p->begin());
}

inline path::_Cmpt& path::_List::front() noexcept { return *begin(); }
inline path::_Cmpt& path::_List::back() noexcept { return *(end() - 1); }
inline const path::_Cmpt& path::_List::front() const noexcept { return *begin(); }
inline const path::_Cmpt& path::_List::back() const noexcept { return *(end() - 1); }

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_PATH_INTERNAL_H
