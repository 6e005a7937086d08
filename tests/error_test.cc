// filesystem_error: its what() texts, the block its copies share (read at the
// data level and through the runtime's own shared pointer), and construction
// under allocation failure; release from many threads is in concurrency_test.
#include <gtest/gtest.h>

#include <cstring>
#include <fs_path>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "support/raw_state.h"
#include "testing/sweep.h"

namespace {

using std::filesystem::filesystem_error;
using std::filesystem::path;
using vornel::test::describe;
using vornel::test::live_allocations;

// A category whose texts the tests know.
class TestCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "test"; }
  std::string message(int value) const override {
    return value == 7 ? "M" : "a category text too long for the small buffer";
  }
};
const TestCategory kCategory;
const std::error_code kShort(7, kCategory);
const std::error_code kLong(8, kCategory);

// The error's data beyond its system_error part, as the runtime's shared
// pointer lays it out, and the leading fields of the block's control part.
struct RawCounts {
  const void* const* vtable;
  int use;
  int weak;
};
struct RawShared {
  const void* impl;
  RawCounts* block;
};
struct RawImpl {
  path path1;
  path path2;
  std::string what;
};

static_assert(sizeof(filesystem_error) == sizeof(std::system_error) + sizeof(RawShared));

RawShared shared_of(const filesystem_error& e) {
  RawShared r;
  std::memcpy(&r, reinterpret_cast<const char*>(&e) + sizeof(std::system_error), sizeof r);
  return r;
}

const RawImpl& impl_of(const filesystem_error& e) {
  return *static_cast<const RawImpl*>(shared_of(e).impl);
}

// A shared pointer of the runtime that owns one more use of the error's
// block, taken the way a caller's inline copy takes it.
std::shared_ptr<const void> runtime_share(const filesystem_error& e) {
  alignas(std::shared_ptr<const void>) unsigned char view[sizeof(RawShared)];
  const RawShared r = shared_of(e);
  std::memcpy(view, &r, sizeof r);
  return *reinterpret_cast<const std::shared_ptr<const void>*>(view);
}

struct WhatCase {
  const char* label;
  std::string what_arg;
  int paths;  // how many of p1, p2 the constructor receives
  std::string p1, p2;
  std::error_code ec;
  std::string expected;
};

filesystem_error make(const WhatCase& c) {
  if (c.paths == 0) return filesystem_error(c.what_arg, c.ec);
  if (c.paths == 1) return filesystem_error(c.what_arg, path(c.p1), c.ec);
  return filesystem_error(c.what_arg, path(c.p1), path(c.p2), c.ec);
}

TEST(What, NamesTheFailureTheCodeAndEachPathGiven) {
  const std::string eilseq =
      std::make_error_code(std::errc::illegal_byte_sequence).message();
  const WhatCase cases[] = {
      {"no path", "cannot open", 0, "", "", kShort, "filesystem error: cannot open: M"},
      {"one path", "cannot open", 1, "/a/b", "", kShort,
       "filesystem error: cannot open: M [/a/b]"},
      {"two paths in order", "cannot copy", 2, "from", "to", kShort,
       "filesystem error: cannot copy: M [from] [to]"},
      {"empty first path", "x", 1, "", "", kShort, "filesystem error: x: M []"},
      {"both paths empty", "x", 2, "", "", kShort, "filesystem error: x: M [] []"},
      {"empty second path", "x", 2, "a", "", kShort, "filesystem error: x: M [a] []"},
      {"paths exactly as stored", "x", 2, "//a/./b/", "../c//", kShort,
       "filesystem error: x: M [//a/./b/] [../c//]"},
      {"empty what_arg", "", 0, "", "", kShort, "filesystem error: : M"},
      {"long texts", std::string(40, 'w'), 2, std::string(30, 'p'), std::string(50, 'q'),
       kLong,
       "filesystem error: " + std::string(40, 'w') +
           ": a category text too long for the small buffer [" + std::string(30, 'p') +
           "] [" + std::string(50, 'q') + "]"},
      {"generic category", "Cannot convert character sequence", 0, "", "",
       std::make_error_code(std::errc::illegal_byte_sequence),
       "filesystem error: Cannot convert character sequence: " + eilseq},
      {"what_arg cut at its NUL, code text lost", std::string("ab\0cd", 5), 1, "p", "",
       kShort, "filesystem error: ab [p]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const filesystem_error e = make(c);
    EXPECT_EQ(std::string(e.what()), c.expected);
    EXPECT_EQ(impl_of(e).what, c.expected) << "the message holds no byte past its text";
    EXPECT_EQ(e.code(), c.ec);
    EXPECT_EQ(e.path1().native(), c.paths >= 1 ? c.p1 : "");
    EXPECT_EQ(e.path2().native(), c.paths == 2 ? c.p2 : "");
  }
}

TEST(What, CarriesPathBytesVerbatimEvenPastANul) {
  const std::string odd("a\0\xff/b", 5);
  const filesystem_error e("bad", path(odd), path("c"), kShort);
  EXPECT_EQ(impl_of(e).what, "filesystem error: bad: M [" + odd + "] [c]");
}

TEST(What, IsNeverTheBaseMessageWhichTheRuntimeErrorPartKeeps) {
  const filesystem_error e("cannot open", path("/x"), kShort);
  const std::exception& as_exception = e;
  EXPECT_STREQ(as_exception.what(), "filesystem error: cannot open: M [/x]");
  EXPECT_STREQ(e.std::runtime_error::what(), "cannot open: M");
}

TEST(Paths, AreCopiesWithTheirOwnComponentLists) {
  const path p1("/usr/lib/"), p2("a/../b");
  const filesystem_error e("x", p1, p2, kShort);
  EXPECT_NE(&e.path1(), &p1);
  EXPECT_EQ(describe(e.path1()), describe(p1));
  EXPECT_EQ(describe(e.path2()), describe(p2));
  EXPECT_EQ(&e.path1(), &impl_of(e).path1);
  EXPECT_EQ(&e.path2(), &impl_of(e).path2);
  const filesystem_error none("x", kShort);
  EXPECT_EQ(describe(none.path1()), "F");
  EXPECT_EQ(describe(none.path2()), "F");
}

TEST(Throwing, IsCaughtAsItselfAndAsEachBase) {
  try {
    throw filesystem_error("gone", path("/p"), kShort);
  } catch (const std::system_error& e) {
    const auto* fe = dynamic_cast<const filesystem_error*>(&e);
    ASSERT_NE(fe, nullptr);
    EXPECT_EQ(fe->path1().native(), "/p");
    EXPECT_EQ(e.code(), kShort);
  }
  try {
    throw filesystem_error("gone", kShort);
  } catch (const filesystem_error& e) {
    EXPECT_STREQ(e.what(), "filesystem error: gone: M");
  }
  EXPECT_EQ(typeid(filesystem_error).name(),
            std::string("NSt10filesystem7__cxx1116filesystem_errorE"));
}

TEST(Destruction, ThroughTheBaseFreesEverything) {
  const long before = live_allocations();
  {
    std::unique_ptr<std::exception> e(new filesystem_error(
        std::string(20, 'w'), path("/a/long/enough/path/name"), path("b/c"), kLong));
    EXPECT_NE(std::strstr(e->what(), "[b/c]"), nullptr);
  }
  EXPECT_EQ(live_allocations(), before);
}

TEST(SharedBlock, StartsWithOneUseOneWeakAndTheImplAtOffset16) {
  const filesystem_error e("x", path("a/b"), kShort);
  const RawShared r = shared_of(e);
  ASSERT_NE(r.block, nullptr);
  EXPECT_EQ(r.block->use, 1);
  EXPECT_EQ(r.block->weak, 1);
  EXPECT_EQ(r.impl, reinterpret_cast<const char*>(r.block) + 16);
}

TEST(SharedBlock, CopiesShareOneTextAndOutliveEachOtherInEitherOrder) {
  for (bool original_first : {true, false}) {
    SCOPED_TRACE(original_first ? "original dies first" : "copy dies first");
    const long before = live_allocations();
    {
      std::optional<filesystem_error> original(
          std::in_place, "copied", path("/a/long/enough/path/name"), kLong);
      std::optional<filesystem_error> copy(*original);
      const std::string expected = original->what();
      EXPECT_EQ(copy->what(), original->what());
      EXPECT_EQ(&copy->path1(), &original->path1());
      EXPECT_EQ(shared_of(*copy).block->use, 2);
      EXPECT_EQ(copy->code(), kLong);
      auto& first = original_first ? original : copy;
      auto& second = original_first ? copy : original;
      const char* text = second->what();
      first.reset();
      EXPECT_EQ(shared_of(*second).block->use, 1);
      EXPECT_EQ(std::string(text), expected);
      EXPECT_EQ(second->path1().native(), "/a/long/enough/path/name");
    }
    EXPECT_EQ(live_allocations(), before);
  }
}

TEST(SharedBlock, AssignmentSharesTheSourceAndGivesUpTheOldBlock) {
  const long before = live_allocations();
  {
    filesystem_error target("old", path("/the/old/error/path"), kLong);
    const filesystem_error source("new", path("/the/new/error/path"), kShort);
    target = source;
    EXPECT_EQ(target.what(), source.what());
    EXPECT_EQ(target.code(), kShort);
    EXPECT_EQ(shared_of(source).block->use, 2);
    target = std::as_const(target);
    EXPECT_EQ(shared_of(source).block->use, 2);
  }
  EXPECT_EQ(live_allocations(), before);
}

// The runtime's shared pointer counts, queries and releases the block through
// its control part's virtual table, as code compiled against the runtime's
// own header would.
TEST(SharedBlock, IsOwnedByTheRuntimesSharedPointerAsOneOfItsOwn) {
  const long before = live_allocations();
  {
    std::optional<filesystem_error> e(std::in_place, "x", path("/a/long/enough/path/name"),
                                      path("/and/a/second/long/path"), kLong);
    const std::string expected = e->what();
    std::shared_ptr<const void> runtime = runtime_share(*e);
    EXPECT_EQ(runtime.use_count(), 2);
    EXPECT_EQ(runtime.get(), shared_of(*e).impl);
    EXPECT_EQ(std::get_deleter<std::_Sp_make_shared_tag>(runtime), runtime.get());
    EXPECT_EQ(std::get_deleter<int>(runtime), nullptr);
    e.reset();
    EXPECT_EQ(runtime.use_count(), 1);
    EXPECT_EQ(static_cast<const RawImpl*>(runtime.get())->what, expected);
  }
  EXPECT_EQ(live_allocations(), before) << "disposed and destroyed by the runtime";
}

// A caller whose header lets an error move takes its block out with the
// runtime's shared pointer; the emptied error is then destroyed with no share.
TEST(SharedBlock, AnErrorEmptiedByACallersMoveIsDestroyedWithoutABlock) {
  const long before = live_allocations();
  {
    std::optional<filesystem_error> e(std::in_place, "x", path("/a"), kLong);
    auto* words = reinterpret_cast<std::shared_ptr<const void>*>(
        reinterpret_cast<char*>(&*e) + sizeof(std::system_error));
    const std::shared_ptr<const void> moved(std::move(*words));
    EXPECT_EQ(shared_of(*e).block, nullptr);
    e.reset();
    EXPECT_EQ(moved.use_count(), 1);
  }
  EXPECT_EQ(live_allocations(), before);
}

TEST(Construction, ReservesTheMessageOnce) {
  const path p1("/a/path/longer/than/fifteen"), p2("/b/path/longer/than/fifteen");
  const std::string what_arg = "short";
  vornel::test::AllocationCount none;
  { const filesystem_error e(what_arg, kShort); }
  const long base = none.count();
  vornel::test::AllocationCount two;
  { const filesystem_error e(what_arg, p1, p2, kShort); }
  // Beyond the no-path error: two texts and two blocks for the path copies;
  // the message, in place of the no-path message, reads the paths' texts
  // where they are.
  EXPECT_EQ(two.count() - base, 4);
}

TEST(Construction, LeaksNothingWhenAnyAllocationFails) {
  const path p1("/a/path/longer/than/fifteen"), p2("/b/path/longer/than/fifteen");
  const std::string what_arg(24, 'w');
  for (int paths = 0; paths <= 2; ++paths) {
    SCOPED_TRACE(paths);
    const long points = vornel::test::sweep_allocation_failures([&](auto& failure) {
      failure.run([&] {
        if (paths == 0) filesystem_error e(what_arg, kLong);
        if (paths == 1) filesystem_error e(what_arg, p1, kLong);
        if (paths == 2) filesystem_error e(what_arg, p1, p2, kLong);
      });
    });
    EXPECT_GE(points, 3 + 4 * paths);
  }
}

}  // namespace
