// Concatenation: operator+= for paths and _M_concat for text. The first name
// of the added text joins the path's last filename; the component list is
// edited in place.
#include <cstddef>
#include <string_view>

#include "../path/batch.h"
#include "../path/fill.h"
#include "../path/layout.h"
#include "../path/parser.h"
#include "undo.h"

namespace vornel {
namespace {

bool only_separators(std::string_view text) {
  return text.find_first_not_of(separator) == npos;
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

// Besides the components, a last filename that was extended or reused is put
// back.
class path::_Detail::ConcatUndo : public Undo {
 public:
  using Undo::Undo;

  // What happened at the seam: whether the call is complete, how many
  // leading elements of the added text were used up, the name joined to a
  // path of one component, and whether a trailing empty filename gives way.
  struct Seam {
    bool done = false;
    int consumed = 0;
    std::string_view merged;
    bool drop_empty_last = false;
  };

  bool last_is_filename() const {
    return kind_ == _Type::_Multi && list_.back()._M_type() == _Type::_Filename;
  }

  // Whether the path was a root directory and nothing else, as a lone kind
  // or as a list of that one component.
  bool was_lone_root() const {
    return kind_ == _Type::_Rootdir ||
           (kind_ == _Type::_Multi && count_ == 1 &&
            list_.front()._M_type() == _Type::_Rootdir);
  }

  // Separators added to a lone root directory lengthen it (parser.h): the
  // path takes the state its new text splits to, with no empty filename after
  // the root, which no split makes and which would compare equal to it but
  // hash apart.
  void extend_root() noexcept {
    list_.clear();
    list_.type(_Type::_Rootdir);
  }

  // The seam of an added path whose text `added` already follows the old
  // text: its first filename joins the last one, and a path that is a single
  // filename is complete at once.
  Seam join_path(const AddedPath& from, std::string_view added, bool ended_with_separator) {
    const AddedPath::Piece first = from[0];
    if (first.kind != _Type::_Filename) {
      if (was_lone_root() && only_separators(added)) {
        extend_root();
        return {true, 0, {}, false};
      }
      return {false, 0, {}, ended_with_separator && last_is_filename()};
    }
    const std::string_view name(added.data() + first.pos, first.size);
    if (kind_ == _Type::_Filename) return {!from.multi(), 1, name, false};
    if (!last_is_filename()) return {};
    join_last(name);
    return {!from.multi(), 1, {}, false};
  }

  // Joins the first name of the added text to the last filename.
  void join_last(std::string_view name) {
    string_type& last = list_.back()._M_pathname;
    merged_ = last.size();
    append_bytes(last, name.data(), name.size());
  }

  // Reserves the block for `added` new elements, then lines up the old
  // components: a path of one component becomes one holding its old text and
  // `merged`, and a trailing empty filename is dropped when asked to.
  [[gnu::always_inline]] void make_room(std::size_t added, std::string_view merged,
                                        bool drop_empty_last) {
    reserve(added);
    if (kind_ != _Type::_Multi) {
      emplace_back(list_, std::string_view(), kind_, 0);
      string_type& head = list_.back()._M_pathname;
      head.reserve(length_ + merged.size());
      append_bytes(head, text_.data(), length_);
      append_bytes(head, merged.data(), merged.size());
    } else if (drop_empty_last) {
      drop_last();
    }
  }

  // Adds the elements of an added path from the `next`-th on as filenames.
  // A root directory adds none: its separators stay in the text alone.
  void add_elements(const AddedPath& from, int next, std::string_view added) {
    if (next < from.count() && from[next].kind == _Type::_Rootdir) ++next;
    for (; next < from.count(); ++next) {
      const AddedPath::Piece c = from[next];
      emplace_back(list_, added.substr(c.pos, c.size), _Type::_Filename, length_ + c.pos);
    }
  }

  // A lone root directory added at the end leaves a separator with no name
  // after it, which the list must show.
  void end_with_empty_name() {
    const _Cmpt& tail = list_.back();
    if (is_dir_sep(text_.back()) &&
        !(tail._M_type() == _Type::_Filename && tail._M_pathname.empty()))
      emplace_back(list_, std::string_view(), _Type::_Filename, text_.size());
  }

  // The trailing empty filename takes the first new element's place.
  void reuse_empty_last(std::string_view name, std::size_t pos) {
    _Cmpt& last = list_.back();
    reused_ = true;
    last._M_pathname.assign(name.data(), name.size());
    last._M_pos = pos;
  }

  [[gnu::always_inline]] void restore() noexcept {
    Undo::restore();
    if (kind_ != _Type::_Multi) return;
    _Cmpt& last = list_.back();
    if (merged_ != npos) last._M_pathname.resize(merged_);
    if (reused_) {
      last._M_pathname.clear();
      last._M_pos = length_;
    }
  }

 private:
  std::size_t merged_ = npos;
  bool reused_ = false;
};

path& path::operator+=(const path& p) {
  if (p.empty()) return *this;
  if (empty()) return *this = p;

  using Concat = _Detail::ConcatUndo;
  _Detail::AddedPath elements(p);
  elements.find_block();
  const std::size_t size = p._M_pathname.size();
  __vornel_check_as(!_M_pathname.empty(), "!empty()");
  const bool ended_with_separator = is_dir_sep(_M_pathname.back());

  Concat undo(*this);
  if (undo.length() + size > _M_pathname.capacity()) _M_pathname.reserve(undo.length() + size);
  append_bytes(_M_pathname, p._M_pathname.data(), size);
  try {
    // Every element's text is read from the copy just appended.
    const std::string_view added(_M_pathname.data() + undo.length(), size);
    const Concat::Seam seam = undo.join_path(elements, added, ended_with_separator);
    if (seam.done) return *this;
    undo.make_room(elements.count(), seam.merged, seam.drop_empty_last);
    elements.find_block();
    undo.add_elements(elements, seam.consumed, added);
    undo.end_with_empty_name();
  } catch (...) {
    undo.restore();
    throw;
  }
  return *this;
}

void path::_M_concat(std::string_view s) {
  if (s.empty()) return;
  if (empty()) {
    _Detail::assign_text(*this, s);
    return;
  }
  const std::string_view old(_M_pathname);
  __vornel_check_as(old.size() > 0, "this->_M_len > 0");
  const bool ended_with_separator = is_dir_sep(old.back());

  _Detail::ConcatUndo undo(*this);
  if (s.size() > _M_pathname.max_size() - undo.length())
    std::__throw_length_error("basic_string::append");
  // s may view this path's text: it is read here and nowhere else.
  append_bytes(_M_pathname, s.data(), s.size());
  try {
    std::string_view added(_M_pathname);
    __vornel_check_as(added.size() >= undo.length(), "this->_M_len >= __n");
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
    ParseBatch found;
    if (!consumed) found.push(first);
    found.gather(parser);
    undo.make_room(found.total(), merged, false);
    if (reuse_empty_last) undo.reuse_empty_last(found[0].text, parser.position(found[0]));
    _Detail::Filler::add_gathered(_M_cmpts, parser, found, reuse_empty_last);
  } catch (...) {
    undo.restore();
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
