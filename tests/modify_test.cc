// The modifiers of a path's end: remove_filename, replace_filename and
// replace_extension at the data level, with what a failed allocation leaves.
#include <gtest/gtest.h>

#include <fs_path>
#include <string>

#include "support/alloc.h"
#include "support/failed_replace.h"
#include "support/raw_state.h"
#include "testing/compose_cases.h"

namespace {

using std::filesystem::path;
using vornel::test::AllocationCount;
using vornel::test::capacity;
using vornel::test::invariant_violation;
using vornel::test::raw;
using vornel::test::state;
using vornel::test::expect_failures_leave_one_of;
using vornel::test::states_after_failed_replace_extension;
using vornel::test::states_after_failed_replace_filename;

using vornel::test::kLong1;
using vornel::test::kLong2;

struct ModifyCase {
  const char* path;
  const char* expected;  // state() of the result
};

TEST(RemoveFilename, CutsTheTextAndEditsTheLastComponent) {
  const ModifyCase cases[] = {
      {"a", "[] F"},
      {"", "[] F"},
      {"/", "[/] R"},
      {"//", "[//] R"},
      {"a/", "[a/] M a:F@0 :F@2"},
      {"/a/", "[/a/] M /:R@0 a:F@1 :F@3"},
      {"a/b", "[a/] M a:F@0 :F@2"},
      {"a/b/c", "[a/b/] M a:F@0 b:F@2 :F@4"},
      {"a/.", "[a/] M a:F@0 :F@2"},
      {"a//b", "[a//] M a:F@0 :F@3"},
      {"/a", "[/] R"},
      {"//a", "[//] R"},
      {"/a/b", "[/a/] M /:R@0 a:F@1 :F@3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    path p(c.path);
    const int block = capacity(p);
    AllocationCount count;
    p.remove_filename();
    EXPECT_EQ(count.count(), 0);
    EXPECT_EQ(state(p), c.expected);
    EXPECT_EQ(invariant_violation(p), "");
    EXPECT_EQ(capacity(p), block) << "the block stays";
  }
}

TEST(RemoveFilename, LeavesALoneRootWithItsRunAndAnEmptyBlockForReuse) {
  path p("//");
  p /= path(kLong1);
  p.remove_filename();
  EXPECT_EQ(state(p), "[//] R");
  EXPECT_TRUE(raw(p).has_block);
  AllocationCount count;
  p /= path("b");
  EXPECT_EQ(count.count(), 0);
  EXPECT_EQ(state(p), "[//b] M //:R@0 b:F@2");
}

struct ReplaceCase {
  const char* path;
  const char* arg;
  const char* expected;
};

TEST(ReplaceFilename, PutsTheArgumentInPlaceOfTheLastName) {
  const ReplaceCase cases[] = {
      {"a/b", "c", "[a/c] M a:F@0 c:F@2"},
      {"/a", "b", "[/b] M /:R@0 b:F@1"},
      {"a", "b", "[b] F"},
      {"a/", "b", "[a/b] M a:F@0 b:F@2"},
      {"a/b", "/c", "[/c] M /:R@0 c:F@1"},
      {"a/b", "", "[a/] M a:F@0 :F@2"},
      {"/", "b", "[/b] M /:R@0 b:F@1"},
      {"a/b", "c/d", "[a/c/d] M a:F@0 c:F@2 d:F@4"},
      {"", "x/", "[x/] M x:F@0 :F@2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " <- " + c.arg);
    path p(c.path);
    p.replace_filename(path(c.arg));
    EXPECT_EQ(state(p), c.expected);
    EXPECT_EQ(invariant_violation(p), "");
  }
}

TEST(ReplaceExtension, SwapsTheExtensionOfTheLastName) {
  const ReplaceCase cases[] = {
      {"a/b.txt", ".md", "[a/b.md] M a:F@0 b.md:F@2"},
      {"a/b.txt", "md", "[a/b.md] M a:F@0 b.md:F@2"},
      {"a/b.txt", "", "[a/b] M a:F@0 b:F@2"},
      {"a/b.txt", ".", "[a/b.] M a:F@0 b.:F@2"},
      {"a/b", ".txt", "[a/b.txt] M a:F@0 b.txt:F@2"},
      {"a/b.tar.gz", ".zip", "[a/b.tar.zip] M a:F@0 b.tar.zip:F@2"},
      {"a/b.", ".md", "[a/b.md] M a:F@0 b.md:F@2"},
      {"a/.profile", ".x", "[a/.profile.x] M a:F@0 .profile.x:F@2"},
      {"a/..", "x", "[a/...x] M a:F@0 ...x:F@2"},
      {"b.txt", ".md", "[b.md] F"},
      {"a/", ".txt", "[a/.txt] M a:F@0 .txt:F@2"},
      {"", "txt", "[.txt] F"},
      {"/", "x", "[/.x] M /:R@0 .x:F@1"},
      {"x.d/a.b", "c/d", "[x.d/a.c/d] M x.d:F@0 a.c:F@4 d:F@8"},
      {"a.b", "/c", "[a./c] M a.:F@0 c:F@3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " <- " + c.arg);
    path p(c.path);
    p.replace_extension(path(c.arg));
    EXPECT_EQ(state(p), c.expected);
    EXPECT_EQ(invariant_violation(p), "");
  }
  path defaulted("a/b.txt");
  defaulted.replace_extension();
  EXPECT_EQ(state(defaulted), "[a/b] M a:F@0 b:F@2");
}

// The argument is read as it was when the call began, even when it is the
// path itself or one of its components, which the call changes or frees.
TEST(Replace, ReadsAnArgumentThatIsPartOfThePathAsItWas) {
  const struct {
    const char* text;
    void (*replace)(path& p);
    const char* expected;
  } cases[] = {
      {"a/b", [](path& p) { p.replace_filename(p); }, "[a/a/b] M a:F@0 a:F@2 b:F@4"},
      {"a/b", [](path& p) { p.replace_filename(*p.begin()); }, "[a/a] M a:F@0 a:F@2"},
      {"/b", [](path& p) { p.replace_filename(*--p.end()); }, "[/b] M /:R@0 b:F@1"},
      {"a.b", [](path& p) { p.replace_extension(p); }, "[a.a.b] F"},
      {"x/y.z", [](path& p) { p.replace_extension(*--p.end()); }, "[x/y.y.z] M x:F@0 y.y.z:F@2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    path p(c.text);
    c.replace(p);
    EXPECT_EQ(state(p), c.expected);
  }
}

TEST(ReplaceExtension, OfANameThatStaysShortAllocatesNothing) {
  path p("dir/name.txt");
  const path md(".md");
  AllocationCount count;
  p.replace_extension(md);
  EXPECT_EQ(count.count(), 0);
  EXPECT_EQ(state(p), "[dir/name.md] M dir:F@0 name.md:F@4");
}

TEST(ReplaceFilenameFailure, LeavesThePathAsRemovingTheFilenameMadeIt) {
  const path arg(kLong1 + "/" + kLong2);
  for (const std::string& text : {std::string("a/b"), std::string("/b"), std::string("b"),
                                  "x/" + kLong1, std::string("x/")}) {
    SCOPED_TRACE(text);
    EXPECT_GE(expect_failures_leave_one_of([&] { return path(text); },
                                           [&](path& p) { p.replace_filename(arg); },
                                           states_after_failed_replace_filename(path(text))),
              1);
  }
}

TEST(ReplaceExtensionFailure, LeavesTheExtensionCutAndTheDotAddedOnlyIfThatSucceeded) {
  const struct {
    std::string path;
    std::string arg;
  } cases[] = {
      {"dir/" + kLong1 + ".txt", kLong2},
      {"dir/" + kLong1 + ".txt", "." + kLong2},
      {kLong1 + ".txt", kLong2},
      {"dir/" + kLong1, "x/" + kLong2},
      {"dir/", kLong2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " <- " + c.arg);
    const path arg(c.arg);
    EXPECT_GE(expect_failures_leave_one_of(
                  [&] { return path(c.path); }, [&](path& p) { p.replace_extension(arg); },
                  states_after_failed_replace_extension(path(c.path), arg)),
              1);
  }
}

}  // namespace
