// <fs_path> in a program built without exceptions, as this one is: text that
// cannot convert ends the process with the error's message on one line.
#include <gtest/gtest.h>

#include <fs_path>

namespace {

using std::filesystem::path;

TEST(NoExceptions, UnconvertibleTextEndsTheProcessWithOneLine) {
  const char* const line = "^filesystem error: Cannot convert character sequence: [^\n]+\n$";
  EXPECT_DEATH(path{u"\xd800"}, line);
  EXPECT_DEATH(path("\xff").u32string(), line);
}

}  // namespace
