// The normal form of a path, from its text alone: dot elements go, a filename
// followed by ".." cancels out, and runs of separators, the root's included,
// collapse.
#include <cstddef>

#include "../path/detail.h"
#include "../path/elements.h"
#include "../path/parser.h"
#include "grow_once.h"

using namespace vornel;

namespace std::filesystem::__cxx11 {

path path::lexically_normal() const {
  path ret;
  if (empty()) return ret;
  _Detail::Elements e(*this);
  // The root directory enters the result as its one byte (parser.h).
  if (e.skip_root()) _Detail::assign_text(ret, root_directory_text);
  const path nothing;
  _Detail::GrowOnce text(ret);
  for (; !e.done(); ++e) {
    const path& p = *e;
    // Each element adds at most itself and one separator, and the elements
    // still to come lie apart in this path's text, so the rest of the text
    // and one separator bound what the result may still grow by.
    const std::size_t rest = _M_pathname.size() - e.pos() + 1;
    auto append = [&](const path& next) {
      text.reserve_for(next, rest);
      ret /= next;
    };
    if (_Detail::is_dot(p)) {
      append(nothing);
      continue;
    }
    if (!_Detail::is_dotdot(p)) {
      append(p);
      continue;
    }
    if (ret.has_filename()) {
      // The result's filename: the result itself, or its last component.
      const path& name = ret._M_type() == _Type::_Multi
                             ? _Detail::impl(ret._M_cmpts)->end()[-1]
                             : static_cast<const path&>(ret);
      if (_Detail::is_dotdot(name))
        append(p);
      else
        ret.remove_filename();
      continue;
    }
    if (!ret.has_relative_path()) {
      // ".." right after the root directory stays at the root.
      if (!ret.has_root_directory()) append(p);
      continue;
    }
    // The result ends in a separator; cancel the filename before it without
    // parsing the result again.
    _List& list = ret._M_cmpts;
    _Cmpt* elem = list.end() - 2;
    if (!elem->has_filename() || _Detail::is_dotdot(*elem)) {
      append(p);
    } else if (elem == list.begin()) {
      ret._M_pathname.clear();
      ret._M_split_cmpts();
    } else {
      ret._M_pathname.erase(elem->_M_pos);
      list.pop_back();
      if (elem[-1]._M_type() == _Type::_Filename) {
        // elem now stands for the trailing separator, at the new end.
        elem->_M_pathname.clear();
        elem->_M_split_cmpts();
      } else {
        list.pop_back();
      }
    }
  }

  if (ret._M_cmpts.size() >= 2) {
    const _Cmpt* last = _Detail::impl(ret._M_cmpts)->end() - 1;
    if (last->empty() && _Detail::is_dotdot(last[-1])) ret = ret.parent_path();
  } else if (ret.empty()) {
    _Detail::assign_text(ret, ".");
  }
  return ret;
}

}  // namespace std::filesystem::__cxx11
