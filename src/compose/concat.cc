// Concatenation: operator+= for paths and _M_concat for text. The first name
// of the added text joins the path's last filename; the component list is
// edited in place.
#include "edit.h"

namespace std::filesystem::__cxx11 {
namespace {

// One element of the added path: its kind and where it lies in that path's text.
struct Element : Piece {
  Type kind;
};

Element element_of(const path::_Cmpt& c) {
  return {{c._M_pos, c.native().size()}, c._M_type()};
}

bool only_separators(std::string_view text) {
  return text.find_first_not_of('/') == npos;
}

// Besides the components, a last filename that was extended or reused is put
// back.
template <typename D>
class ConcatUndo : public Undo<D> {
  using Undo<D>::list_;
  using Undo<D>::text_;
  using Undo<D>::length_;
  using Undo<D>::kind_;
  using Undo<D>::count_;

 public:
  using Undo<D>::Undo;

  bool last_is_filename() const {
    return kind_ == Type::_Multi && list_.back()._M_type() == Type::_Filename;
  }

  // Whether the path was a root directory and nothing else, as a lone kind
  // or as a list of that one component.
  bool was_lone_root() const {
    return kind_ == Type::_Rootdir ||
           (kind_ == Type::_Multi && count_ == 1 &&
            list_.front()._M_type() == Type::_Rootdir);
  }

  // Separators added to a lone root directory lengthen it: the path takes
  // the state its new text splits to, with no empty filename after the root,
  // which no split makes and which would compare equal to it but hash apart.
  void extend_root() noexcept {
    list_.clear();
    list_.type(Type::_Rootdir);
  }

  // Joins the first name of the added text to the last filename.
  void join_last(std::string_view name) {
    path::string_type& last = D::text(list_.back());
    merged_ = last.size();
    last.append(name.data(), name.size());
  }

  // Reserves the block for `added` new elements, then lines up the old
  // components: a path of one component becomes one holding its old text and
  // `merged`, and a trailing empty filename is dropped when asked to.
  void make_room(std::size_t added, std::string_view merged, bool drop_empty_last) {
    this->reserve(added);
    if (kind_ != Type::_Multi) {
      D::emplace_back(list_, std::string_view(), kind_, 0);
      path::string_type& head = D::text(list_.back());
      head.reserve(length_ + merged.size());
      head.append(text_.data(), length_);
      head.append(merged.data(), merged.size());
    } else if (drop_empty_last) {
      this->drop_last();
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
    Undo<D>::restore();
    if (kind_ != Type::_Multi) return;
    path::_Cmpt& last = list_.back();
    if (merged_ != npos) D::text(last).resize(merged_);
    if (reused_) {
      D::text(last).clear();
      last._M_pos = length_;
    }
  }

 private:
  std::size_t merged_ = npos;
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
  const Element last = multi ? element_of(p._M_cmpts.back()) : Element{{0, size}, p._M_type()};
  const _List::_Impl* block = multi ? _Detail::impl(p._M_cmpts) : nullptr;
  auto element = [&](int i) { return i + 1 < count ? element_of(block->begin()[i]) : last; };
  VORNEL_CHECK_AS(!_M_pathname.empty(), "!empty()");
  const bool ended_with_separator = is_dir_sep(_M_pathname.back());

  ConcatUndo<_Detail> undo(*this);
  _M_pathname.reserve(undo.length() + size);
  _M_pathname.append(p._M_pathname.data(), size);
  try {
    // Every element's text is read from the copy just appended.
    const std::string_view added(_M_pathname.data() + undo.length(), size);
    const Element first = element(0);
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
    } else if (undo.was_lone_root() && only_separators(added)) {
      undo.extend_root();
      return *this;
    } else {
      drop_empty_last = ended_with_separator && undo.last_is_filename();
    }
    undo.make_room(count, merged, drop_empty_last);
    block = multi ? _Detail::impl(p._M_cmpts) : nullptr;
    if (next < count && element(next).kind == _Type::_Rootdir) ++next;
    for (; next < count; ++next) {
      const Element c = element(next);
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

  ConcatUndo<_Detail> undo(*this);
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
    } else if (undo.was_lone_root() && only_separators(added)) {
      undo.extend_root();
      return;
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
