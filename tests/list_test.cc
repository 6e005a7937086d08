// The path value and its component list: default state, copy, assignment with
// block reuse, move, iteration, and the guarantees under allocation failure.
#include <gtest/gtest.h>

#include <cstring>
#include <fs_path>
#include <iterator>
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
using vornel::test::names;
using vornel::test::raw;
using vornel::test::text_of;

// A path of `size` components held in a block of capacity `cap`.
path with_block(int cap, int size) {
  path p(names(cap));
  text_of(p) = names(size);
  p._M_split_cmpts();
  return p;
}

std::vector<std::string> elements(const path& p) {
  std::vector<std::string> out;
  for (const path& e : p) out.push_back(e.native());
  return out;
}

TEST(RuntimeLayout, AShortStringHoldsItsBytesInItselfAfterItsAddressAndLength) {
  // Components are moved byte for byte and then re-aimed on this layout.
  for (const std::size_t size : {0, 1, 15, 16, 40}) {
    SCOPED_TRACE(size);
    const std::string text(size, 'x');
    const char* first;
    std::memcpy(&first, &text, sizeof first);
    EXPECT_EQ(first, text.data());
    const char* const object = reinterpret_cast<const char*>(&text);
    const bool inside = text.data() >= object && text.data() < object + sizeof text;
    EXPECT_EQ(inside, text.size() <= 15);
    // Short component texts are written into the buffer with this length.
    std::size_t length;
    std::memcpy(&length, reinterpret_cast<const char*>(&text) + sizeof first, sizeof length);
    EXPECT_EQ(length, size);
    if (inside) { EXPECT_EQ(text.data(), object + 2 * sizeof first); }
  }
  EXPECT_EQ(std::string().capacity(), 15u);
}

TEST(List, DefaultIsAnEmptyFilenameListWithoutBlock) {
  const path::_List list;
  EXPECT_EQ(list.type(), path::_Type::_Filename);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.size(), 0);
  const path p;
  EXPECT_EQ(describe(p), "F");
  EXPECT_FALSE(raw(p).has_block);
}

TEST(Copy, SizesTheBlockToTheComponentCount) {
  const path source = with_block(10, 5);
  ASSERT_EQ(capacity(source), 10);
  AllocationCount count;
  const path copy(source);
  EXPECT_EQ(count.count(), 1) << "one block; the short texts need no storage";
  EXPECT_EQ(describe(copy), describe(source));
  EXPECT_EQ(capacity(copy), 5);
}

TEST(Copy, OfAPathWithoutComponentsHasNoBlock) {
  const path emptied = with_block(4, 1);
  ASSERT_TRUE(raw(emptied).has_block);
  const path copy(emptied);
  EXPECT_FALSE(raw(copy).has_block);
  EXPECT_EQ(describe(copy), "F");
  EXPECT_EQ(describe(path(path("//"))), "R");
}

TEST(Assign, ReusesTheTargetBlockWhenItFits) {
  path target = with_block(5, 5);
  const path xyz("x/y/z");
  target = xyz;
  EXPECT_EQ(describe(target), "M x:F@0 y:F@2 z:F@4");
  EXPECT_EQ(capacity(target), 5);

  path grown = with_block(4, 2);
  const path pqrs("p/q/r/s");
  grown = pqrs;
  EXPECT_EQ(describe(grown), "M p:F@0 q:F@2 r:F@4 s:F@6");
  EXPECT_EQ(capacity(grown), 4);
}

TEST(Assign, ReplacesABlockThatIsTooSmallByAnExactOne) {
  path target = with_block(4, 4);
  const path six(names(6));
  target = six;
  EXPECT_EQ(raw(target).size, 6);
  EXPECT_EQ(capacity(target), 6);
}

TEST(Assign, FromAPathWithoutComponentsKeepsTheBlockEmpty) {
  path target = with_block(3, 3);
  const path root("/");
  target = root;
  EXPECT_EQ(describe(target), "R");
  EXPECT_EQ(target.native(), "/");
  EXPECT_TRUE(raw(target).has_block);
  EXPECT_EQ(capacity(target), 3);
}

TEST(Assign, ToItselfChangesNothing) {
  path p("a/b");
  const path& alias = p;
  p = alias;
  EXPECT_EQ(describe(p), "M a:F@0 b:F@2");
}

TEST(Assign, LeavesTheTargetAsItWasWhenAnAllocationFails) {
  const std::string long_name(40, 'n');
  const struct {
    path target;
    path source;
  } cases[] = {
      {with_block(2, 2), path(names(5))},
      {with_block(6, 2), path(long_name + "/" + long_name + "/" + long_name)},
      {path(long_name), path(long_name + "/x/" + long_name)},
      {with_block(3, 3), path(std::string(100, 'q'))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.native());
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      path target = c.target;
      const std::string before = describe(target);
      const int cap = capacity(target);
      if (!failure.run([&] { target = c.source; })) return;
      EXPECT_EQ(target.native(), c.target.native());
      EXPECT_EQ(describe(target), before);
      EXPECT_EQ(capacity(target), cap);
    });
    EXPECT_GE(points, 1);
  }
}

// The list assignment destroys the components before the text is copied, so
// a component of the target itself must be read before that (the sanitizer
// runs catch the read of a freed text).
TEST(Assign, FromOneOfItsOwnComponentsActsAsFromACopy) {
  const std::string name(40, 'x');
  for (int index : {0, 1, 2}) {
    SCOPED_TRACE(index);
    path p("/" + name + "/" + name + "y");
    const path expected = *std::next(p.begin(), index);
    p = *std::next(p.begin(), index);
    EXPECT_EQ(describe(p), describe(expected));
    EXPECT_EQ(p.native(), expected.native());
  }
}

TEST(Copy, LeavesNothingBehindWhenAnAllocationFails) {
  const path source("/" + std::string(30, 'a') + "/b/" + std::string(30, 'c') + "/");
  const long points = vornel::test::sweep_allocation_failures(
      [&](auto& failure) { failure.run([&] { path copy(source); }); });
  EXPECT_EQ(points, 4) << "text, block, and the two long component texts";
}

TEST(Move, LeavesTheSourceAnEmptyFilenameWithoutBlock) {
  path source("a/b/c");
  const path target(std::move(source));
  EXPECT_EQ(describe(target), "M a:F@0 b:F@2 c:F@4");
  EXPECT_EQ(describe(source), "F");
  EXPECT_TRUE(source.empty());
  EXPECT_FALSE(raw(source).has_block);

  path assigned("x");
  path from("/p/q");
  assigned = std::move(from);
  EXPECT_EQ(describe(assigned), "M /:R@0 p:F@1 q:F@3");
  EXPECT_EQ(describe(from), "F");
  EXPECT_FALSE(raw(from).has_block);
}

TEST(Iterate, YieldsComponentsOrThePathItself) {
  EXPECT_EQ(elements(path()), std::vector<std::string>{});
  EXPECT_EQ(elements(path("a")), std::vector<std::string>{"a"});
  EXPECT_EQ(elements(path("a/b")), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(elements(path("//")), std::vector<std::string>{"//"});
  EXPECT_EQ(elements(path("/a/")), (std::vector<std::string>{"/", "a", ""}));
}

TEST(Iterate, StepsBackFromTheEnd) {
  const path single("a");
  auto it = single.end();
  --it;
  EXPECT_EQ(it, single.begin());
  EXPECT_EQ(it->native(), "a");

  const path multi("/x/y");
  std::vector<std::string> backwards;
  for (auto at = multi.end(); at != multi.begin();) backwards.push_back((--at)->native());
  EXPECT_EQ(backwards, (std::vector<std::string>{"y", "x", "/"}));
}

TEST(Iterate, ComponentsAreOneComponentPaths) {
  for (const path& e : path("/a/b/")) {
    EXPECT_FALSE(raw(e).has_block);
    EXPECT_NE(raw(e).kind, 0);
  }
}

TEST(Assign, SplitsNewTextOrLeavesThePathAsItWas) {
  path p("a/b");
  p = std::string("/x/y/");
  EXPECT_EQ(describe(p), "M /:R@0 x:F@1 y:F@3 :F@5");
  const std::string text = "/" + std::string(30, 'z') + "/w";
  const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
    path q("a/b");
    if (!failure.run([&] { q = text; })) return;
    EXPECT_EQ(describe(q), "M a:F@0 b:F@2");
    EXPECT_EQ(q.native(), "a/b");
  });
  EXPECT_GE(points, 2);
}

}  // namespace
