// Appending with a separator: operator/= for paths and _M_append for text.
// Both keep the components the path already has and build only the new ones.
#include <cstddef>
#include <functional>
#include <string_view>

#include "../path/batch.h"
#include "../path/fill.h"
#include "../path/parser.h"
#include "undo.h"

namespace vornel {
namespace {

// Adds a separator when asked, then `s`, to `text`, growing it at most once.
// s may view `text` itself: it is read only here, once its place in the grown
// text is known.
inline void add_text(path::string_type& text, bool with_separator, std::string_view s) {
  const std::size_t length = text.size();
  const std::size_t end = length + with_separator + s.size();
  if (end > text.capacity()) {
    const char* const old = text.data();
    const bool own = std::less_equal<const char*>()(old, s.data()) &&
                     std::less_equal<const char*>()(s.data(), old + length);
    const std::size_t at = own ? std::size_t(s.data() - old) : 0;
    text.reserve(end);
    if (own) s = std::string_view(text.data() + at, s.size());
  }
  char* const to = text.data() + length;
  if (with_separator) to[0] = separator;
  copy_bytes(to + with_separator, s.data(), s.size());
  to[with_separator + s.size()] = '\0';
  set_length(text, end);
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

// The old components are kept and lined up for the new to follow.
class path::_Detail::AppendUndo : public Undo {
 public:
  using Undo::Undo;

  // Reserves the block for `added` new components: a path of one component
  // becomes one holding its whole text, and a trailing empty filename gives
  // way to the first new component.
  void make_room(std::size_t added) {
    reserve(added);
    if (kind_ != _Type::_Multi) {
      emplace_back(list_, std::string_view(text_.data(), length_), kind_, 0);
    } else if (list_.back()._M_pathname.empty()) {
      drop_last();
    }
  }
};

// Assignment copies a path that is one of this path's components first.
path& path::operator/=(const path& __p) {
  if (__p.has_root_directory() || empty()) return *this = __p;
  const bool with_separator = has_filename();
  if (!with_separator && __p.empty()) return *this;

  if (__p._M_type() != _Type::_Multi) __vornel_check(__p._M_type() == _Type::_Filename);
  _Detail::AddedPath from(__p);
  const std::size_t size = __p._M_pathname.size();

  _Detail::AppendUndo undo(*this);
  add_text(_M_pathname, with_separator, __p._M_pathname);
  try {
    const std::size_t base = undo.length() + with_separator;
    undo.make_room(from.count());
    from.find_block();
    // The new components' texts are read from the copy just appended.
    const std::string_view added(_M_pathname.data() + base, size);
    for (int i = 0; i < from.count(); ++i) {
      const _Detail::AddedPath::Piece c = from[i];
      _Detail::emplace_back(_M_cmpts, added.substr(c.pos, c.size), _Type::_Filename,
                            base + c.pos);
    }
  } catch (...) {
    undo.restore();
    throw;
  }
  return *this;
}

void path::_M_append(std::string_view s) {
  if ((!s.empty() && is_dir_sep(s.front())) || empty()) {
    _Detail::assign_text(*this, s);
    return;
  }
  const bool with_separator = has_filename();
  if (!with_separator && s.empty()) return;

  _Detail::AppendUndo undo(*this);
  const std::size_t room = _M_pathname.max_size() - undo.length();
  if (s.size() > room) std::__throw_length_error("basic_string::append");
  const std::size_t base = undo.length() + with_separator;
  try {
    if (s.size() + with_separator <= room) {
      add_text(_M_pathname, with_separator, s);
    } else {
      // Only the separator would pass the maximum: the string's own append
      // meets it first, as it does whatever is added.
      _M_pathname.append(s.data(), s.size());
      _M_pathname.insert(undo.length(), 1, separator);
    }
    std::string_view input(_M_pathname);
    __vornel_check_as(input.size() >= base, "this->_M_len >= __n");
    input.remove_prefix(base);
    _Parser parser(input, base);
    ParseBatch found;
    found.gather(parser);
    const bool empty_name = found.total() == 0 && with_separator;
    undo.make_room(found.total() + empty_name);
    _Detail::Filler::add_gathered(_M_cmpts, parser, found);
    if (empty_name)
      _Detail::emplace_back(_M_cmpts, std::string_view(), _Type::_Filename, base);
  } catch (...) {
    undo.restore();
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
