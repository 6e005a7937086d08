// Relative and proximate forms: the common part, the balance of the base's
// remaining elements, the "." results, and the fallback of the proximate form.
#include <gtest/gtest.h>

#include <fs_path>
#include <optional>
#include <random>
#include <string>

#include "support/raw_state.h"
#include "testing/sweep.h"

namespace {

using std::filesystem::path;
using vornel::test::describe;
using vornel::test::invariant_violation;

struct Case {
  const char* self;
  const char* base;
  const char* relative;
  const char* proximate;
};

TEST(Relative, LeadsFromTheBaseToThePathOrIsEmpty) {
  const Case cases[] = {
      {"/a/d", "/a/b/c", "../../d", "../../d"},
      {"/a/b/c", "/a/d", "../b/c", "../b/c"},
      {"a/b/c", "a", "b/c", "b/c"},
      {"a/b/c", "a/b/c/x/y", "../..", "../.."},
      {"a/b/c", "a/b/c", ".", "."},
      {"a/b", "c/d", "../../a/b", "../../a/b"},
      {"a", "b", "../a", "../a"},
      {"a", "a/b/../..", "", "a"},
      {"a/b", "a/b/c/..", ".", "."},
      {"a/b/", "a/b", ".", "."},
      {"a/b/", "a", "b/", "b/"},
      {"a/./b", "a", "./b", "./b"},
      {"/a", "b", "", "/a"},
      {"a", "/a", "", "a"},
      {"/", "/", ".", "."},
      {"/a", "/", "a", "a"},
      {"/", "/a", "..", ".."},
      {"", "", ".", "."},
      {"", "a", "..", ".."},
      {"a", "", "a", "a"},
      {"a//b", "a/b", ".", "."},
      {"///", "/", ".", "."},
      {"a/..", "a", "..", ".."},
      {"a", "a/./.", ".", "."},
      {"a/", "a/b", "../", "../"},
      {"x/y", "a/../b/./c/", "../../x/y", "../../x/y"},
      {"a/b", "a/b/../..", "", "a/b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.self) + " from " + c.base);
    const path self(c.self), base(c.base);
    const path relative = self.lexically_relative(base);
    const path proximate = self.lexically_proximate(base);
    EXPECT_EQ(relative.native(), c.relative);
    EXPECT_EQ(proximate.native(), c.proximate);
    EXPECT_EQ(invariant_violation(relative), "");
    EXPECT_EQ(invariant_violation(proximate), "");
    EXPECT_EQ(self.native(), c.self);
    EXPECT_EQ(base.native(), c.base);
  }
}

TEST(Relative, IsEmptyOnceTheBaseClimbsAboveTheCommonPart) {
  const Case cases[] = {
      {"b", "../a", "", "b"},
      {"a", "a/../b", "", "a"},
      {"a/b", "a/c/../../d", "", "a/b"},
      {"a", "..", "", "a"},
      // A base that never climbs above the common part keeps its result.
      {"z", "x/../y", "../z", "../z"},
      {"a/b", "a/c/../d", "../b", "../b"},
      {"a/b", "a/c/..", "b", "b"},
      {"../a", "..", "a", "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.self) + " from " + c.base);
    const path self(c.self), base(c.base);
    EXPECT_EQ(self.lexically_relative(base).native(), c.relative);
    EXPECT_EQ(self.lexically_proximate(base).native(), c.proximate);
  }
}

TEST(Relative, BuildsItsResultByAppendingElements) {
  const struct {
    const char *self, *base, *structure;
  } cases[] = {
      {"/a/d", "/a/b/c", "M ..:F@0 ..:F@3 d:F@6"},
      {"a/b/", "a", "M b:F@0 :F@2"},
      {"a", "b", "M ..:F@0 a:F@3"},
      {"/a", "b", "F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.self) + " from " + c.base);
    EXPECT_EQ(describe(path(c.self).lexically_relative(path(c.base))), c.structure);
  }
}

TEST(Proximate, IsACopyOfThePathWhereNoRelativeFormExists) {
  const path self("/x//y/");
  const path proximate = self.lexically_proximate(path("x"));
  EXPECT_EQ(describe(proximate), describe(self));
  EXPECT_EQ(proximate.native(), "/x//y/");
}

// Rootless or rooted paths of plain names, without dots.
std::string plain_path(std::mt19937& gen, bool rooted) {
  std::string text = rooted ? "/" : "";
  const int n = int(gen() % 5) + (rooted ? 0 : 1);
  for (int i = 0; i < n; ++i) {
    if (i) text += gen() % 3 ? "/" : "//";
    text += "abc"[gen() % 3];
  }
  return text;
}

TEST(RelativeSweep, AppendedToTheBaseLeadsBackToThePath) {
  std::mt19937 gen(3);
  for (int round = 0; round < 3000; ++round) {
    const bool rooted = gen() % 2;
    const path self(plain_path(gen, rooted)), base(plain_path(gen, rooted));
    SCOPED_TRACE(self.native() + " from " + base.native());
    const path relative = self.lexically_relative(base);
    ASSERT_FALSE(relative.empty());
    // A filename after both hides the trailing separator that ".." leaves.
    const path there = (base / relative / path("x")).lexically_normal();
    EXPECT_EQ(there.compare((self / path("x")).lexically_normal()), 0)
        << "relative " << relative << " leads to " << there;
    EXPECT_EQ(invariant_violation(relative), "");
  }
}

TEST(RelativeFailure, LeavesBothPathsAndLeaksNothing) {
  const std::string name(30, 'n');
  const path self("/" + name + "/a/" + name + "/" + name + "/");
  const path base("/" + name + "/b/" + name + "/c");
  const std::string self_before = describe(self), base_before = describe(base);
  for (const bool proximate : {false, true}) {
    SCOPED_TRACE(proximate ? "proximate" : "relative");
    auto run = [&](const path& other) {
      return proximate ? self.lexically_proximate(other) : self.lexically_relative(other);
    };
    const path expected = run(base);
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      std::optional<path> result;
      if (!failure.run([&] { result.emplace(run(base)); })) {
        EXPECT_EQ(describe(*result), describe(expected));
      }
      EXPECT_EQ(describe(self), self_before);
      EXPECT_EQ(describe(base), base_before);
    });
    EXPECT_GE(points, 3);
  }
}

}  // namespace
