// Appending with a separator: operator/= for paths and _M_append for text.
// Both keep the components the path already has and build only the new ones.
#include "undo.h"

namespace vornel {
namespace {

// Adds a separator when asked, then `s`, to `text`, growing it at most once.
// s may view `text` itself: it is read only here, once its place in the grown
// text is known.
inline void add_text(path::string_type& text, bool separator, std::string_view s) {
  const std::size_t length = text.size();
  const std::size_t end = length + separator + s.size();
  if (end > text.capacity()) {
    const char* const old = text.data();
    const bool own = std::less_equal<const char*>()(old, s.data()) &&
                     std::less_equal<const char*>()(s.data(), old + length);
    const std::size_t at = own ? std::size_t(s.data() - old) : 0;
    text.reserve(end);
    if (own) s = std::string_view(text.data() + at, s.size());
  }
  char* const to = text.data() + length;
  if (separator) to[0] = path::preferred_separator;
  copy_bytes(to + separator, s.data(), s.size());
  to[separator + s.size()] = '\0';
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

path& path::operator/=(const path& __p) {
  if (__p.has_root_directory() || empty()) {
    if (!_Detail::is_component_of(_M_cmpts, __p)) return *this = __p;
    return _Detail::assign_copy(*this, __p);
  }
  const bool separator = has_filename();
  if (!separator && __p.empty()) return *this;

  const bool multi = __p._M_type() == _Type::_Multi;
  if (!multi) __vornel_check(__p._M_type() == _Type::_Filename);
  const std::size_t size = __p._M_pathname.size();
  const int count = multi ? __p._M_cmpts.size() : 1;
  // Read now: when __p is this path, its last component may be dropped.
  const _Detail::Piece last =
      multi ? _Detail::piece_of(__p._M_cmpts.back()) : _Detail::Piece{0, size, _Type::_Filename};

  _Detail::AppendUndo undo(*this);
  add_text(_M_pathname, separator, __p._M_pathname);
  try {
    const std::size_t base = undo.length() + separator;
    undo.make_room(count);
    // The new components' texts are read from the copy just appended.
    const std::string_view added(_M_pathname.data() + base, size);
    const _List::_Impl* block = multi ? _Detail::impl(__p._M_cmpts) : nullptr;
    if (multi) __vornel_check_as(block != nullptr, "get() != pointer()");
    for (int i = 0; i < count; ++i) {
      const _Detail::Piece c = i + 1 < count ? _Detail::piece_of(block->begin()[i]) : last;
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
  const bool separator = has_filename();
  if (!separator && s.empty()) return;

  _Detail::AppendUndo undo(*this);
  const std::size_t room = _M_pathname.max_size() - undo.length();
  if (s.size() > room) std::__throw_length_error("basic_string::append");
  const std::size_t base = undo.length() + separator;
  try {
    if (s.size() + separator <= room) {
      add_text(_M_pathname, separator, s);
    } else {
      // Only the separator would pass the maximum: the string's own append
      // meets it first, as it does whatever is added.
      _M_pathname.append(s.data(), s.size());
      _M_pathname.insert(undo.length(), 1, preferred_separator);
    }
    std::string_view input(_M_pathname);
    __vornel_check_as(input.size() >= base, "this->_M_len >= __n");
    input.remove_prefix(base);
    _Parser parser(input, base);
    ParseBatch found;
    found.gather(parser);
    const bool empty_name = found.total() == 0 && separator;
    undo.make_room(found.total() + empty_name);
    _Detail::add_gathered(_M_cmpts, parser, found);
    if (empty_name)
      _Detail::emplace_back(_M_cmpts, std::string_view(), _Type::_Filename, base);
  } catch (...) {
    undo.restore();
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
