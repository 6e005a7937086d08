// Every C++17 form of the path interface that <fs_path> adds inline, and the
// UTF-8 conversions behind its wide, UTF-16 and UTF-32 forms and its streams.
#include <gtest/gtest.h>

#include <fs_path>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using fs::path;
using namespace std::string_literals;

TEST(Interface, EveryFormReadsAndWritesTheUtf8Bytes) {
  std::istringstream in;  // single pass: each use reads "x" up to the null character
  auto x = [&in] { in.str("x\0y"s); return std::istreambuf_iterator<char>(in); };
  path p(x());
  p /= x(), p.append(x()), p += x(), p.concat(x());
  EXPECT_EQ(p.native() + (path() = x()).native() + path().assign(x(), {}).native() +
                path().assign(x()).native() + fs::u8path(x(), {}).native(), "x/x/xxxxx\0yxx\0y"s);
  EXPECT_EQ((((p = L"a") /= U"b") += u"c").native(), "a/bc");
  EXPECT_EQ((((p += L'\u00e9') += u'\u00e9') += U'z').native(), "a/bc\xc3\xa9\xc3\xa9z");
  static_assert(std::is_same_v<decltype(p.u8string() + p.generic_u8string()), std::string>);
  const auto text = p.string<char, std::char_traits<char>>({}) +
                    p.generic_string<char, std::char_traits<char>, std::allocator<char>>({});
  EXPECT_EQ(p.string<char>() + text, p.native() + p.native() + p.native());
  const std::locale c = std::locale::classic();
  const std::string ascii = "c/d";
  EXPECT_EQ(path("a/b", c).native() + path(x(), c).native() +
                path(ascii.begin(), ascii.end(), c).native(),
            "a/bxc/d");
}

TEST(Interface, ValidTextRoundTripsThroughEveryEncodingAndStream) {
  const std::tuple<std::string, std::wstring, std::u16string, std::u32string> cases[] = {
      {"", L"", u"", U""}, {"\xef\xbb\xbf", L"\ufeff", u"\ufeff", U"\ufeff"},
      {"/a b/\"q\"\\", L"/a b/\"q\"\\", u"/a b/\"q\"\\", U"/a b/\"q\"\\"},
      {"\xc3\xa9\xf0\x9f\x98\x80", L"\u00e9\U0001f600", u"\u00e9\U0001f600", U"\u00e9\U0001f600"}};
  for (const auto& [u8, w, u16, u32] : cases) {
    SCOPED_TRACE(u8);
    const path p = fs::u8path(u8);
    EXPECT_TRUE(p.u16string() + p.generic_u16string() == u16 + u16 &&
                p.u32string() + p.generic_u32string() == u32 + u32);
    std::stringstream narrow;
    std::wstringstream wide;
    path back[2];
    narrow << p, wide << p, narrow >> back[0], wide >> back[1];
    // Wide results are checked through their one-to-one encoding: valgrind misreads wmemcmp.
    for (const path& q : {back[0], back[1], path(w), path(u16), path(std::u32string_view(u32)),
                          fs::u8path(u8.begin(), u8.end()), path(p.wstring()),
                          path(p.generic_wstring()), path().assign(w.data(), w.data() + w.size())})
      EXPECT_EQ(q.native(), u8);
  }
}

TEST(Interface, InvalidTextThrowsCode84AsTheLocaleConversionDoes) {
  void (*const uses[])() = {
      [] { path("\xff").wstring(); }, [] { path("a\xe2\x82").u16string(); },
      [] { path("\xc0\x80").u32string(); }, [] { path(u"\xdc00"); }, [] { path(u"a\xd800"); },
      [] { path(U"\x110000"); }, [] { path(L"\x110000"); }};
  const std::string what = "filesystem error: Cannot convert character sequence: ";
  for (const auto& use : uses) {
    try {
      use();
      ADD_FAILURE() << "no error from use " << &use - uses;
    } catch (const fs::filesystem_error& e) {
      EXPECT_EQ(e.code(), std::error_code(84, std::generic_category()));
      EXPECT_EQ(e.what(), what + e.code().message());
    }
  }
}

}  // namespace
