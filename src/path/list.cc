// The component list: its block, copy, assignment, reservation and removal,
// and copy-assignment of a whole path.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "detail.h"

namespace std::filesystem::__cxx11 {

path::_List::_List() : _M_impl(reinterpret_cast<_Impl*>(_Type::_Filename)) {}

path::_List::_List(const _List& other) {
  if (!other.empty())
    _M_impl = _Detail::impl(other)->_M_copy();
  else
    type(other.type());
}

void path::_List::_Impl_deleter::operator()(_Impl* p) const noexcept {
  p = _S_block_of(p);
  if (!p) return;
  __vornel_check(p->_M_size <= p->_M_capacity);
  const int capacity = p->_M_capacity;
  p->_M_erase_from(p->begin());
  p->~_Impl();
  ::operator delete(p, _Detail::block_bytes(capacity));
}

path::_Cmpt::~_Cmpt() = default;

void path::_Detail::construct_long_text(string_type* raw, std::string_view text) {
  ::new (raw) string_type(text.data(), text.size());
}

std::unique_ptr<path::_List::_Impl, path::_List::_Impl_deleter>
path::_List::_Impl::_M_copy() const {
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
    _M_impl = from->_M_copy();
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
  __vornel_check(!empty());
  return _Detail::impl(*this)->begin();
}

path::_List::const_iterator path::_List::end() const noexcept {
  __vornel_check(!empty());
  return _Detail::impl(*this)->end();
}

void path::_List::pop_back() {
  __vornel_check(size() > 0);
  _Impl* p = _Detail::impl(*this);
  p->end()[-1].~_Cmpt();
  --p->_M_size;
}

void path::_List::_M_erase_from(const_iterator pos) {
  _Detail::impl(*this)->_M_erase_from(pos);
}

void path::_Detail::grow(_List& l, int n, bool exact) {
  _Impl* const old = impl(l);
  const int c = old ? old->_M_capacity : 0;
  if (!exact) {
    const double grown = c * 1.5;
    if (grown > n) n = grown >= double(INT32_MAX) ? INT32_MAX : int(grown);
  }
  _Impl* const block = new_block(n).release();
  if (old) {
    // The components change hands byte for byte, and a text held in the
    // string's own buffer is aimed at the copy of that buffer (layout.h).
    // The new block owns what they owned, so the old one is released
    // without destroying them. A move through the constructors would build
    // an empty component first (a call through the symbol table) and copy
    // each short text with a call of its own.
    const int size = old->_M_size;
    char* const from = reinterpret_cast<char*>(old->begin());
    char* const to = reinterpret_cast<char*>(block->begin());
    std::memcpy(to, from, std::size_t(size) * sizeof(_Cmpt));
    for (std::size_t at = 0, end = std::size_t(size) * sizeof(_Cmpt); at != end;
         at += sizeof(_Cmpt)) {
      char* bytes;
      std::memcpy(&bytes, to + at, sizeof bytes);
      const std::uintptr_t offset = std::uintptr_t(bytes) - std::uintptr_t(from + at);
      if (offset < sizeof(_Cmpt)) {
        bytes = to + at + offset;
        std::memcpy(to + at, &bytes, sizeof bytes);
      }
    }
    block->_M_size = size;
    ::operator delete(old, block_bytes(c));
  }
  // The old word is dropped: its block was freed above, or it held a kind
  // alone, which leaves the deleter nothing to do.
  l._M_impl.release();
  l._M_impl.reset(block);
}

path& path::operator=(const path& p) {
  if (&p == this) return *this;
  // One of this path's own components would be destroyed by the list
  // assignment before its text is read: assign from a copy of it instead.
  if (_Detail::is_component_of(_M_cmpts, p)) return _Detail::assign_copy(*this, p);
  _M_pathname.reserve(p._M_pathname.length());
  _M_cmpts = p._M_cmpts;
  _M_pathname = p._M_pathname;
  return *this;
}

path& path::_Detail::assign_copy(path& to, const path& from) {
  const path copy(from);
  return to = copy;
}

void path::_Detail::assign_text(path& to, std::string_view text) { to = path(text); }

}  // namespace std::filesystem::__cxx11
