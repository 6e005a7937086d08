// Every form of the path interface that <fs_path> adds inline, C++20's
// included (this file is built as C++20, and compiled as C++17 and C++20 with
// every warning by header_checks.cmake), and the UTF-8 conversions behind its
// wide, UTF-16 and UTF-32 forms and its streams.
#include <gtest/gtest.h>

#include <fs_path>
#include <functional>
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
  const std::u16string wide = u"d\u00e9";
  p.append(wide.begin(), wide.end()).concat(wide.begin(), wide.end());
  EXPECT_EQ(p.native(), "a/bc\xc3\xa9\xc3\xa9z/d\xc3\xa9\x64\xc3\xa9");
#ifdef __cpp_char8_t
  // char8_t text is taken byte for byte, even where it is not UTF-8.
  const std::u8string u8 = u8"\u00e9/", bytes(1, char8_t(0xff));
  p = u8, p /= bytes.c_str(), p += u8, p.concat(bytes.begin(), bytes.end()) += u8'x';
  EXPECT_TRUE(p.u8string() == u8"\u00e9/\xff\u00e9/\xffx" && p.generic_u8string() == p.u8string());
  EXPECT_EQ(p.native(), "\xc3\xa9/\xff\xc3\xa9/\xffx");
  for (const path& q : {fs::u8path(u8), path(u8.begin(), u8.end()), path().assign(u8),
                        fs::u8path(u8.begin(), u8.end())})
    EXPECT_EQ(q.native(), "\xc3\xa9/");
  EXPECT_TRUE((path("a") <=> path("a/b")) == std::strong_ordering::less &&
              (path("a//b") <=> path("a/b")) == std::strong_ordering::equal);
#else
  static_assert(std::is_same_v<decltype(p.u8string() + p.generic_u8string()), std::string>);
#endif
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
      {"\xc3\xa9\xf0\x9f\x98\x80", L"\u00e9\U0001f600", u"\u00e9\U0001f600", U"\u00e9\U0001f600"},
      // The least and greatest scalar values of each length, and those around the surrogates.
      {"\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80", L"\x7f\x80\x7ff\x800", u"\x7f\x80\x7ff\x800", U"\x7f\x80\x7ff\x800"},
      {"\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
       L"\xd7ff\xe000\xffff\x10000\x10ffff", u"\xd7ff\xe000\xffff\xd800\xdc00\xdbff\xdfff",
       U"\xd7ff\xe000\xffff\x10000\x10ffff"}};
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

// Each use must throw the library's conversion error: code 84 in the generic
// category, no paths.
void expect_unconvertible(std::initializer_list<std::function<void()>> uses) {
  for (const auto& use : uses) {
    try {
      use();
      ADD_FAILURE() << "no error from use " << &use - uses.begin();
    } catch (const fs::filesystem_error& e) {
      EXPECT_TRUE(e.code() == std::error_code(84, std::generic_category()) && e.path1().empty() &&
                  e.what() == "filesystem error: Cannot convert character sequence: " +
                                  e.code().message());
    }
  }
}

TEST(Interface, DecodesExactlyTheUtf8ThatTheToolKeepsInJson) {
  const struct {
    const char* bytes;
    bool well_formed;
  } cases[] = {
#include "testing/utf8_cases.inc"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const path p(c.bytes);
    if (c.well_formed)
      EXPECT_EQ(path(p.u16string()).native(), c.bytes);
    else
      expect_unconvertible({[&] { p.u16string(); }});
  }
}

// Each way text of `Char` units enters a path, which then stays as it was.
template <typename Char>
void expect_every_source_rejects(const std::basic_string<Char>& text) {
  path p("kept");
  expect_unconvertible({[&] { path{text}; }, [&] { path{text.c_str()}; },
                        [&] { path(text.begin(), text.end()); }, [&] { p = text; },
                        [&] { p.assign(text.begin(), text.end()); }, [&] { p /= text; },
                        [&] { p.append(text.begin(), text.end()); }, [&] { p += text; },
                        [&] { p.concat(text.begin(), text.end()); },
                        [&] { for (Char c : text) path() += c; }});
  if constexpr (std::is_same_v<Char, wchar_t>) {
    expect_unconvertible({[&] { std::wistringstream(text) >> p; }});
  }
  EXPECT_EQ(p.native(), "kept");
}

TEST(Interface, IllFormedTextThrowsCode84InEveryDirection) {
  // Each case in the encodings that can spell it; an empty text spells none.
  const std::tuple<const char*, std::string, std::u16string, std::u32string> cases[] = {
      {"overlong U+0000", "\xc0\x80", u"", U""}, {"overlong U+007F", "\xc1\xbf", u"", U""},
      {"overlong U+07FF", "\xe0\x9f\xbf", u"", U""},
      {"overlong U+FFFF", "\xf0\x8f\xbf\xbf", u"", U""},
      {"U+D800", "\xed\xa0\x80", u"\xd800", U"\xd800"},
      {"U+DBFF", "a\xed\xaf\xbf", u"a\xdbff", U"\xdbff"},
      {"U+DC00", "\xed\xb0\x80", u"\xdc00", U"\xdc00"},
      {"U+DFFF", "\xed\xbf\xbf" "b", u"\xdfff" "b", U"\xdfff"},
      {"U+110000", "\xf4\x90\x80\x80", u"", U"\x110000"},
      {"a lead of 5 bytes", "\xf8\x88\x80\x80\x80", u"", U"\x80000000"},
      {"reversed pair", "\xed\xb0\x80\xed\xa0\x80", u"\xdc00\xd800", U""},
      {"a pair, each half alone", "\xed\xa0\xbd\xed\xb8\x80", u"\xd83d", U"\xd83d\xde00"},
      {"lone continuation", "a\x80", u"", U""}, {"0xFE", "\xfe", u"", U""}, {"0xFF", "\xff", u"", U""},
      {"2 bytes cut after 1", "\xc3", u"", U""}, {"3 cut after 1", "\xe2", u"", U""},
      {"3 cut after 2", "\xe2\x82", u"", U""}, {"4 cut after 1", "\xf0", u"", U""},
      {"4 cut after 2", "\xf0\x9f", u"", U""}, {"4 cut after 3", "a\xf0\x9f\x98", u"", U""},
      {"cut before ASCII", "\xe2\x82" "a", u"", U""}};
  for (const auto& [label, utf8, utf16, utf32] : cases) {
    SCOPED_TRACE(label);
    const path p(utf8);
    if (!utf8.empty())
      expect_unconvertible({[&] { p.wstring(); }, [&] { p.u16string(); }, [&] { p.u32string(); },
                            [&] { p.generic_wstring(); }, [&] { p.generic_u16string(); },
                            [&] { p.generic_u32string(); }, [&] { p.string<char16_t>(); },
                            [&] { std::wostringstream() << p; }});
    if (!utf16.empty()) expect_every_source_rejects(utf16);
    if (!utf32.empty()) {
      expect_every_source_rejects(utf32);
      expect_every_source_rejects(std::wstring(utf32.begin(), utf32.end()));
    }
  }
}

}  // namespace
