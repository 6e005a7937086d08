// Concatenation (operator+= and _M_concat): the seam between the old last
// filename and the added text, the shortcuts that build no component, block
// growth, self-reference, length errors and the strong guarantee.
#include <gtest/gtest.h>

#include <fs_path>
#include <string>

#include "support/alloc.h"
#include "support/raw_state.h"
#include "testing/compose_cases.h"
#include "testing/names.h"

namespace {

using std::filesystem::path;
using namespace vornel::test;

// The two operations agree on every case below but the capacities.
const Form kForms[] = {
    {"operator+=", [](path& p, const std::string& arg) { p += path(arg); }},
    {"_M_concat", [](path& p, const std::string& arg) { p._M_concat(arg); }},
};

TEST(Concat, JoinsTheFirstAddedNameToTheLastFilename) {
  const EditCase cases[] = {
      {"a", "b", "[ab] F"},
      {"a/b", "c", "[a/bc] M a:F@0 bc:F@2"},
      {"a/", "c", "[a/c] M a:F@0 c:F@2"},
      {"a", "b/c", "[ab/c] M ab:F@0 c:F@3"},
      {"a/b", "c/d", "[a/bc/d] M a:F@0 bc:F@2 d:F@5"},
      {"a/", "b/c", "[a/b/c] M a:F@0 b:F@2 c:F@4"},
      {"a/b", "c/", "[a/bc/] M a:F@0 bc:F@2 :F@5"},
      {"a", "/b", "[a/b] M a:F@0 b:F@2"},
      {"a/", "/b", "[a//b] M a:F@0 b:F@3"},
      {"a", "/", "[a/] M a:F@0 :F@2"},
      {"a/", "/", "[a//] M a:F@0 :F@3"},
      {"/", "b/c", "[/b/c] M /:R@0 b:F@1 c:F@3"},
      {"//", "a", "[//a] M //:R@0 a:F@2"},
      {"a", "", "[a] F"},
      {"a/b", "", "[a/b] M a:F@0 b:F@2"},
      {"", "a/b", "[a/b] M a:F@0 b:F@2"},
      {"", "", "[] F"},
      {"a/", "//b", "[a///b] M a:F@0 b:F@4"},
      {"a", "//", "[a//] M a:F@0 :F@3"},
      {"a", "b/", "[ab/] M ab:F@0 :F@3"},
      {"/a/", "/b/", "[/a//b/] M /:R@0 a:F@1 b:F@4 :F@6"},
      {"/a", "b//c", "[/ab//c] M /:R@0 ab:F@1 c:F@5"},
      {"/", "/", "[//] R"},
      {"//", "/", "[///] R"},
      {std::string("x\0", 2), "\xff/\x80",
       std::string("[x\0\xff/\x80] M x\0\xff:F@0 \x80:F@4", 23)},
  };
  expect_each_form_gives(kForms, cases);
}

TEST(Concat, SeparatorsAddedToALoneRootDirectoryLengthenItAsASplitWould) {
  // A list that holds only its root directory, as normalising leaves it.
  const path listed = path("/a/b/../..").lexically_normal();
  ASSERT_EQ(describe(listed), "M /:R@0");
  const struct {
    path start;
    std::string arg, expected;
  } cases[] = {
      {path("/"), "/", "[//] R"},
      {path("//"), "///", "[/////] R"},
      {listed, "/", "[//] R"},
      {path("/"), "/b", "[//b] M /:R@0 b:F@2"},
      {path("/"), "b", "[/b] M /:R@0 b:F@1"},
  };
  for (const Form& form : kForms) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.start.native() + " " + form.name + " " + c.arg);
      path p = c.start;
      form.apply(p, c.arg);
      EXPECT_EQ(state(p), c.expected);
      EXPECT_EQ(state(p), state(path(p.native())));
    }
    path p = listed;
    const int block = capacity(p);
    form.apply(p, "/");
    EXPECT_EQ(capacity(p), block) << "the emptied block is kept";
  }
  const std::string run(40, '/');
  for (const path& start : {path("/"), listed}) {
    path p = start;
    const path added(run);
    AllocationCount count;
    p += added;
    EXPECT_EQ(count.count(), 1) << "the text alone";
    EXPECT_GE(expect_unchanged_on_failure([&] { return start; }, [&](path& q) { q += added; }), 1);
    EXPECT_GE(expect_unchanged_on_failure([&] { return start; }, [&](path& q) { q += run; }), 1);
  }
}

TEST(Concat, AcceptsTextAndCharactersThroughThePublicForms) {
  path p("dir/file");
  p += ".tar";
  p += std::string(".g");
  p += 'z';
  p.concat(std::string_view("/x"));
  p.concat(path("y"));
  EXPECT_EQ(state(p), "[dir/file.tar.gz/xy] M dir:F@0 file.tar.gz:F@4 xy:F@16");
}

TEST(Concat, ReservesTheBlockOnceGrowingItByAtLeastHalf) {
  // operator+= counts every element of its argument, _M_concat only those it
  // still has to build after the seam.
  const struct {
    std::string path, arg;
    int by_path, by_text;
  } cases[] = {
      {"a/b", "c/d", 4, 3},        // max(4, 3) against max(3, 3)
      {"a", "b/c", 3, 2},
      {"a/", "/b", 4, 3},
      {"a/b/c/d", "/e", 6, 6},     // max(6, 4 * 1.5) and max(5, 6)
      {"x", "/" + names(64), 66, 65},
      {"x", "/" + names(1000) + "/", 1003, 1002},
      {names(10), "/" + names(64), 75, 74},
  };
  for (const auto& c : cases) {
    for (const Form& form : kForms) {
      SCOPED_TRACE(c.path + " " + form.name + " " + c.arg);
      path p(c.path);
      text_of(p).reserve(c.path.size() + c.arg.size());
      AllocationCount count;
      form.apply(p, c.arg);
      if (form.apply == kForms[1].apply) { EXPECT_EQ(count.count(), 1) << "the block alone"; }
      EXPECT_EQ(capacity(p), form.apply == kForms[0].apply ? c.by_path : c.by_text);
      EXPECT_EQ(state(p), state(path(c.path + c.arg)));
    }
  }
}

TEST(ConcatAllocation, ShortcutsBuildNoComponent) {
  for (const char* start : {"a", "a/b", "a/", "/x/y", "a.b"}) {
    for (const Form& form : kForms) {
      SCOPED_TRACE(std::string(start) + " " + form.name);
      path p(start);
      text_of(p).reserve(40);
      const int size = raw(p).size, cap = capacity(p);
      const std::string arg = ".txt";
      AllocationCount count;
      if (form.apply == kForms[0].apply) {
        const path added(arg);
        AllocationCount in_call;
        p += added;
        EXPECT_EQ(in_call.count(), 0);
      } else {
        p._M_concat(arg);
        EXPECT_EQ(count.count(), 0);
      }
      EXPECT_EQ(raw(p).size, size);
      EXPECT_EQ(capacity(p), cap);
      EXPECT_EQ(p.native(), start + arg);
    }
  }
}

TEST(Concat, GivesTheResultOfASeparateCopyWhenReadingItself) {
  const SelfCase cases[] = {
      {"a", [](path& p) { p += p; }, "[aa] F"},
      {"a/b", [](path& p) { p += p; }, "[a/ba/b] M a:F@0 ba:F@2 b:F@5"},
      {"a/", [](path& p) { p += p; }, "[a/a/] M a:F@0 a:F@2 :F@4"},
      {"/a/", [](path& p) { p += p; }, "[/a//a/] M /:R@0 a:F@1 a:F@4 :F@6"},
      {"/", [](path& p) { p += p; }, "[//] R"},
      {"a/b", [](path& p) { p += *--p.end(); }, "[a/bb] M a:F@0 bb:F@2"},
      {"a/b", [](path& p) { p._M_concat(std::string_view(p.native()).substr(2)); },
       "[a/bb] M a:F@0 bb:F@2"},
      {"a/b", [](path& p) { p._M_concat(std::string_view(p.native()).substr(1)); },
       "[a/b/b] M a:F@0 b:F@2 b:F@4"},
  };
  expect_each_self_change_gives(cases);
  // Long enough that the text moves to a new buffer while it is read.
  const std::string text = kLong1 + "/" + kLong2;
  path by_path(text), by_text(text);
  by_path += by_path;
  by_text._M_concat(by_text.native());
  EXPECT_EQ(state(by_path), state(path(text + text)));
  EXPECT_EQ(state(by_text), state(path(text + text)));
}

TEST(Concat, Handles100000Elements) {
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.name);
    path p("root");
    form.apply(p, "/" + names(100000));
    EXPECT_EQ(raw(p).size, 100001);
    EXPECT_EQ(invariant_violation(p), "");
  }
}

TEST(ConcatText, RefusesAResultLongerThanTheStringMaximumAndChangesNothing) {
  for (const char* text : {"a", "a/b/", "/"})
    expect_too_long_changes_nothing(
        text, [](path& p, std::string_view s) { p += s; },
        [](path& p, std::string_view s) { p._M_concat(s); });
}

TEST(ConcatFailure, LeavesThePathExactlyAsItWas) {
  const FailureCase cases[] = {
      {"a/" + kLong1, kLong2 + "/" + kLong1},              // joined to the last name
      {kLong1, kLong2 + "/" + kLong1},                     // joined to a single name
      {"x/" + kLong1 + "/", "/" + kLong2 + "/" + kLong1},  // the empty name gives way
      {"x/" + kLong1 + "/", "//" + kLong2},
      {"/", kLong1 + "/" + kLong2},
      {"a/" + kLong1, kLong2},                             // the shortcuts
      {kLong1, kLong2},
      {"a", names(70) + "/" + kLong1 + "/" + kLong2},      // more than one batch
      {kLong1 + "/", "/"},
  };
  expect_each_form_unchanged_on_failure(kForms, cases);
  for (const std::string& text : {kLong1, "a/" + kLong1, kLong1 + "/", "/x/" + kLong2}) {
    SCOPED_TRACE(text + " += itself");
    EXPECT_GE(expect_unchanged_on_failure([&] { return path(text); }, [](path& p) { p += p; }),
              1);
  }
}

}  // namespace
