// Concatenation: operator+= for paths and _M_concat for text. The first name
// of the added text joins the path's last filename; the component list is
// edited in place.
#include "../path/internal.h"

#include <climits>
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

// One element of the added text: its kind and where it lies in that text.
struct Piece {
  Type kind;
  std::size_t pos;
  std::size_t size;
};

Piece piece_of(const path::_Cmpt& c) { return {c._M_type(), c._M_pos, c.native().size()}; }

// Up to 64 elements parsed from added text, kept as pieces of the parser's
// input until the block has been reserved for all of them. A longer text
// sets its 65th element aside and counts the rest on a copy of the parser,
// so that the block is still reserved once.
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

Piece piece_of(const path::_Parser& parser, const path::_Parser::cmpt& c) {
  return {c.kind, std::size_t(c.text.data() - parser.input.data()), c.text.size()};
}

std::string_view text_of(const path::_Parser& parser, const Piece& c) {
  return std::string_view(parser.input.data() + c.pos, c.size);
}

void gather(path::_Parser& parser, Gathered& g) {
  for (auto c = parser.next(); c.valid(); c = parser.next()) {
    if (g.size == Gathered::kBatch) {
      g.set_aside = c;
      path::_Parser ahead = parser;
      while (ahead.next().valid()) ++g.beyond;
      return;
    }
    g.batch[g.size++] = piece_of(parser, c);
  }
}

// Members of path hand in path::_Detail as D: only they may name it.
template <typename D>
void add_gathered(path::_List& list, path::_Parser& parser, const Gathered& g, int from) {
  for (int i = from; i < g.size; ++i)
    D::emplace_back(list, text_of(parser, g.batch[i]), Type::_Filename,
                    parser.base_offset + g.batch[i].pos);
  if (!g.set_aside.valid()) return;
  for (auto c = g.set_aside; c.valid(); c = parser.next())
    D::emplace_back(list, c.text, Type::_Filename, parser.position(c));
}

// A path being concatenated to, and what it had: an allocation that fails
// after the path began to change puts back its text, kind and components,
// including a last filename that was extended, dropped or reused.
template <typename D>
class Undo {
 public:
  explicit Undo(path& p)
      : text_(D::text(p)), list_(D::list(p)), length_(text_.size()),
        kind_(list_.type()), count_(list_.size()) {}

  std::size_t length() const { return length_; }
  Type kind() const { return kind_; }

  bool last_is_filename() const {
    return kind_ == Type::_Multi && list_.back()._M_type() == Type::_Filename;
  }

  // Joins the first name of the added text to the last filename.
  void join_last(std::string_view name) {
    path::string_type& last = D::text(list_.back());
    merged_ = last.size();
    last.append(name.data(), name.size());
  }

  // Reserves the block once for the old components and `added` new ones,
  // then lines up the old ones: a path of one component becomes one holding
  // its old text and `merged`, and a trailing empty filename is dropped when
  // asked to.
  void make_room(std::size_t added, std::string_view merged, bool drop_empty_last) {
    const int n = block_count(std::size_t(kind_ == Type::_Multi ? count_ : 1) + added);
    list_.type(Type::_Multi);
    list_.reserve(n, false);
    if (kind_ != Type::_Multi) {
      D::emplace_back(list_, std::string_view(), kind_, 0);
      path::string_type& head = D::text(list_.back());
      head.reserve(length_ + merged.size());
      head.append(text_.data(), length_);
      head.append(merged.data(), merged.size());
    } else if (drop_empty_last) {
      list_.pop_back();
      dropped_ = true;
    }
  }

  // The trailing empty filename takes the first new element's place.
  void reuse_empty_last(std::string_view name, std::size_t pos) {
    path::_Cmpt& last = list_.back();
    reused_ = true;
    D::text(last).assign(name.data(), name.size());
    last._M_pos = pos;
  }

  void restore() noexcept {
    text_.resize(length_);
    if (kind_ == Type::_Multi) {
      const int kept = count_ - int(dropped_);
      if (list_.size() > kept) list_._M_erase_from(list_.begin() + kept);
      if (dropped_) D::emplace_back(list_, std::string_view(), Type::_Filename, length_);
      path::_Cmpt& last = list_.back();
      if (merged_ != npos) D::text(last).resize(merged_);
      if (reused_) {
        D::text(last).clear();
        last._M_pos = length_;
      }
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
  std::size_t merged_ = npos;
  bool dropped_ = false;
  bool reused_ = false;
};

}  // namespace

path& path::operator+=(const path& p) {
  if (p.empty()) return *this;
  if (empty()) return *this = p;

  const bool multi = p._M_type() == _Type::_Multi;
  const std::size_t size = p._M_pathname.size();
  const int count = multi ? p._M_cmpts.size() : 1;
  // Read now: when p is this path, its last component may change.
  const Piece last = multi ? piece_of(p._M_cmpts.back()) : Piece{p._M_type(), 0, size};
  const _List::_Impl* block = multi ? _Detail::impl(p._M_cmpts) : nullptr;
  auto piece = [&](int i) { return i + 1 < count ? piece_of(block->begin()[i]) : last; };
  VORNEL_CHECK_AS(!_M_pathname.empty(), "!empty()");
  const bool ended_with_separator = is_dir_sep(_M_pathname.back());

  Undo<_Detail> undo(*this);
  _M_pathname.reserve(undo.length() + size);
  _M_pathname.append(p._M_pathname.data(), size);
  try {
    // Every element's text is read from the copy just appended.
    const std::string_view added(_M_pathname.data() + undo.length(), size);
    const Piece first = piece(0);
    int next = 0;
    std::string_view merged;
    bool drop_empty_last = false;
    if (first.kind == _Type::_Filename) {
      if (undo.kind() == _Type::_Filename) {
        if (!multi) return *this;
        merged = added.substr(first.pos, first.size);
        next = 1;
      } else if (undo.last_is_filename()) {
        if (!multi) {
          undo.join_last(added);
          return *this;
        }
        undo.join_last(added.substr(first.pos, first.size));
        next = 1;
      }
    } else {
      drop_empty_last = ended_with_separator && undo.last_is_filename();
    }
    undo.make_room(count, merged, drop_empty_last);
    block = multi ? _Detail::impl(p._M_cmpts) : nullptr;
    if (next < count && piece(next).kind == _Type::_Rootdir) ++next;
    for (; next < count; ++next) {
      const Piece c = piece(next);
      _Detail::emplace_back(_M_cmpts, added.substr(c.pos, c.size), _Type::_Filename,
                            undo.length() + c.pos);
    }
    // A lone root directory at the end leaves a separator with no name after it.
    const _Cmpt& tail = _M_cmpts.back();
    if (is_dir_sep(_M_pathname.back()) &&
        !(tail._M_type() == _Type::_Filename && tail._M_pathname.empty()))
      _Detail::emplace_back(_M_cmpts, std::string_view(), _Type::_Filename,
                            _M_pathname.size());
  } catch (...) {
    undo.restore();
    throw;
  }
  return *this;
}

void path::_M_concat(std::string_view s) {
  if (s.empty()) return;
  if (empty()) {
    *this = path(s);
    return;
  }
  const std::string_view old(_M_pathname);
  VORNEL_CHECK_AS(old.size() > 0, "this->_M_len > 0");
  const bool ended_with_separator = is_dir_sep(old.back());

  Undo<_Detail> undo(*this);
  if (s.size() > _M_pathname.max_size() - undo.length())
    std::__throw_length_error("basic_string::append");
  // s may view this path's text: it is read here and nowhere else.
  _M_pathname.append(s.data(), s.size());
  try {
    std::string_view added(_M_pathname);
    VORNEL_CHECK_AS(added.size() >= undo.length(), "this->_M_len >= __n");
    added.remove_prefix(undo.length());
    _Parser parser(added, undo.length());
    const _Parser::cmpt first = parser.next();
    bool consumed = false;
    bool reuse_empty_last = false;
    std::string_view merged;
    if (first.text.data() == added.data()) {
      const bool whole = first.text.size() == added.size();
      if (undo.kind() == _Type::_Filename) {
        if (whole) return;
        merged = first.text;
        consumed = true;
      } else if (undo.last_is_filename()) {
        undo.join_last(first.text);
        if (whole) return;
        consumed = true;
      }
    } else {
      reuse_empty_last = ended_with_separator && undo.last_is_filename();
    }
    Gathered found;
    if (!consumed) found.batch[found.size++] = piece_of(parser, first);
    gather(parser, found);
    undo.make_room(found.total(), merged, false);
    if (reuse_empty_last)
      undo.reuse_empty_last(text_of(parser, found.batch[0]),
                            undo.length() + found.batch[0].pos);
    add_gathered<_Detail>(_M_cmpts, parser, found, reuse_empty_last);
  } catch (...) {
    undo.restore();
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
