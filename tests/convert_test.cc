// path::_S_convert_loc: narrow text in a locale re-encoded for a path, under
// "C" and "C.UTF-8" and with facets of the tests' own; the error it throws and
// the buffers it frees on every way out.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cwchar>
#include <fs_path>
#include <locale>
#include <string>

#include "testing/sweep.h"

namespace {

using std::filesystem::filesystem_error;
using std::filesystem::path;
using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;

std::string convert(const std::string& text, const std::locale& loc) {
  return path::_S_convert_loc(text.data(), text.data() + text.size(), loc);
}

// The outcome as one string: the converted bytes, or "error <code>".
std::string outcome(const std::string& text, const std::locale& loc) {
  try {
    return convert(text, loc);
  } catch (const filesystem_error& e) {
    return "error " + std::to_string(e.code().value());
  }
}

// '!' decodes to three wide characters and 'X' is invalid; any other byte
// decodes to itself. It claims a maximum length of 1, so a run of '!' fills
// the sized output and needs a further pass.
class TestFacet : public Codecvt {
 public:
  mutable int in_calls = 0;

 protected:
  result do_in(state_type&, const char* from, const char* from_end,
               const char*& from_next, wchar_t* to, wchar_t* to_end,
               wchar_t*& to_next) const override {
    ++in_calls;
    result r = ok;
    for (; from != from_end; ++from) {
      if (*from == 'X') {
        r = error;
        break;
      }
      const int need = *from == '!' ? 3 : 1;
      if (to_end - to < need) {
        r = partial;
        break;
      }
      for (int i = 0; i < need; ++i) *to++ = wchar_t(*from);
    }
    from_next = from;
    to_next = to;
    return r;
  }
  int do_max_length() const noexcept override { return 1; }
};

// Reports success but leaves the last byte unconsumed.
class ShortFacet : public Codecvt {
 protected:
  result do_in(state_type&, const char* from, const char* from_end,
               const char*& from_next, wchar_t* to, wchar_t*,
               wchar_t*& to_next) const override {
    for (; from + 1 < from_end; ++from) *to++ = wchar_t(*from);
    from_next = from;
    to_next = to;
    return ok;
  }
};

const std::locale& c_locale() {
  static const std::locale loc = std::locale::classic();
  return loc;
}
const std::locale& utf8_locale() {
  static const std::locale loc("C.UTF-8");
  return loc;
}

struct Case {
  const char* label;
  std::string input;
  std::string expected;  // the bytes, or "error 84"
};

TEST(RuntimeLayout, TheConversionStateCountIsZeroExactlyWhenMbsinitSaysInitial) {
  // The library reads the count in place to find a truncated character.
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (const char* bytes : {"", "a", "\xc3", "\xe2\x82", "\xc3\xa9"}) {
    SCOPED_TRACE(bytes);
    std::mbstate_t state{};
    wchar_t wc;
    std::mbrtowc(&wc, bytes, std::strlen(bytes), &state);
    EXPECT_EQ(state.__count == 0, std::mbsinit(&state) != 0);
  }
  std::setlocale(LC_CTYPE, "C");
}

TEST(Convert, UnderTheCLocaleKeepsAsciiAndRejectsEveryHighByte) {
  const Case cases[] = {
      {"empty", "", ""},
      {"plain", "a/b.txt", "a/b.txt"},
      {"separators and dots", "//./../", "//./../"},
      {"embedded NUL", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"long", std::string(5000, 'q'), std::string(5000, 'q')},
      {"high byte", "a\x80", "error 84"},
      {"0xff", "\xff", "error 84"},
      {"UTF-8 text", "caf\xc3\xa9", "error 84"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(outcome(c.input, c_locale()), c.expected);
  }
}

TEST(Convert, UnderCUtf8RejectsTruncatedInvalidAndUnencodableText) {
  const Case cases[] = {
      {"empty", "", ""},
      {"ascii", "dir/file.ext", "dir/file.ext"},
      {"long ascii", std::string(3000, 'z') + "/", std::string(3000, 'z') + "/"},
      {"embedded NUL", std::string("x\0y", 3), std::string("x\0y", 3)},
      // Decoded, but the facet of no locale has no byte for U+00E9.
      {"two-byte character", "caf\xc3\xa9", "error 84"},
      {"truncated two-byte character", "a\xc3", "error 84"},
      {"only a lead byte", "\xc3", "error 84"},
      {"truncated three-byte character", "ab\xe2\x82", "error 84"},
      {"truncated four-byte character", "\xf0\x9f\x98", "error 84"},
      {"lead byte then ascii", "\xc3(", "error 84"},
      {"stray continuation byte", "a\x80", "error 84"},
      {"0xff", "\xff", "error 84"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(outcome(c.input, utf8_locale()), c.expected);
  }
}

TEST(Convert, FailureIsAFilesystemErrorWithCode84AndNoPaths) {
  try {
    convert("a\xc3", utf8_locale());
    FAIL() << "no error";
  } catch (const filesystem_error& e) {
    const std::error_code eilseq = std::make_error_code(std::errc::illegal_byte_sequence);
    EXPECT_EQ(e.code().value(), 84);
    EXPECT_EQ(e.code().category(), std::generic_category());
    EXPECT_EQ(std::string(e.what()),
              "filesystem error: Cannot convert character sequence: " + eilseq.message());
    EXPECT_TRUE(e.path1().empty());
    EXPECT_TRUE(e.path2().empty());
  }
}

TEST(Convert, OfAnEmptyRangeNeverCallsTheFacet) {
  auto* facet = new TestFacet;
  const std::locale loc(std::locale::classic(), facet);
  EXPECT_EQ(path::_S_convert_loc(nullptr, nullptr, loc), "");
  EXPECT_EQ(facet->in_calls, 0);
}

TEST(Convert, TakesFurtherPassesWhenTheSizedOutputRunsOut) {
  auto* facet = new TestFacet;
  const std::locale loc(std::locale::classic(), facet);
  EXPECT_EQ(convert("ab", loc), "ab");
  EXPECT_EQ(facet->in_calls, 1) << "one pass when the sizing holds";
  facet->in_calls = 0;
  EXPECT_EQ(convert("!!a", loc), "!!!!!!a");
  EXPECT_EQ(facet->in_calls, 2);
  // The second pass ends partial with room to spare, which is not retried.
  EXPECT_EQ(outcome("!!!!", loc), "error 84");
}

TEST(Convert, FailsOnAFacetErrorOrInputLeftUnconsumed) {
  const std::locale with_error(std::locale::classic(), new TestFacet);
  EXPECT_EQ(outcome("abX", with_error), "error 84");
  const std::locale short_read(std::locale::classic(), new ShortFacet);
  EXPECT_EQ(outcome("abc", short_read), "error 84");
}

TEST(Convert, FreesEveryBufferWhenAnAllocationFails) {
  const Case cases[] = {
      {"converts", std::string(40, 'a'), std::string(40, 'a')},
      {"fails in the first step", std::string(40, 'a') + "\xc3", "error 84"},
      {"fails in the second step", std::string(40, 'a') + "\xc3\xa9", "error 84"},
  };
  const std::locale& loc = utf8_locale();  // built before any failure is armed
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      std::string result;
      if (!failure.run([&] { result = outcome(c.input, loc); })) {
        EXPECT_EQ(result, c.expected);
      }
    });
    EXPECT_GE(points, 2);
  }
}

}  // namespace
