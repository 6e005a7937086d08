// The component list: its block, copy, assignment, reservation and removal,
// and copy-assignment of a whole path.
#include "internal.h"

#include <new>

namespace std::filesystem::__cxx11 {

path::_List::_List() : _M_impl(reinterpret_cast<_Impl*>(_Type::_Filename)) {}

path::_List::_List(const _List& other) {
  if (!other.empty())
    _M_impl = _Detail::impl(other)->copy();
  else
    type(other.type());
}

void path::_List::_Impl_deleter::operator()(_Impl* p) const noexcept {
  p = _S_block_of(p);
  if (!p) return;
  VORNEL_CHECK(p->_M_size <= p->_M_capacity);
  const int capacity = p->_M_capacity;
  p->_M_erase_from(p->begin());
  p->~_Impl();
  ::operator delete(p, _Detail::block_bytes(capacity));
}

path::_Cmpt::~_Cmpt() = default;

std::unique_ptr<path::_List::_Impl, path::_List::_Impl_deleter>
path::_List::_Impl::copy() const {
  auto block = _Detail::new_block(_M_size);
  _Cmpt* to = block->begin();
  // _M_size counts the copies made so far, so a failure destroys just those.
  for (const _Cmpt& c : *this) {
    _Detail::construct_copy(to++, c);
    ++block->_M_size;
  }
  return block;
}

void path::_List::_Impl::_M_erase_from(const _Cmpt* pos) {
  _Cmpt* first = begin() + (pos - begin());
  for (_Cmpt* c = first, *last = end(); c != last; ++c) {
    // A component's list word holds only its kind: there is nothing for the
    // deleter to free, so the word is dropped without the call, and its text
    // is all that is left to release.
    if (!_Detail::impl(c->_M_cmpts)) {
      c->_M_cmpts._M_impl.release();
      using string_type = path::string_type;
      _Detail::text(*c).~string_type();
    } else {
      c->~_Cmpt();
    }
  }
  _M_size -= int(end() - first);
}

path::_List& path::_List::operator=(const _List& other) {
  _Impl* from = _Detail::impl(other);
  const int n = other.size();
  if (n == 0) {
    clear();
    type(other.type());
    return *this;
  }
  _Impl* to = _Detail::impl(*this);
  if (!to || to->_M_capacity < n) {
    _M_impl = from->copy();
    return *this;
  }
  const int m = to->_M_size;
  const int k = std::min(m, n);
  _Cmpt* dst = to->begin();
  const _Cmpt* src = from->begin();
  // Every allocation happens before the first kept component is overwritten.
  for (int i = 0; i < k; ++i)
    _Detail::text(dst[i]).reserve(_Detail::text(src[i]).size());
  if (m < n) {
    int built = m;
    try {
      for (; built < n; ++built) _Detail::construct_copy(dst + built, src[built]);
    } catch (...) {
      for (int i = m; i < built; ++i) dst[i].~_Cmpt();
      throw;
    }
    to->_M_size = n;
  } else if (m > n) {
    to->_M_erase_from(dst + n);
  }
  for (int i = 0; i < k; ++i) {
    dst[i] = src[i];
  }
  type(_Type::_Multi);
  return *this;
}

path::_List::const_iterator path::_List::begin() const noexcept {
  VORNEL_CHECK(!empty());
  return _Detail::impl(*this)->begin();
}

path::_List::const_iterator path::_List::end() const noexcept {
  VORNEL_CHECK(!empty());
  return _Detail::impl(*this)->end();
}

void path::_List::clear() {
  if (_Impl* p = _Detail::impl(*this)) p->_M_erase_from(p->begin());
}

void path::_List::pop_back() {
  VORNEL_CHECK(size() > 0);
  _Impl* p = _Detail::impl(*this);
  p->end()[-1].~_Cmpt();
  --p->_M_size;
}

void path::_List::_M_erase_from(const_iterator pos) {
  _Detail::impl(*this)->_M_erase_from(pos);
}

namespace {

// Moves a component into the raw slot `to` byte for byte, then aims a text
// held in the string's own buffer at the copy of that buffer. The source is
// left to be released without its destructor. A move through the
// constructors would build an empty component first (a call through the
// symbol table) and copy each short text with a call of its own. The string
// layout this relies on is stated in layout.h.
void relocate(const path::_Cmpt& from, path::_Cmpt* to) noexcept {
  const char* const old = reinterpret_cast<const char*>(&from);
  char* const copy = reinterpret_cast<char*>(to);
  std::memcpy(static_cast<void*>(copy), old, sizeof(path::_Cmpt));
  const char* const bytes = from.native().data();
  if (bytes >= old && bytes < old + sizeof(path::_Cmpt)) {
    char* const moved = copy + (bytes - old);
    std::memcpy(copy, &moved, sizeof moved);
  }
}

}  // namespace

void path::_List::reserve(int n, bool exact) {
  _Impl* cur = _Detail::impl(*this);
  const int c = cur ? cur->_M_capacity : 0;
  if (c >= n) return;
  if (!exact) {
    const double grown = c * 1.5;
    if (grown > n) n = grown >= double(INT32_MAX) ? INT32_MAX : int(grown);
  }
  auto block = _Detail::new_block(n);
  if (cur) {
    // The components change hands: the old block is released without
    // destroying them, as the new one owns what they owned. Nothing here
    // throws.
    _Cmpt* to = block->begin();
    for (const _Cmpt& from : *cur) relocate(from, to++);
    block->_M_size = cur->_M_size;
    cur->_M_size = 0;
  }
  _M_impl = std::move(block);
}

path& path::operator=(const path& p) {
  if (&p == this) return *this;
  // One of this path's own components would be destroyed by the list
  // assignment before its text is read: assign from a copy of it instead.
  if (_Detail::is_component_of(_M_cmpts, p)) {
    const path copy(p);
    return *this = copy;
  }
  _M_pathname.reserve(p._M_pathname.length());
  _M_cmpts = p._M_cmpts;
  _M_pathname = p._M_pathname;
  return *this;
}

}  // namespace std::filesystem::__cxx11
