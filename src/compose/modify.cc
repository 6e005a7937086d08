// The modifiers of a path's end: removing or replacing the filename and
// replacing the extension, each editing the component list in place.
#include <string_view>

#include "../path/detail.h"
#include "../path/parser.h"

using namespace vornel;

namespace std::filesystem::__cxx11 {

path& path::remove_filename() {
  if (_M_type() == _Type::_Filename) {
    _M_pathname.clear();
    _M_split_cmpts();
    return *this;
  }
  if (_M_type() != _Type::_Multi || _M_cmpts.empty()) return *this;
  _Cmpt& last = _M_cmpts.back();
  if (last._M_type() != _Type::_Filename || last._M_pathname.empty()) return *this;

  // The separator before the name stays.
  _M_pathname.erase(last._M_pos);
  const int size = _M_cmpts.size();
  if (size > 1 && _M_cmpts.begin()[size - 2]._M_type() == _Type::_Rootdir) {
    _M_cmpts.pop_back();
    if (_M_cmpts.size() == 1) {
      const _Type kind = _M_cmpts.front()._M_type();
      _M_cmpts.clear();
      _M_cmpts.type(kind);
    }
  } else {
    last._M_pathname.clear();
    last._M_split_cmpts();
  }
  return *this;
}

path& path::replace_filename(const path& p) {
  path copy;
  const path& name = _Detail::unaliased(*this, p, copy);
  remove_filename();
  *this /= name;
  return *this;
}

path& path::replace_extension(const path& p) {
  path copy;
  const path& replacement = _Detail::unaliased(*this, p, copy);
  const auto ext = _M_find_extension();
  if (ext.first && ext.second != npos) {
    if (ext.first == &_M_pathname) {
      _M_pathname.erase(ext.second);
    } else {
      // Cut by the same number of bytes, so every position stays valid.
      _Cmpt& back = _M_cmpts.back();
      __vornel_check(ext.first == &back._M_pathname);
      back._M_pathname.erase(ext.second);
      _M_pathname.erase(back._M_pos + ext.second);
    }
  }
  if (!replacement.empty() && replacement._M_pathname[0] != '.')
    _M_concat(std::string_view(".", 1));
  *this += replacement;
  return *this;
}

}  // namespace std::filesystem::__cxx11
