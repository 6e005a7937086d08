// Private to the library: the text of a result built by appending, which
// lexically_normal and lexically_relative grow once for all that is to come.
#ifndef VORNEL_SRC_LEXICAL_GROW_ONCE_H
#define VORNEL_SRC_LEXICAL_GROW_ONCE_H

#include <cstddef>

#include "../path/detail.h"
#include "../path/parser.h"

namespace std::filesystem::__cxx11 {

// The text of a result that is built by appending, grown once for all that
// is still to come at the first append that would grow it anyway: the text
// then grows once, not at each doubling, and never where it would not have.
class path::_Detail::GrowOnce {
 public:
  explicit GrowOnce(path& result) noexcept : text_(result._M_pathname) {}

  // Grows the text, if this is the append that grows it, before `next` is
  // appended; at most `rest` more bytes are to come, `next` and its separator
  // included.
  void reserve_for(const path& next, std::size_t rest) {
    if (grown_) return;
    const std::size_t length = text_.size();
    const std::size_t size = next._M_pathname.size();
    if (length + 1 + size <= text_.capacity()) return;
    const std::size_t need = length == 0 ? size : length + !vornel::is_dir_sep(text_.back()) + size;
    if (need <= text_.capacity()) return;
    text_.reserve(length + rest);
    grown_ = true;
  }

 private:
  string_type& text_;
  bool grown_ = false;
};

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_LEXICAL_GROW_ONCE_H
