// Private to appending and concatenation: the record of what a path had, so
// that an edit that fails part-way puts its text, kind and components back,
// and the added path's elements, read before the path changes.
#ifndef VORNEL_SRC_COMPOSE_UNDO_H
#define VORNEL_SRC_COMPOSE_UNDO_H

#include <climits>
#include <cstddef>
#include <new>
#include <string_view>

#include "../path/detail.h"

namespace std::filesystem::__cxx11 {

// A path being added to, and what it had: an allocation that fails after the
// path began to change puts back its text, kind and components.
class path::_Detail::Undo {
 public:
  explicit Undo(path& p)
      : text_(p._M_pathname), list_(p._M_cmpts), length_(text_.size()),
        kind_(list_.type()), count_(list_.size()) {}

  std::size_t length() const { return length_; }
  _Type kind() const { return kind_; }

  [[gnu::always_inline]] void restore() noexcept {
    text_.resize(length_);
    if (kind_ == _Type::_Multi) {
      const int kept = count_ - int(dropped_);
      if (list_.size() > kept) list_._M_erase_from(list_.begin() + kept);
      if (dropped_) emplace_back(list_, std::string_view(), _Type::_Filename, length_);
    } else {
      list_.clear();
    }
    list_.type(kind_);
  }

 protected:
  // Makes the path a list with its block reserved once for the old
  // components and `added` new ones.
  void reserve(std::size_t added) {
    const int n = block_count(std::size_t(kind_ == _Type::_Multi ? count_ : 1) + added);
    list_.type(_Type::_Multi);
    list_.reserve(n, false);
  }

  // Drops the trailing empty filename; restore() brings it back.
  void drop_last() {
    list_.pop_back();
    dropped_ = true;
  }

  string_type& text_;
  _List& list_;
  const std::size_t length_;
  const _Type kind_;
  const int count_;

 private:
  // A block counts its components in an int; a longer list could never be
  // allocated anyway.
  static int block_count(std::size_t n) {
    if (n > std::size_t(INT_MAX)) throw std::bad_alloc();
    return int(n);
  }

  bool dropped_ = false;
};

// The elements of a path added to another, read before that other changes:
// when the added path is the path itself, its last component may be dropped
// or extended, and its block may move.
class path::_Detail::AddedPath {
 public:
  // Where an element lies in the added path's text, and its kind.
  struct Piece {
    std::size_t pos;
    std::size_t size;
    _Type kind;
  };

  explicit AddedPath(const path& p) noexcept
      : path_(p), multi_(p._M_type() == _Type::_Multi), count_(multi_ ? p._M_cmpts.size() : 1),
        last_(multi_ ? piece_of(p._M_cmpts.back()) : Piece{0, p._M_pathname.size(), p._M_type()}) {}

  bool multi() const noexcept { return multi_; }
  int count() const noexcept { return count_; }
  // The i-th element: all but the last are read from the block, which
  // find_block() finds, and finds again once the path's list may have moved
  // it.
  Piece operator[](int i) const noexcept {
    return i + 1 < count_ ? piece_of(block_->begin()[i]) : last_;
  }
  void find_block() noexcept { block_ = multi_ ? impl(path_._M_cmpts) : nullptr; }

 private:
  static Piece piece_of(const _Cmpt& c) noexcept {
    return {c._M_pos, c._M_pathname.size(), c._M_type()};
  }

  const path& path_;
  const bool multi_;
  const int count_;
  const Piece last_;
  const _Impl* block_;
};

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_COMPOSE_UNDO_H
