// Private to the library: the batch of up to 64 parsed components that an
// operation holds before it reserves the block for them. Splitting empties it
// into the block each time it fills; appending and concatenating gather their
// whole added text with gather().
#ifndef VORNEL_SRC_PATH_BATCH_H
#define VORNEL_SRC_PATH_BATCH_H

#include "parser.h"

namespace vornel {

using std::filesystem::path;

// Components kept as views of the parser's input until the block has been
// reserved for them, so that it is reserved once for their exact count. The
// slots stay unwritten until used: most texts fill only a few.
class ParseBatch {
 public:
  using cmpt = path::_Parser::cmpt;
  static constexpr int capacity = 64;

  int size() const noexcept { return size_; }
  bool full() const noexcept { return size_ == capacity; }
  void push(const cmpt& c) noexcept { slots_[size_++].c = c; }
  const cmpt& operator[](int i) const noexcept { return slots_[i].c; }
  void clear() noexcept { size_ = 0; }

  // Parses the rest of an added text. A component beyond a full batch is set
  // aside and the ones after it are counted on a copy of the parser, which
  // stays just past the set-aside one to yield them again.
  void gather(path::_Parser& parser) noexcept {
    for (cmpt c = parser.next(); c.valid(); c = parser.next()) {
      if (full()) {
        set_aside_ = c;
        path::_Parser ahead = parser;
        while (ahead.next().valid()) ++beyond_;
        return;
      }
      push(c);
    }
  }

  // Every component gathered: the batch, the one set aside and the rest.
  std::size_t total() const noexcept {
    return std::size_t(size_) + (set_aside_.valid() ? 1 + beyond_ : 0);
  }
  const cmpt& set_aside() const noexcept { return set_aside_; }

 private:
  union Slot {
    Slot() noexcept {}
    cmpt c;
  };
  Slot slots_[capacity];
  int size_ = 0;
  cmpt set_aside_;
  std::size_t beyond_ = 0;
};

}  // namespace vornel

#endif  // VORNEL_SRC_PATH_BATCH_H
