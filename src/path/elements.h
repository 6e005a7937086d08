// Private to the library: the cursor over the elements of a path, as its
// iteration yields them, for the operations that read a path element by
// element.
#ifndef VORNEL_SRC_PATH_ELEMENTS_H
#define VORNEL_SRC_PATH_ELEMENTS_H

#include <cstddef>

#include "detail.h"

namespace std::filesystem::__cxx11 {

// The elements of a path as its iteration yields them: the components of a
// _Multi path, or the path itself once (none when it is empty). The bounds
// are read once, where the path's iterator reads the end again at every step.
class path::_Detail::Elements {
 public:
  explicit Elements(const path& p) noexcept {
    if (p._M_type() == _Type::_Multi) {
      // The block is read directly: the list's exported begin() and end()
      // would cost a call each and make this same check.
      __vornel_check_as(!p._M_cmpts.empty(), "!empty()");
      cur_ = impl(p._M_cmpts)->begin();
      end_ = impl(p._M_cmpts)->end();
    } else if (!p.empty()) {
      self_ = &p;
    }
  }

  bool done() const noexcept { return self_ ? at_end_ : cur_ == end_; }
  // Whether the current element is the last.
  bool is_last() const noexcept { return self_ ? !at_end_ : cur_ + 1 == end_; }

  // The root directory, which only the first element can be: the current
  // element when it is one, else null.
  const path* root() const noexcept {
    return !done() && (**this)._M_type() == _Type::_Rootdir ? &**this : nullptr;
  }
  // Steps past the root directory, if the current element is one; true when
  // it was.
  bool skip_root() noexcept {
    if (!root()) return false;
    ++*this;
    return true;
  }

  // The components still to come, none for a path that is one element, as
  // a cursor that knows it walks a block: loops that only meet components
  // run on it without asking at each step.
  Elements components() const noexcept {
    return self_ ? Elements() : Elements(cur_, end_);
  }

  // Where the current element starts in the path's text.
  std::size_t pos() const noexcept { return self_ ? 0 : cur_->_M_pos; }

  const path& operator*() const noexcept {
    if (self_) return *self_;
    __vornel_check_as(cur_ != end_, "_M_cur != _M_path->_M_cmpts.end()");
    return *cur_;
  }
  const path* operator->() const noexcept { return &**this; }

  Elements& operator++() noexcept {
    if (self_) {
      __vornel_check_as(!at_end_, "!_M_at_end");
      at_end_ = true;
    } else {
      __vornel_check_as(cur_ != end_, "_M_cur != _M_path->_M_cmpts.end()");
      ++cur_;
    }
    return *this;
  }

 private:
  Elements() noexcept = default;
  Elements(const _Cmpt* cur, const _Cmpt* end) noexcept : cur_(cur), end_(end) {}

  const path* self_ = nullptr;
  const _Cmpt* cur_ = nullptr;
  const _Cmpt* end_ = nullptr;
  bool at_end_ = false;
};

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_PATH_ELEMENTS_H
