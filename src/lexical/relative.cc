// The path that leads from a base to this path, computed from the two texts
// alone, and the proximate form that falls back on this path.
#include <cstddef>

#include "../path/detail.h"
#include "../path/elements.h"
#include "grow_once.h"

namespace std::filesystem::__cxx11 {

// No path has a root name (layout.h): only the root directories must agree.
path path::lexically_relative(const path& base) const {
  path ret;
  if (has_root_directory() != base.has_root_directory()) return ret;

  _Detail::Elements i(*this), j(base);
  while (!i.done() && !j.done() && i->compare(*j) == 0) {
    ++i;
    ++j;
  }
  if (i.done() && j.done()) {
    _Detail::assign_text(ret, ".");
    return ret;
  }

  // How many directories base goes down below the common part. A ".." that
  // climbs above it leaves a directory no text of this path can name, so
  // there is no relative form, even if later names go down again.
  int n = 0;
  for (; !j.done(); ++j) {
    const path& p = *j;
    if (_Detail::is_dotdot(p)) {
      if (--n < 0) return ret;
    } else if (!p.empty() && !_Detail::is_dot(p)) {
      ++n;
    }
  }
  if (n == 0 && (i.done() || i->empty())) {
    _Detail::assign_text(ret, ".");
    return ret;
  }

  // The result may grow by ".." and a separator n times, then by each
  // remaining element and a separator, and those lie apart in this path's
  // text.
  const path dotdot("..");
  const std::size_t tail = i.done() ? 0 : _M_pathname.size() - i.pos() + 1;
  _Detail::GrowOnce text(ret);
  for (; n > 0; --n) {
    text.reserve_for(dotdot, 3 * std::size_t(n) + tail);
    ret /= dotdot;
  }
  for (; !i.done(); ++i) {
    text.reserve_for(*i, _M_pathname.size() - i.pos() + 1);
    ret /= *i;
  }
  return ret;
}

path path::lexically_proximate(const path& base) const {
  path ret = lexically_relative(base);
  if (ret.empty()) ret = *this;
  return ret;
}

}  // namespace std::filesystem::__cxx11
