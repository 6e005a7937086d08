// Private to appending and concatenation: batches of components parsed from
// added text, and the record that puts a path back when an edit fails.
#ifndef VORNEL_SRC_COMPOSE_EDIT_H
#define VORNEL_SRC_COMPOSE_EDIT_H

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

// Where a component lies within a text: an added path's, or a parser's input.
struct Piece {
  std::size_t pos;
  std::size_t size;
};

Piece piece_of(const path::_Parser& parser, const path::_Parser::cmpt& c) {
  return {std::size_t(c.text.data() - parser.input.data()), c.text.size()};
}

std::string_view text_of(const path::_Parser& parser, const Piece& c) {
  return std::string_view(parser.input.data() + c.pos, c.size);
}

// Up to 64 components parsed from added text, kept as pieces of the parser's
// input until the block has been reserved for all of them. A longer text
// sets its 65th component aside and counts the rest on a copy of the parser,
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
// Adds the gathered components as filenames, from the batch's `from`-th on.
template <typename D>
void add_gathered(path::_List& list, path::_Parser& parser, const Gathered& g,
                  int from = 0) {
  for (int i = from; i < g.size; ++i)
    D::emplace_back(list, text_of(parser, g.batch[i]), Type::_Filename,
                    parser.base_offset + g.batch[i].pos);
  if (!g.set_aside.valid()) return;
  for (auto c = g.set_aside; c.valid(); c = parser.next())
    D::emplace_back(list, c.text, Type::_Filename, parser.position(c));
}

// A path being added to, and what it had: an allocation that fails after the
// path began to change puts back its text, kind and components.
template <typename D>
class Undo {
 public:
  explicit Undo(path& p)
      : text_(D::text(p)), list_(D::list(p)), length_(text_.size()),
        kind_(list_.type()), count_(list_.size()) {}

  std::size_t length() const { return length_; }
  Type kind() const { return kind_; }

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

 protected:
  // Makes the path a list with its block reserved once for the old
  // components and `added` new ones.
  void reserve(std::size_t added) {
    const int n = block_count(std::size_t(kind_ == Type::_Multi ? count_ : 1) + added);
    list_.type(Type::_Multi);
    list_.reserve(n, false);
  }

  // Drops the trailing empty filename; restore() brings it back.
  void drop_last() {
    list_.pop_back();
    dropped_ = true;
  }

  path::string_type& text_;
  path::_List& list_;
  const std::size_t length_;
  const Type kind_;
  const int count_;

 private:
  bool dropped_ = false;
};

}  // namespace
}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_COMPOSE_EDIT_H
