// Appending with a separator (operator/= and _M_append): the list edited in
// place, block growth, self-reference, length errors, and the strong
// guarantee under allocation failure.
#include <gtest/gtest.h>

#include <fs_path>
#include <string>
#include <utility>

#include "support/alloc.h"
#include "support/raw_state.h"
#include "testing/compose_cases.h"
#include "testing/names.h"

namespace {

using std::filesystem::path;
using namespace vornel::test;

// The two operations agree on every case below.
const Form kForms[] = {
    {"operator/=", [](path& p, const std::string& arg) { p /= path(arg); }},
    {"_M_append", [](path& p, const std::string& arg) { p._M_append(arg); }},
};

// A path of the components of `text` in a block of capacity `cap`.
path with_capacity(const std::string& text, int cap) {
  path p(names(cap));
  text_of(p) = text;
  p._M_split_cmpts();
  return p;
}

TEST(Append, EditsTheListInPlaceForEachWorkedCase) {
  const EditCase cases[] = {
      {"a", "b", "[a/b] M a:F@0 b:F@2"},
      {"a/", "b", "[a/b] M a:F@0 b:F@2"},
      {"/", "b", "[/b] M /:R@0 b:F@1"},
      {"//", "a", "[//a] M //:R@0 a:F@2"},
      {"a", "", "[a/] M a:F@0 :F@2"},
      {"a/", "", "[a/] M a:F@0 :F@2"},
      {"/", "", "[/] R"},
      {"", "b", "[b] F"},
      {"", "", "[] F"},
      {"", "c/", "[c/] M c:F@0 :F@2"},
      {"a", "/b", "[/b] M /:R@0 b:F@1"},
      {"a/b", "//", "[//] R"},
      {"a/b", "c/d", "[a/b/c/d] M a:F@0 b:F@2 c:F@4 d:F@6"},
      {"a", "b/", "[a/b/] M a:F@0 b:F@2 :F@4"},
      {"a/", "b/c", "[a/b/c] M a:F@0 b:F@2 c:F@4"},
      {"a", "b//c", "[a/b//c] M a:F@0 b:F@2 c:F@5"},
      {"/a/", "b", "[/a/b] M /:R@0 a:F@1 b:F@3"},
      {"a//", "b", "[a//b] M a:F@0 b:F@3"},
      {"..", ".", "[../.] M ..:F@0 .:F@3"},
      {"\xff", std::string("b\0c/\x80", 5),
       std::string("[\xff/b\0c/\x80] M \xff:F@0 b\0c:F@2 \x80:F@6", 31)},
  };
  expect_each_form_gives(kForms, cases);
}

TEST(Append, KeepsOldComponentsInPlace) {
  path p("a/" + kLong1);
  const char* kept = (*++p.begin()).native().data();
  p /= path("c");
  p._M_append("d");
  EXPECT_EQ(state(p), "[a/" + kLong1 + "/c/d] M a:F@0 " + kLong1 + ":F@2 c:F@23 d:F@25");
  // Moved into each grown block, never rebuilt from the text.
  EXPECT_EQ((*++p.begin()).native().data(), kept);
}

TEST(Append, ReservesTheBlockOnceGrowingItByAtLeastHalf) {
  const struct {
    std::string text;
    int block;  // capacity of the block the path starts with; 0: as split
    std::string arg;
    int capacity;
  } cases[] = {
      {"a/b", 0, "c", 3},          // max(3, 2 * 1.5)
      {names(10), 0, "x", 15},     // max(11, 10 * 1.5)
      {"a/", 0, "b", 3},           // counts the empty name it replaces
      {"x", 0, "y", 2},            // a first block is sized exactly
      {"x", 10, "y/z", 10},        // an empty block is reused
      {"a/b", 10, "c/d", 10},
      {names(4), 0, "x/y/z", 7},   // max(7, 4 * 1.5)
      {"x", 0, names(64), 65},     // batches of 64 still reserve once
      {"x", 0, names(65), 66},
      {"x", 0, names(1000), 1001},
      {names(10), 0, names(64), 74},
      {names(40), 0, names(10), 60},
  };
  for (const Form& form : kForms) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.text + " " + form.name + " " + c.arg);
      path p = c.block ? with_capacity(c.text, c.block) : path(c.text);
      form.apply(p, c.arg);
      EXPECT_EQ(capacity(p), c.capacity);
      EXPECT_EQ(state(p), state(path(p.native())));
    }
  }
}

TEST(AppendAllocation, ReservesTheTextAndTheBlockOnceEach) {
  const std::string text = kLong1 + "/y";
  path p{std::string_view(text)};
  const path z("z");
  AllocationCount grow;
  p /= z;
  EXPECT_EQ(grow.count(), 2) << "the text and the block, once each";

  path roomy = with_capacity("a/b", 10);
  text_of(roomy).reserve(100);
  const path three("c/d/e");
  const path long_name(kLong2);
  AllocationCount none;
  roomy /= three;
  roomy._M_append("f/g");
  EXPECT_EQ(none.count(), 0);
  AllocationCount one;
  roomy /= long_name;
  EXPECT_EQ(one.count(), 1) << "only the long name's own string";
}

TEST(Append, GivesTheResultOfASeparateCopyWhenReadingItself) {
  const SelfCase cases[] = {
      {"a", [](path& p) { p /= std::as_const(p); }, "[a/a] M a:F@0 a:F@2"},
      {"a/b", [](path& p) { p /= std::as_const(p); }, "[a/b/a/b] M a:F@0 b:F@2 a:F@4 b:F@6"},
      {"a/", [](path& p) { p /= std::as_const(p); }, "[a/a/] M a:F@0 a:F@2 :F@4"},
      {"/a", [](path& p) { p /= std::as_const(p); }, "[/a] M /:R@0 a:F@1"},
      {"a/b", [](path& p) { p /= *p.begin(); }, "[a/b/a] M a:F@0 b:F@2 a:F@4"},
      {"/a", [](path& p) { p /= *p.begin(); }, "[/] R"},
      {"a/b", [](path& p) { p._M_append(std::string_view(p.native()).substr(1)); },
       "[/b] M /:R@0 b:F@1"},
      {"a/b", [](path& p) { p._M_append(std::string_view(p.native()).substr(2)); },
       "[a/b/b] M a:F@0 b:F@2 b:F@4"},
      {"a/", [](path& p) { p._M_append(p.native()); }, "[a/a/] M a:F@0 a:F@2 :F@4"},
  };
  expect_each_self_change_gives(cases);
  // Long enough that the text moves to a new buffer while it is read.
  const std::string text = kLong1 + "/" + kLong2;
  path by_path(text), by_text(text), by_tail(text);
  by_path /= std::as_const(by_path);
  by_text._M_append(by_text.native());
  by_tail._M_append(std::string_view(by_tail.native()).substr(kLong1.size() + 1));
  EXPECT_EQ(state(by_path), state(path(text + "/" + text)));
  EXPECT_EQ(state(by_text), state(path(text + "/" + text)));
  EXPECT_EQ(state(by_tail), state(path(text + "/" + kLong2)));
}

TEST(Append, Handles100000Components) {
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.name);
    path p("root");
    form.apply(p, names(100000));
    EXPECT_EQ(raw(p).size, 100001);
    EXPECT_EQ(capacity(p), 100001);
    EXPECT_EQ(invariant_violation(p), "");
  }
}

TEST(AppendText, RefusesAResultLongerThanTheStringMaximumAndChangesNothing) {
  for (const char* text : {"q", "a/q", "/q"})
    expect_too_long_changes_nothing(
        text, [](path& p, std::string_view s) { p /= s; },
        [](path& p, std::string_view s) { p._M_append(s); });
}

TEST(AppendFailure, LeavesThePathExactlyAsItWas) {
  const FailureCase cases[] = {
      {"a/", kLong1 + "/" + kLong2},  // the dropped empty name comes back
      {kLong1, kLong2},
      {kLong1, kLong2 + "/"},
      {"//", kLong1},
      {"/x/" + kLong1 + "/", kLong2 + "/" + kLong1 + "/"},
      {kLong1 + "/" + kLong2, ""},
      {"a", names(70) + "/" + kLong1 + "/" + kLong2},
      {names(3), kLong1 + "//" + kLong2 + "//"},
  };
  expect_each_form_unchanged_on_failure(kForms, cases);
  for (const std::string& text : {kLong1, "a/" + kLong1, kLong1 + "/"}) {
    SCOPED_TRACE(text + " /= itself");
    EXPECT_GE(expect_unchanged_on_failure([&] { return path(text); },
                                          [](path& p) { p /= std::as_const(p); }),
              1);
  }
}

}  // namespace
