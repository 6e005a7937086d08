// The read-only queries that take a path apart: root, relative part, parent,
// the yes/no questions about them, and the place of the extension.
#include "internal.h"

#include <algorithm>

namespace std::filesystem::__cxx11 {
namespace {

// The first component after a root name and a root directory, or `last`.
const path::_Cmpt* skip_root(const path::_Cmpt* c, const path::_Cmpt* last) {
  if (c != last && c->_M_type() == Type::_Rootname) ++c;
  if (c != last && c->_M_type() == Type::_Rootdir) ++c;
  return c;
}

// The root directory a path holds in its kind alone is always written as
// one separator, however long the run in its text.
path lone_root_directory() { return path(std::string_view("/", 1)); }

}  // namespace

// Where the list is known to hold components, they are read from its block
// directly rather than through the list's exported begin() and end().

bool path::has_root_name() const noexcept {
  if (_M_type() == _Type::_Rootname) return true;
  if (_M_cmpts.empty()) return false;
  return _Detail::impl(_M_cmpts)->begin()->_M_type() == _Type::_Rootname;
}

bool path::has_root_directory() const noexcept {
  if (_M_type() == _Type::_Rootdir) return true;
  if (_M_cmpts.empty()) return false;
  const _List::_Impl* block = _Detail::impl(_M_cmpts);
  const _Cmpt* c = block->begin();
  const _Cmpt* last = block->end();
  if (c->_M_type() == _Type::_Rootname) ++c;
  return c != last && c->_M_type() == _Type::_Rootdir;
}

bool path::has_root_path() const noexcept {
  const _Type kind = _M_type();
  if (kind == _Type::_Rootname || kind == _Type::_Rootdir) return true;
  if (_M_cmpts.empty()) return false;
  const _Type first = _Detail::impl(_M_cmpts)->begin()->_M_type();
  return first == _Type::_Rootname || first == _Type::_Rootdir;
}

bool path::has_relative_path() const noexcept {
  if (_M_type() == _Type::_Filename && !_M_pathname.empty()) return true;
  if (_M_cmpts.empty()) return false;
  const _List::_Impl* block = _Detail::impl(_M_cmpts);
  const _Cmpt* last = block->end();
  const _Cmpt* c = skip_root(block->begin(), last);
  return c != last && !c->_M_pathname.empty();
}

bool path::has_parent_path() const noexcept {
  if (has_relative_path()) return _M_cmpts.size() > 1;
  return !empty();
}

bool path::has_filename() const noexcept {
  if (empty()) return false;
  switch (_M_type()) {
    case _Type::_Filename:
      return true;
    case _Type::_Multi: {
      if (is_dir_sep(_M_pathname.back())) return false;
      VORNEL_CHECK(!_M_cmpts.empty());
      // A component is never _Multi: the rule ends at its own kind.
      const _Cmpt& last = _Detail::impl(_M_cmpts)->end()[-1];
      return last._M_type() == _Type::_Filename && !last.empty();
    }
    default:
      return false;
  }
}

path path::root_name() const {
  path result;
  if (_M_type() == _Type::_Rootname) result = *this;
  const _List::_Impl* block = _Detail::impl(_M_cmpts);
  if (block && block->_M_size > 0 && block->begin()->_M_type() == _Type::_Rootname)
    result = *block->begin();
  return result;
}

path path::root_directory() const {
  if (_M_type() == _Type::_Rootdir) return lone_root_directory();
  path result;
  if (!_M_cmpts.empty()) {
    const _List::_Impl* block = _Detail::impl(_M_cmpts);
    const _Cmpt* c = block->begin();
    const _Cmpt* last = block->end();
    if (c->_M_type() == _Type::_Rootname) ++c;
    if (c != last && c->_M_type() == _Type::_Rootdir) result = *c;
  }
  return result;
}

path path::root_path() const {
  if (_M_type() == _Type::_Rootdir) return lone_root_directory();
  path result;
  if (_M_type() == _Type::_Rootname) result = *this;
  if (_M_cmpts.empty()) return result;
  const _List::_Impl* block = _Detail::impl(_M_cmpts);
  const _Cmpt* c = block->begin();
  if (c->_M_type() == _Type::_Rootname) {
    result = *c;
    if (++c != block->end() && c->_M_type() == _Type::_Rootdir) result /= *c;
  } else if (c->_M_type() == _Type::_Rootdir) {
    result = *c;
  }
  return result;
}

path path::relative_path() const {
  path result;
  if (_M_type() == _Type::_Filename) {
    result = *this;
  } else if (!_M_cmpts.empty()) {
    const _List::_Impl* block = _Detail::impl(_M_cmpts);
    const _Cmpt* last = block->end();
    const _Cmpt* c = skip_root(block->begin(), last);
    // Taken from the text, so that inner separator runs stay as written.
    if (c != last) {
      const std::size_t size = _M_pathname.size();
      if (c->_M_pos > size)
        std::__throw_out_of_range_fmt("%s: __pos (which is %zu) > this->size() (which is %zu)",
                                      "basic_string::substr", c->_M_pos, size);
      _Detail::set_text(result, std::string_view(_M_pathname).substr(c->_M_pos));
      result._M_split_cmpts();
    }
  }
  return result;
}

path path::parent_path() const {
  path result;
  if (!has_relative_path()) {
    result = *this;
  } else if (_M_cmpts.size() > 1) {
    const _Cmpt& c = _Detail::impl(_M_cmpts)->end()[-2];
    const std::size_t end = std::min(c._M_pos + c._M_pathname.size(), _M_pathname.size());
    _Detail::set_text(result, std::string_view(_M_pathname.data(), end));
    result._M_split_cmpts();
  }
  return result;
}

std::pair<const path::string_type*, std::size_t> path::_M_find_extension() const noexcept {
  const string_type* name = nullptr;
  if (_M_type() == _Type::_Filename) {
    name = &_M_pathname;
  } else if (_M_type() == _Type::_Multi && !_M_cmpts.empty()) {
    const _Cmpt& c = _Detail::impl(_M_cmpts)->end()[-1];
    if (c._M_type() == _Type::_Filename) name = &c._M_pathname;
  }
  if (!name || name->empty()) return {nullptr, 0};
  if (*name == "." || *name == "..") return {name, npos};
  const std::size_t dot = name->rfind('.');
  // A name that only begins with a dot, like ".profile", has no extension.
  if (dot == npos || dot == 0) return {name, npos};
  return {name, dot};
}

}  // namespace std::filesystem::__cxx11
