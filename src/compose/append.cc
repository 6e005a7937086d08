// Appending with a separator: operator/= for paths and _M_append for text.
// Both keep the components the path already has and build only the new ones.
#include "../path/internal.h"

#include <climits>
#include <functional>
#include <new>

namespace std::filesystem::__cxx11 {
namespace {

using Type = path::_Type;

// A block counts its components in an int; a longer list could never be
// allocated anyway.
int block_count(std::size_t n) {
  if (n > std::size_t(INT_MAX)) throw std::bad_alloc();
  return int(n);
}

// Where a component lies within a text: an appended path's, or a parser's
// input.
struct Piece {
  std::size_t pos;
  std::size_t size;
};

Piece piece_of(const path::_Cmpt& c) { return {c._M_pos, c.native().size()}; }

// Whether p is one of the components of `list`, which the call may move.
bool is_component_of(const path::_List& list, const path& p) {
  if (list.empty()) return false;
  const std::less<const void*> before;
  return !before(&p, list.begin()) && before(&p, list.end());
}

// Up to 64 components parsed from appended text, kept as pieces of the
// parser's input until the block has been reserved for all of them. A longer
// text sets its 65th component aside and counts the rest on a copy of the
// parser, so that the block is still reserved once.
struct Gathered {
  static constexpr int kBatch = 64;
  Piece batch[kBatch];
  int size = 0;
  path::_Parser::cmpt set_aside;
  std::size_t beyond = 0;

  std::size_t total() const {
    return std::size_t(size) + (set_aside.valid() ? 1 + beyond : 0);
  }
};

void gather(path::_Parser& parser, Gathered& g) {
  for (auto c = parser.next(); c.valid(); c = parser.next()) {
    if (g.size == Gathered::kBatch) {
      g.set_aside = c;
      path::_Parser ahead = parser;
      while (ahead.next().valid()) ++g.beyond;
      return;
    }
    g.batch[g.size++] = {std::size_t(c.text.data() - parser.input.data()), c.text.size()};
  }
}

// Members of path hand in path::_Detail as D: only they may name it.
template <typename D>
void add_gathered(path::_List& list, path::_Parser& parser, const Gathered& g) {
  for (int i = 0; i < g.size; ++i) {
    const Piece& c = g.batch[i];
    D::emplace_back(list, std::string_view(parser.input.data() + c.pos, c.size),
                    Type::_Filename, parser.base_offset + c.pos);
  }
  if (!g.set_aside.valid()) return;
  for (auto c = g.set_aside; c.valid(); c = parser.next())
    D::emplace_back(list, c.text, Type::_Filename, parser.position(c));
}

// A path being appended to, and what it had: an allocation that fails after
// the path began to change puts back its text, kind and components.
template <typename D>
class Undo {
 public:
  explicit Undo(path& p)
      : text_(D::text(p)), list_(D::list(p)), length_(text_.size()),
        kind_(list_.type()), count_(list_.size()) {}

  std::size_t length() const { return length_; }

  // Reserves the block once for the old components and `added` new ones,
  // then lines up the old ones for the new to follow: a path of one
  // component becomes one holding its whole text, and a trailing empty
  // filename gives way to the first new component.
  void make_room(std::size_t added) {
    const int n = block_count(std::size_t(kind_ == Type::_Multi ? count_ : 1) + added);
    list_.type(Type::_Multi);
    list_.reserve(n, false);
    if (kind_ != Type::_Multi) {
      D::emplace_back(list_, std::string_view(text_.data(), length_), kind_, 0);
    } else if (D::text(list_.back()).empty()) {
      list_.pop_back();
      dropped_ = true;
    }
  }

  void restore() noexcept {
    text_.resize(length_);
    if (kind_ == Type::_Multi) {
      const int kept = count_ - int(dropped_);
      if (list_.size() > kept) list_._M_erase_from(list_.begin() + kept);
      if (dropped_) D::emplace_back(list_, std::string_view(), Type::_Filename, length_);
    } else {
      list_.clear();
    }
    list_.type(kind_);
  }

 private:
  path::string_type& text_;
  path::_List& list_;
  const std::size_t length_;
  const Type kind_;
  const int count_;
  bool dropped_ = false;
};

}  // namespace

path& path::operator/=(const path& __p) {
  if (__p.has_root_directory() || empty()) {
    if (!is_component_of(_M_cmpts, __p)) return *this = __p;
    const path copy(__p);
    return *this = copy;
  }
  const bool separator = has_filename();
  if (!separator && __p.empty()) return *this;

  const bool multi = __p._M_type() == _Type::_Multi;
  if (!multi) VORNEL_CHECK(__p._M_type() == _Type::_Filename);
  const std::size_t size = __p._M_pathname.size();
  const int count = multi ? __p._M_cmpts.size() : 1;
  // Read now: when __p is this path, its last component may be dropped.
  const Piece last = multi ? piece_of(__p._M_cmpts.back()) : Piece{0, size};

  Undo<_Detail> undo(*this);
  _M_pathname.reserve(undo.length() + separator + size);
  try {
    if (separator) _M_pathname += preferred_separator;
    const std::size_t base = _M_pathname.size();
    _M_pathname.append(__p._M_pathname.data(), size);
    undo.make_room(count);
    // The new components' texts are read from the copy just appended.
    const std::string_view added(_M_pathname.data() + base, size);
    const _List::_Impl* block = multi ? _Detail::impl(__p._M_cmpts) : nullptr;
    if (multi) VORNEL_CHECK_AS(block != nullptr, "get() != pointer()");
    for (int i = 0; i < count; ++i) {
      const Piece c = i + 1 < count ? piece_of(block->begin()[i]) : last;
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
    *this = path(s);
    return;
  }
  const bool separator = has_filename();
  if (!separator && s.empty()) return;

  Undo<_Detail> undo(*this);
  if (s.size() > _M_pathname.max_size() - undo.length())
    std::__throw_length_error("basic_string::append");
  // s may view this path's text: it is read here and nowhere else.
  _M_pathname.append(s.data(), s.size());
  try {
    if (separator) _M_pathname.insert(undo.length(), 1, preferred_separator);
    const std::size_t base = undo.length() + separator;
    std::string_view input(_M_pathname);
    VORNEL_CHECK_AS(input.size() >= base, "this->_M_len >= __n");
    input.remove_prefix(base);
    _Parser parser(input, base);
    Gathered found;
    gather(parser, found);
    const bool empty_name = found.total() == 0 && separator;
    undo.make_room(found.total() + empty_name);
    add_gathered<_Detail>(_M_cmpts, parser, found);
    if (empty_name)
      _Detail::emplace_back(_M_cmpts, std::string_view(), _Type::_Filename, base);
  } catch (...) {
    undo.restore();
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
