// The texts of many names that the tests' tables build paths from.
#ifndef VORNEL_TESTS_TESTING_NAMES_H
#define VORNEL_TESTS_TESTING_NAMES_H

#include <string>

namespace vornel::test {

// `count` names of `width` letters (a to z, then a again) joined by `sep`:
// names(3) is "a/b/c", names(2, 3, "//") is "aaa//bbb".
inline std::string names(int count, int width = 1, const std::string& sep = "/") {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += sep;
    text.append(std::size_t(width), char('a' + i % 26));
  }
  return text;
}

}  // namespace vornel::test

#endif  // VORNEL_TESTS_TESTING_NAMES_H
