// Private to the library: path::_Detail, the class through which the library
// reaches into a path: building components and blocks in raw storage, copying
// and setting texts, telling an argument that aliases the path it changes;
// then the component list's members that the header leaves to the library.
//
// Names: what the header declares keeps the reserved style it has there
// (_Detail, _Impl, _M_copy), as it lives in namespace std beside the
// runtime's own. What only the library's sources declare, inside those
// classes or in namespace vornel, is named plainly: Elements, Block,
// storage_, skip_separators.
#ifndef VORNEL_SRC_PATH_DETAIL_H
#define VORNEL_SRC_PATH_DETAIL_H

#include <fs_path>

#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <string_view>

#include "layout.h"

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
  static void construct(_Cmpt* to, std::string_view text, _Type kind, std::size_t pos) {
    construct_text(&to->_M_pathname, text);
    construct_list(to, [] { return _List(); });
    __vornel_check_as(kind != _Type::_Multi, "__type != _Type::_Multi");
    to->_M_cmpts.type(kind);
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
  static void emplace_back(_List& l, std::string_view text, _Type kind, std::size_t pos) {
    _Impl* p = impl(l);
    construct(p->end(), text, kind, pos);
    ++p->_M_size;
  }

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

  // Makes `to` a copy of `from`, which a change of `to` could destroy, by
  // way of a separate copy; and makes `to` the path built from `text`. Out of
  // line, so that their local paths put no stack guard into the callers.
  static path& assign_copy(path& to, const path& from);
  static void assign_text(path& to, std::string_view text);

  // The list of a text that has a separator and more: for _M_split_cmpts().
  static void split_list(path& p);

  // Replaces the block of `l` by one of capacity n, or of 1.5 times the old
  // capacity when that is more and `exact` is false, and moves the
  // components into it. For reserve(), once it knows the block must grow.
  static void grow(_List& l, int n, bool exact);

  // The library's tools on a path, each defined beside the code that uses it.
  class Elements;    // src/path/elements.h
  class Filler;      // src/path/fill.h
  class Order;       // src/lexical/compare.cc
  class GrowOnce;    // src/lexical/grow_once.h
  class Undo;        // src/compose/undo.h
  class AddedPath;   // src/compose/undo.h
  class AppendUndo;  // src/compose/append.cc
  class ConcatUndo;  // src/compose/concat.cc
};

// The list members that change the list or hand out its components for
// change: declared by the header, defined for the library alone.

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

#endif  // VORNEL_SRC_PATH_DETAIL_H
