// The normal form: dot and dot-dot elements, collapsed separators, the
// in-place cancellation after a trailing separator, and the final pass.
#include <gtest/gtest.h>

#include <fs_path>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/raw_state.h"
#include "testing/sweep.h"

namespace {

using std::filesystem::path;
using vornel::test::describe;
using vornel::test::invariant_violation;

struct Case {
  const char* input;
  const char* normal;
  const char* structure;  // kind, then each component as text:kind@pos
};

TEST(Normal, GivesTheNormalFormWithItsComponents) {
  const Case cases[] = {
      {"", "", "F"},
      {".", ".", "F"},
      {"..", "..", "F"},
      {"/", "/", "R"},
      {"//", "/", "R"},
      {"///", "/", "R"},
      {"a", "a", "F"},
      {"//a", "/a", "M /:R@0 a:F@1"},
      {"a//b", "a/b", "M a:F@0 b:F@2"},
      {"a/./b", "a/b", "M a:F@0 b:F@2"},
      {"./a", "a", "F"},
      {"a/.", "a/", "M a:F@0 :F@2"},
      {"a/", "a/", "M a:F@0 :F@2"},
      {"/a/", "/a/", "M /:R@0 a:F@1 :F@3"},
      {"a/..", ".", "F"},
      {"a/../", ".", "F"},
      {"a/b/..", "a/", "M a:F@0 :F@2"},
      {"a/b/../..", ".", "F"},
      {"a/b/c/../..", "a/", "M a:F@0 :F@2"},
      {"a/b/c/d/../../..", "a/", "M a:F@0 :F@2"},
      {"/a/b/../..", "/", "M /:R@0"},
      {"/a/b/../../c", "/c", "M /:R@0 c:F@1"},
      {"/a/..", "/", "R"},
      {"/a/../b", "/b", "M /:R@0 b:F@1"},
      {"/..", "/", "R"},
      {"/../a", "/a", "M /:R@0 a:F@1"},
      {"/../../..", "/", "R"},
      {"../a", "../a", "M ..:F@0 a:F@3"},
      {"../..", "../..", "M ..:F@0 ..:F@3"},
      {".././..", "../..", "M ..:F@0 ..:F@3"},
      {"../a/..", "..", "F"},
      {"../a/../..", "../..", "M ..:F@0 ..:F@3"},
      {"../", "..", "F"},
      {"a/../..", "..", "F"},
      {"a/./..", ".", "F"},
      {"a/./b/../c/", "a/c/", "M a:F@0 c:F@2 :F@4"},
      {"x/y/../../../z", "../z", "M ..:F@0 z:F@3"},
      {"./././", ".", "F"},
      {"a/b/./../c", "a/c", "M a:F@0 c:F@2"},
      {"...", "...", "F"},
      {"a/.../..", "a/", "M a:F@0 :F@2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const path source(c.input);
    const std::string before = describe(source);
    const path normal = source.lexically_normal();
    EXPECT_EQ(normal.native(), c.normal);
    EXPECT_EQ(describe(normal), c.structure);
    EXPECT_EQ(invariant_violation(normal), "");
    EXPECT_EQ(source.native(), c.input);
    EXPECT_EQ(describe(source), before);
  }
}

TEST(Normal, KeepsEveryByteOfOrdinaryNames) {
  const std::string odd("\xff\x00.", 3);
  const path normal = path(odd + "//x/../" + odd).lexically_normal();
  EXPECT_EQ(normal.native(), odd + "/" + odd);
  EXPECT_EQ(invariant_violation(normal), "");
}

TEST(Normal, WritesARootDirectoryOfAnyLengthAsOneSeparator) {
  // Appending to "//" keeps the whole separator run as the root component.
  path appended("//");
  appended /= path("a");
  ASSERT_EQ(describe(appended), "M //:R@0 a:F@2");
  path emptied = appended;
  emptied.remove_filename();
  ASSERT_GT(vornel::test::capacity(emptied), 0) << "a bare root that owns a block";
  const struct {
    path source;
    const char *normal, *structure;
  } cases[] = {
      {path("//"), "/", "R"},
      {path("///"), "/", "R"},
      {path(std::string(4096, '/')), "/", "R"},
      {emptied, "/", "R"},
      {appended, "/a", "M /:R@0 a:F@1"},
      {path(appended).append("b/../.."), "/", "M /:R@0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.native());
    const path normal = c.source.lexically_normal();
    EXPECT_EQ(normal.native(), c.normal);
    EXPECT_EQ(describe(normal), c.structure);
    if (normal._M_type() != path::_Type::_Multi) {
      EXPECT_EQ(vornel::test::capacity(normal), 0) << "no block, as a split of the text";
    }
  }
}

TEST(Normal, HandlesLongAndDeepPaths) {
  std::string deep, up;
  for (int i = 0; i < 300; ++i) {
    deep += "d" + std::to_string(i) + "/";
    up += "../";
  }
  EXPECT_EQ(path(deep + up).lexically_normal().native(), ".");
  EXPECT_EQ(path("/" + deep + up + up).lexically_normal().native(), "/");
  EXPECT_EQ(path(deep + up + "x").lexically_normal().native(), "x");
  const path kept = path(deep + "./x").lexically_normal();
  EXPECT_EQ(kept.native(), deep + "x");
  EXPECT_EQ(invariant_violation(kept), "");
}

// The text of a result grows once, to at most the bound of what may still
// come, however many names and ".." steps build it; the relative form too.
TEST(Normal, AndTheRelativeFormGrowTheirTextOnce) {
  const std::string a(15, 'a'), b(40, 'b'), up = "n/../../../../../../../../../../";
  const struct {
    std::string text;
    const char* base;  // null: the normal form
    std::size_t capacity;
    long allocations;
  } cases[] = {
      {"/" + a + "/" + b, nullptr, 58, 4},
      {b + "/" + up + a + "/" + b, nullptr, 130, 9},
      {"/" + a + "/" + b, "/", 56, 3},
      {"/" + a + "/" + b, "/c/d/e/f/g/h/i/j", 80, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const path p(c.text), base(c.base ? c.base : "");
    vornel::test::AllocationCount count;
    const path result = c.base ? p.lexically_relative(base) : p.lexically_normal();
    EXPECT_EQ(count.count(), c.allocations);
    EXPECT_EQ(result.native().capacity(), c.capacity) << result.native();
  }
}

std::vector<std::string> elements(const path& p) {
  std::vector<std::string> out;
  for (const path& e : p) out.push_back(e.native());
  return out;
}

TEST(NormalSweep, LeavesNoDotsNoCancellablePairsAndIsStable) {
  std::mt19937 gen(5);
  const char* const parts[] = {"a", "b", ".", "..", "", "/"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int n = gen() % 9; n > 0; --n) {
      if (!text.empty() || gen() % 4 == 0) text += '/';
      text += parts[gen() % 6];
    }
    SCOPED_TRACE(text);
    const path normal = path(text).lexically_normal();
    ASSERT_EQ(invariant_violation(normal), "");
    EXPECT_EQ(normal.lexically_normal().native(), normal.native()) << "normal form is stable";
    EXPECT_EQ(normal.empty(), text.empty());
    const auto e = elements(normal);
    for (std::size_t i = 0; i < e.size(); ++i) {
      if (e.size() > 1) { EXPECT_NE(e[i], "."); }
      if (i > 0 && e[i] == "..") {
        EXPECT_EQ(e[i - 1], "..") << "nothing cancels or climbs above the root";
      }
    }
  }
}

TEST(NormalFailure, LeavesTheSourceAndLeaksNothing) {
  const std::string name(40, 'n');
  for (const std::string& text : {name + "/" + name + "/../x/./" + name + "/",
                                  "/" + name + "//" + name + "/../../" + name,
                                  "../" + name + "/../../" + name + "/.."}) {
    SCOPED_TRACE(text);
    const path source(text);
    const std::string before = describe(source);
    const path expected = source.lexically_normal();
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      std::optional<path> normal;
      if (!failure.run([&] { normal.emplace(source.lexically_normal()); })) {
        EXPECT_EQ(describe(*normal), describe(expected));
      }
      EXPECT_EQ(describe(source), before);
    });
    EXPECT_GE(points, 3);
  }
}

}  // namespace
