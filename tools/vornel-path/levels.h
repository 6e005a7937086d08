// How a path's elements lead down from where they start and climb back: the
// text-only measure of --lexical is-within and common.
#ifndef VORNEL_TOOLS_LEVELS_H
#define VORNEL_TOOLS_LEVELS_H

#include <algorithm>
#include <fs_path>

namespace vornel::tool {

// A name leads one level down, ".." one up, "." and the empty last element
// nowhere.
inline int step(const std::filesystem::path& element) {
  const std::string& text = element.native();
  if (text == "..") return -1;
  return text.empty() || text == "." ? 0 : 1;
}

// The lowest level that the elements reach: 0, or how many levels above
// where they start they climb at their highest.
inline int lowest(std::filesystem::path::iterator first, std::filesystem::path::iterator last) {
  int level = 0, low = 0;
  for (; first != last; ++first) low = std::min(low, level += step(*first));
  return low;
}

inline bool same_element(const std::filesystem::path& a, const std::filesystem::path& b) {
  return a.compare(b) == 0;
}

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_LEVELS_H
