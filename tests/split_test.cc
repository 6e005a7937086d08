// Splitting text into components: kinds, component texts and positions, and
// the block capacities the 64-entry batch leads to.
#include <gtest/gtest.h>

#include <fs_path>
#include <string>
#include <vector>

#include "support/raw_state.h"
#include "testing/names.h"
#include "testing/sweep.h"

namespace {

using std::filesystem::path;
using vornel::test::AllocationCount;
using vornel::test::capacity;
using vornel::test::describe;
using vornel::test::invariant_violation;
using vornel::test::names;
using vornel::test::raw;
using vornel::test::text_of;

// Splits `text` into a path whose block was left by an earlier split.
path resplit(path p, const std::string& text) {
  text_of(p) = text;
  p._M_split_cmpts();
  return p;
}

struct SplitCase {
  const char* text;
  const char* expected;
};

TEST(Split, GivesTheKindAndComponentsTheTextDecomposesInto) {
  const SplitCase cases[] = {
      {"", "F"},
      {"/", "R"},
      {"//", "R"},
      {"///", "R"},
      {"a", "F"},
      {"..", "F"},
      {"a/", "M a:F@0 :F@2"},
      {"/a", "M /:R@0 a:F@1"},
      {"/a/", "M /:R@0 a:F@1 :F@3"},
      {"//a", "M /:R@0 a:F@2"},
      {"a//b", "M a:F@0 b:F@3"},
      {"a/b//", "M a:F@0 b:F@2 :F@5"},
      {"./a", "M .:F@0 a:F@2"},
      {"///a///b///", "M /:R@0 a:F@3 b:F@7 :F@11"},
      {"a/b/c", "M a:F@0 b:F@2 c:F@4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const path p(c.text);
    EXPECT_EQ(describe(p), c.expected);
    EXPECT_EQ(p.native(), c.text);
    EXPECT_EQ(invariant_violation(p), "");
  }
}

TEST(Split, KeepsEveryByteOfTheTextIncludingNulsAndNonUtf8) {
  const std::string text("\xff\x00q/\x80/\x00", 7);
  const path p(text);
  EXPECT_EQ(p.native(), text);
  const auto r = raw(p);
  ASSERT_EQ(r.cmpts.size(), 3u);
  EXPECT_EQ(r.cmpts[0].text, std::string("\xff\x00q", 3));
  EXPECT_EQ(r.cmpts[1].text, "\x80");
  EXPECT_EQ(r.cmpts[2].text, std::string("\x00", 1));
  EXPECT_EQ(r.cmpts[2].pos, 6u);
}

TEST(Split, ComponentsAndTheirCopiesHoldNamesOfEveryLengthAroundTheStringsOwnBuffer) {
  for (std::size_t n = 1; n <= 17; ++n) {
    SCOPED_TRACE(n);
    std::string name;
    for (std::size_t i = 0; i < n; ++i) name += char('a' + i);
    const path p("/" + name + "/" + name + "/");
    const path copy(p);
    for (const path* q : {&p, &copy}) {
      std::vector<const path*> parts;
      for (const path& part : *q) parts.push_back(&part);
      ASSERT_EQ(parts.size(), 4u);
      for (const path* part : {parts[1], parts[2]}) {
        EXPECT_EQ(part->native(), name);
        EXPECT_EQ(part->c_str()[n], '\0');
        EXPECT_EQ(part->native().capacity() == 15, n <= 15);
      }
      EXPECT_EQ(parts[3]->native(), "");
      path grown = *parts[1];
      grown += std::string(20, 'z');
      EXPECT_EQ(grown.native(), name + std::string(20, 'z'));
    }
  }
}

TEST(Split, SizesTheBlockExactlyForUpTo64Components) {
  for (int k : {2, 3, 17, 63, 64}) {
    SCOPED_TRACE(k);
    const path p(names(k));
    EXPECT_EQ(raw(p).size, k);
    EXPECT_EQ(capacity(p), k);
  }
}

TEST(Split, FlushesFullBatchesWithGrowthAndSizesTheRestExactly) {
  const struct {
    int count;
    int capacity;
  } cases[] = {{65, 65}, {100, 100}, {128, 128}, {130, 130}, {200, 200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const path p(names(c.count));
    EXPECT_EQ(raw(p).size, c.count);
    EXPECT_EQ(capacity(p), c.capacity);
    EXPECT_EQ(invariant_violation(p), "");
  }
  // 129 components: 64, then max(128, 96) at the second flush, then 129
  // exactly; 192: the third flush grows 128 to max(192, 192).
  EXPECT_EQ(capacity(path(names(129))), 129);
  EXPECT_EQ(capacity(path(names(192))), 192);
}

TEST(Split, ReusesABlockThatIsLargeEnough) {
  const path ten(names(10));
  ASSERT_EQ(capacity(ten), 10);
  const path three = resplit(ten, "x/y/z");
  EXPECT_EQ(describe(three), "M x:F@0 y:F@2 z:F@4");
  EXPECT_EQ(capacity(three), 10);
  const path one = resplit(ten, "x");
  EXPECT_EQ(describe(one), "F");
  EXPECT_TRUE(raw(one).has_block);
  EXPECT_EQ(capacity(one), 10);
}

TEST(Split, GrowsASmallBlockExactlyUnlessTheLastBatchIsFull) {
  const path small(names(50));
  EXPECT_EQ(capacity(resplit(small, names(63))), 63);
  // A batch that is exactly full is flushed with growth: max(64, 50 * 1.5).
  EXPECT_EQ(capacity(resplit(small, names(64))), 75);
  const path four(names(4));
  EXPECT_EQ(capacity(resplit(four, names(64))), 64);
  EXPECT_EQ(capacity(resplit(four, names(5))), 5);
}

TEST(Split, HandlesHugeInputs) {
  const path many(names(100000));
  EXPECT_EQ(raw(many).size, 100000);
  EXPECT_EQ(invariant_violation(many), "");
  const path separators(std::string(5000, '/'));
  EXPECT_EQ(describe(separators), "R");
  const path spaced(names(3, 1, std::string(4000, '/')) + std::string(3000, '/'));
  EXPECT_EQ(raw(spaced).size, 4);
  EXPECT_EQ(raw(spaced).cmpts.back().pos, spaced.native().size());
}

TEST(SplitAllocation, AllocatesNoBlockForAtMostOneComponent) {
  for (const char* text : {"", "/", "//", "a", "short-name", ".."}) {
    SCOPED_TRACE(text);
    AllocationCount count;
    const path p(text);
    EXPECT_EQ(count.count(), 0);
    EXPECT_FALSE(raw(p).has_block);
  }
}

TEST(SplitAllocation, MakesOneBlockAllocationForUpTo64Components) {
  for (int k : {2, 10, 64}) {
    SCOPED_TRACE(k);
    path p;
    text_of(p) = names(k);
    AllocationCount count;
    p._M_split_cmpts();
    EXPECT_EQ(count.count(), 1);
  }
}

TEST(SplitFailure, LeavesTheTextAndAValidListThatSplitsAgain) {
  for (const std::string& text : {std::string("a/b/c"), names(70),
                                  std::string("/") + std::string(40, 'x') + "/y/"}) {
    SCOPED_TRACE(text);
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      path p;
      text_of(p) = text;
      if (!failure.run([&] { p._M_split_cmpts(); })) return;
      EXPECT_EQ(p.native(), text);
      EXPECT_NE(raw(p).kind == 0, raw(p).size == 0) << "no _Multi without components";
      EXPECT_LE(raw(p).size, raw(p).capacity);
      p._M_split_cmpts();
      EXPECT_EQ(describe(p), describe(path(text)));
    });
    EXPECT_GE(points, 1);
  }
}

}  // namespace
