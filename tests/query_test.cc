// Taking paths apart: root, relative part and parent as new paths at the
// data level, the yes/no queries, and where the extension starts.
#include <gtest/gtest.h>

#include <fs_path>
#include <stdexcept>
#include <string>

#include "support/alloc.h"
#include "support/raw_state.h"
#include "testing/compose_cases.h"

namespace {

using std::filesystem::path;
using vornel::test::AllocationCount;
using vornel::test::state;

struct PartsCase {
  const char* text;
  const char* root_directory;
  const char* root_path;
  const char* relative_path;
  const char* parent_path;
};

// Each part is given as its state(): text, kind and components.
TEST(Parts, FollowTheComponentsOfThePath) {
  const PartsCase cases[] = {
      {"", "[] F", "[] F", "[] F", "[] F"},
      {"/", "[/] R", "[/] R", "[] F", "[/] R"},
      {"//", "[/] R", "[/] R", "[] F", "[//] R"},
      {"a", "[] F", "[] F", "[a] F", "[] F"},
      {"/a", "[/] R", "[/] R", "[a] F", "[/] R"},
      {"a/b", "[] F", "[] F", "[a/b] M a:F@0 b:F@2", "[a] F"},
      {"a/", "[] F", "[] F", "[a/] M a:F@0 :F@2", "[a] F"},
      {"/a/b/", "[/] R", "[/] R", "[a/b/] M a:F@0 b:F@2 :F@4", "[/a/b] M /:R@0 a:F@1 b:F@3"},
      {"//a//b", "[/] R", "[/] R", "[a//b] M a:F@0 b:F@3", "[//a] M /:R@0 a:F@2"},
      {"//a", "[/] R", "[/] R", "[a] F", "[/] R"},
      {"/..", "[/] R", "[/] R", "[..] F", "[/] R"},
      {"..", "[] F", "[] F", "[..] F", "[] F"},
      {"a//b//", "[] F", "[] F", "[a//b//] M a:F@0 b:F@3 :F@6", "[a//b] M a:F@0 b:F@3"},
      {"///a/b/c", "[/] R", "[/] R", "[a/b/c] M a:F@0 b:F@2 c:F@4", "[///a/b] M /:R@0 a:F@3 b:F@5"},
      {"\xfe//\x80/y", "[] F", "[] F", "[\xfe//\x80/y] M \xfe:F@0 \x80:F@3 y:F@5",
       "[\xfe//\x80] M \xfe:F@0 \x80:F@3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const path p(c.text);
    EXPECT_EQ(state(p.root_name()), "[] F");
    EXPECT_EQ(state(p.root_directory()), c.root_directory);
    EXPECT_EQ(state(p.root_path()), c.root_path);
    EXPECT_EQ(state(p.relative_path()), c.relative_path);
    EXPECT_EQ(state(p.parent_path()), c.parent_path);
  }
}

TEST(Parts, OfARootDirectoryRunMadeByAppendingKeepTheWholeRun) {
  path p("//");
  p /= path("a");
  ASSERT_EQ(state(p), "[//a] M //:R@0 a:F@2");
  EXPECT_EQ(state(p.root_directory()), "[//] R");
  EXPECT_EQ(state(p.root_path()), "[//] R");
  EXPECT_EQ(state(p.parent_path()), "[//] R");
  EXPECT_EQ(state(p.relative_path()), "[a] F");
  const path split("//a");
  EXPECT_EQ(state(split.root_directory()), "[/] R");
  EXPECT_EQ(state(split.parent_path()), "[/] R");
}

// A list left past its text by hand: a piece is taken as the string's substr
// would take it, out of range from a start past the end, cut at the end.
TEST(Parts, OfAListPastItsTextFollowTheStringsSubstr) {
  path p("//a/b");
  vornel::test::text_of(p) = "/";
  try {
    p.relative_path();
    ADD_FAILURE() << "no error";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "basic_string::substr: __pos (which is 2) > this->size() (which is 1)");
  }
  EXPECT_EQ(state(p.parent_path()), "[/] R");
}

struct QueryCase {
  const char* text;
  bool root_directory, root_path, relative_path, parent_path, filename;
};

TEST(Queries, AnswerFromTheKindAndComponents) {
  const QueryCase cases[] = {
      {"", false, false, false, false, false},
      {"/", true, true, false, true, false},
      {"//", true, true, false, true, false},
      {"a", false, false, true, false, true},
      {"/a", true, true, true, true, true},
      {"a/b", false, false, true, true, true},
      {"a/", false, false, true, true, false},
      {"/a/b/", true, true, true, true, false},
      {".", false, false, true, false, true},
      {"..", false, false, true, false, true},
      {"/..", true, true, true, true, true},
      {"a/..", false, false, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const path p(c.text);
    AllocationCount count;
    EXPECT_FALSE(p.has_root_name());
    EXPECT_EQ(p.has_root_directory(), c.root_directory);
    EXPECT_EQ(p.is_absolute(), c.root_directory);
    EXPECT_EQ(p.is_relative(), !c.root_directory);
    EXPECT_EQ(p.has_root_path(), c.root_path);
    EXPECT_EQ(p.has_relative_path(), c.relative_path);
    EXPECT_EQ(p.has_parent_path(), c.parent_path);
    EXPECT_EQ(p.has_filename(), c.filename);
    EXPECT_EQ(count.count(), 0);
  }
}

struct ExtensionCase {
  const char* text;
  const char* name;  // the string found, or nullptr
  std::size_t dot;
  const char* stem;
  const char* extension;
};

TEST(FindExtension, LocatesTheLastDotOfTheLastFilename) {
  const std::size_t npos = std::string::npos;
  const ExtensionCase cases[] = {
      {"", nullptr, 0, "", ""},
      {"/", nullptr, 0, "", ""},
      {"dir/", nullptr, 0, "", ""},
      {"a", "a", npos, "a", ""},
      {".", ".", npos, ".", ""},
      {"..", "..", npos, "..", ""},
      {".profile", ".profile", npos, ".profile", ""},
      {".x", ".x", npos, ".x", ""},
      {"a.b.c", "a.b.c", 3, "a.b", ".c"},
      {"a.", "a.", 1, "a", "."},
      {"...", "...", 2, "..", "."},
      {"dir/a.b", "a.b", 1, "a", ".b"},
      {"a/..", "..", npos, "..", ""},
      {"/x.d/f", "f", npos, "f", ""},
      {"a.b/.c.d", ".c.d", 2, ".c", ".d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const path p(c.text);
    const auto ext = p._M_find_extension();
    EXPECT_EQ(p.stem().native(), c.stem);
    EXPECT_EQ(p.extension().native(), c.extension);
    EXPECT_EQ(p.has_stem(), *c.stem != '\0');
    EXPECT_EQ(p.has_extension(), *c.extension != '\0');
    if (!c.name) {
      EXPECT_EQ(ext.first, nullptr);
      EXPECT_EQ(ext.second, 0u);
      continue;
    }
    ASSERT_NE(ext.first, nullptr);
    EXPECT_EQ(*ext.first, c.name);
    EXPECT_EQ(ext.second, c.dot);
    EXPECT_EQ(p.filename().native(), c.name);
  }
}

TEST(FindExtension, PointsAtTheLastComponentsOwnString) {
  const path single("a.b");
  EXPECT_EQ(single._M_find_extension().first, &single.native());
  const path multi("dir/a.b");
  const path& last = *--multi.end();
  EXPECT_EQ(multi._M_find_extension().first, &last.native());
}

}  // namespace
