// The read-only queries that take a path apart: root, relative part, parent,
// the yes/no questions about them, and the place of the extension.
#include <algorithm>
#include <string_view>

#include "detail.h"
#include "elements.h"
#include "parser.h"

namespace vornel {
namespace {

// A piece of a path's text from a component's position, taken as the
// string's substr takes it. A valid list never places a component past its
// text; where a list broken by hand does, a start past the end raises the
// runtime's out-of-range error, as the string's substr and erase do at such
// a position, and an end past it stops at the end, as substr's count does.
// relative_path and parent_path take their pieces so: the string's rule,
// which the edits that erase at a position follow already.
std::string_view text_piece(const path::string_type& text, std::size_t pos,
                            std::size_t n = npos) {
  if (pos > text.size())
    std::__throw_out_of_range_fmt("%s: __pos (which is %zu) > this->size() (which is %zu)",
                                  "basic_string::substr", pos, text.size());
  return std::string_view(text.data() + pos, std::min(n, text.size() - pos));
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

// No path has a root name (layout.h), so its root path is its root directory.

bool path::has_root_name() const noexcept { return false; }

bool path::has_root_directory() const noexcept { return _Detail::Elements(*this).root(); }

bool path::has_root_path() const noexcept { return has_root_directory(); }

bool path::has_relative_path() const noexcept {
  _Detail::Elements e(*this);
  e.skip_root();
  return !e.done() && !e->empty();
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
      __vornel_check(!_M_cmpts.empty());
      // A component is never _Multi: the rule ends at its own kind.
      const _Cmpt& last = _Detail::impl(_M_cmpts)->end()[-1];
      return last._M_type() == _Type::_Filename && !last.empty();
    }
    default:
      return false;
  }
}

path path::root_name() const { return path(); }

path path::root_directory() const {
  if (_M_type() == _Type::_Rootdir) return path(root_directory_text);
  path result;
  // A root component keeps its text, which appending may have made a run.
  if (const path* root = _Detail::Elements(*this).root()) result = *root;
  return result;
}

path path::root_path() const { return root_directory(); }

path path::relative_path() const {
  path result;
  if (_M_type() == _Type::_Filename) {
    result = *this;
    return result;
  }
  _Detail::Elements e(*this);
  e.skip_root();
  if (!e.done()) {
    // Taken from the text, so that inner separator runs stay as written.
    _Detail::set_text(result, text_piece(_M_pathname, e.pos()));
    result._M_split_cmpts();
  }
  return result;
}

path path::parent_path() const {
  path result;
  if (!has_relative_path()) {
    result = *this;
  } else if (_M_cmpts.size() > 1) {
    const _Cmpt& c = _Detail::impl(_M_cmpts)->end()[-2];
    _Detail::set_text(result, text_piece(_M_pathname, 0, c._M_pos + c._M_pathname.size()));
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
