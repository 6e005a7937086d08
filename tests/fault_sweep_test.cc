// Fault injection over every operation that allocates: each allocation of each
// call, over a corpus of a few hundred inputs, fails in turn, and what the
// failure leaves behind is checked against the guarantee the operation gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fs_path>
#include <locale>
#include <new>
#include <random>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "support/failed_replace.h"
#include "support/raw_state.h"
#include "testing/names.h"
#include "testing/sweep.h"

namespace {

using std::filesystem::filesystem_error;
using std::filesystem::path;
using vornel::test::describe;
using vornel::test::InjectedFailure;
using vornel::test::invariant_violation;
using vornel::test::names;
using vornel::test::printable;
using vornel::test::state;
using vornel::test::sweep_allocation_failures;
using vornel::test::text_of;

// Hand-picked edge cases first, then texts drawn from a small alphabet that
// is rich in separators, dots, NULs and bytes that are not UTF-8.
std::vector<std::string> corpus() {
  std::vector<std::string> texts = {
      "", "/", "//", "///", "a", ".", "..", "...", "a/", "/a", "/a/", "//a",
      "//a//b", "a//b", "a/b//", "./a", "a/b", "a/b/c", "/a/b/", "a/.", "a/..",
      "../a", "a/b/../..", "/..", "a/b.txt", "b.tar.gz", ".profile", "a/.x",
      "dir/", "a.", "a/b.", std::string("a\0b/\0", 5), "\xff\xfe/\x80.\x81",
      std::string(16, 's'), std::string(40, 'n') + "/" + std::string(20, 'm') + ".ext",
      "/" + std::string(30, 'r') + "/", names(5, 17), "/" + names(4, 16) + "/",
      names(63), names(64), names(65), names(100) + "/", "/" + names(130),
      names(70, 1, "//"),
  };
  std::mt19937 rng(20240611);
  const char alphabet[] = {'a', 'b', '.', '/', '/', '\0', '\xff'};
  std::uniform_int_distribution<int> length(0, 24), pick(0, sizeof alphabet - 1),
      coin(0, 9);
  while (texts.size() < 220) {
    std::string text;
    for (int n = length(rng); n > 0; --n)
      text += coin(rng) == 0 ? std::string(18, 'w') : std::string(1, alphabet[pick(rng)]);
    texts.push_back(text);
  }
  return texts;
}

// One case: the path an operation changes, the path or text it is given, and
// whether the target carries a spare block left by an earlier, longer split.
struct Input {
  std::string target;
  std::string arg;
  bool spare_block;
};

std::vector<Input> inputs() {
  const std::vector<std::string> texts = corpus();
  const std::string args[] = {"", "/", "b", ".x", "c/d/", "/e/f", "../b", names(65)};
  std::vector<Input> all;
  const std::size_t n = texts.size();
  for (std::size_t i = 0; i < n; ++i)
    all.push_back({texts[i], texts[(i * 37 + 11) % n], i % 3 == 0});
  for (std::size_t i = 0; i < 60; ++i)
    for (const std::string& arg : args) all.push_back({texts[i], arg, i % 2 == 1});
  return all;
}

path make_target(const Input& in) {
  if (!in.spare_block) return path(in.target);
  path p(names(9));
  text_of(p) = in.target;
  p._M_split_cmpts();
  return p;
}

// A view of the end of the path's own text, for appends that read the string
// they grow.
std::string_view own_tail(const path& p, const path& q) {
  const std::string_view text = p.native();
  return text.substr(q.native().size() % (text.size() + 1));
}

// What an operation promises when an allocation fails part-way.
enum class Guarantee {
  kUnchanged,           // exactly as before the call
  kFilenameRemoved,     // as remove_filename left it
  kExtensionCut,        // the extension cut, and possibly the dot added
};

struct Operation {
  const char* name;
  Guarantee guarantee;
  void (*run)(path& p, const path& q);
};

const Operation kChanging[] = {
    {"operator=", Guarantee::kUnchanged, [](path& p, const path& q) { p = q; }},
    {"operator= from text", Guarantee::kUnchanged,
     [](path& p, const path& q) { p = q.native(); }},
    {"operator/=", Guarantee::kUnchanged, [](path& p, const path& q) { p /= q; }},
    {"operator/= itself", Guarantee::kUnchanged,
     [](path& p, const path&) { p /= std::as_const(p); }},
    {"_M_append", Guarantee::kUnchanged,
     [](path& p, const path& q) { p._M_append(q.native()); }},
    {"_M_append of its own text", Guarantee::kUnchanged,
     [](path& p, const path& q) { p._M_append(own_tail(p, q)); }},
    {"operator+=", Guarantee::kUnchanged, [](path& p, const path& q) { p += q; }},
    {"operator+= itself", Guarantee::kUnchanged, [](path& p, const path&) { p += p; }},
    {"_M_concat", Guarantee::kUnchanged,
     [](path& p, const path& q) { p._M_concat(q.native()); }},
    {"_M_concat of its own text", Guarantee::kUnchanged,
     [](path& p, const path& q) { p._M_concat(own_tail(p, q)); }},
    {"replace_filename", Guarantee::kFilenameRemoved,
     [](path& p, const path& q) { p.replace_filename(q); }},
    {"replace_extension", Guarantee::kExtensionCut,
     [](path& p, const path& q) { p.replace_extension(q); }},
};

// Made once, before any allocation is made to fail.
const std::locale& utf8_locale() {
  static const std::locale loc = [] {
    try {
      return std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
      return std::locale::classic();
    }
  }();
  return loc;
}

// Operations that build a new value and must leave their operands untouched.
const Operation kDeriving[] = {
    {"copy construction", Guarantee::kUnchanged, [](path& p, const path&) { path r(p); }},
    {"construction from text", Guarantee::kUnchanged,
     [](path&, const path& q) { path r(q.native()); }},
    {"root_name", Guarantee::kUnchanged, [](path& p, const path&) { p.root_name(); }},
    {"root_directory", Guarantee::kUnchanged,
     [](path& p, const path&) { p.root_directory(); }},
    {"root_path", Guarantee::kUnchanged, [](path& p, const path&) { p.root_path(); }},
    {"relative_path", Guarantee::kUnchanged,
     [](path& p, const path&) { p.relative_path(); }},
    {"parent_path", Guarantee::kUnchanged, [](path& p, const path&) { p.parent_path(); }},
    {"filename", Guarantee::kUnchanged, [](path& p, const path&) { p.filename(); }},
    {"lexically_normal", Guarantee::kUnchanged,
     [](path& p, const path&) { p.lexically_normal(); }},
    {"lexically_relative", Guarantee::kUnchanged,
     [](path& p, const path& q) { p.lexically_relative(q); }},
    {"lexically_proximate", Guarantee::kUnchanged,
     [](path& p, const path& q) { p.lexically_proximate(q); }},
    {"filesystem_error without paths", Guarantee::kUnchanged,
     [](path&, const path& q) { filesystem_error e(q.native(), std::error_code()); }},
    {"filesystem_error with one path", Guarantee::kUnchanged,
     [](path& p, const path& q) {
       const std::error_code ec = std::make_error_code(std::errc::no_such_file_or_directory);
       filesystem_error e(q.native(), p, ec);
     }},
    {"filesystem_error with two paths and copies", Guarantee::kUnchanged,
     [](path& p, const path& q) {
       const filesystem_error e("cannot link", p, q, std::make_error_code(std::errc::file_exists));
       filesystem_error copy(e);
       copy = e;
     }},
    {"_S_convert_loc", Guarantee::kUnchanged,
     [](path& p, const path&) {
       for (const std::locale* loc : {&std::locale::classic(), &utf8_locale()}) {
         try {
           path::_S_convert_loc(p.native().data(), p.native().data() + p.native().size(), *loc);
         } catch (const filesystem_error&) {
           // Bytes the locale cannot decode: an answer, not a failure.
         }
       }
     }},
};

// The states a failed call may leave `p` in, computed before anything fails.
std::vector<std::string> allowed_after_failure(Guarantee g, const path& p, const path& q) {
  switch (g) {
    case Guarantee::kUnchanged:
      return {state(p)};
    case Guarantee::kFilenameRemoved:
      return vornel::test::states_after_failed_replace_filename(p);
    case Guarantee::kExtensionCut:
      return vornel::test::states_after_failed_replace_extension(p, q);
  }
  return {};
}

// Fails each allocation of one call in turn; returns the failures injected.
long sweep(const Operation& op, const Input& in) {
  path expected = make_target(in);
  op.run(expected, path(in.arg));
  const std::string want = state(expected);
  // Outside the attempts: a trace allocates what the leak check would count.
  SCOPED_TRACE(std::string(op.name) + " on '" + printable(in.target) + "' with '" +
               printable(in.arg) + "'");

  return sweep_allocation_failures([&](InjectedFailure& failure) {
    path p = make_target(in);
    const path q(in.arg);
    const std::string arg_before = state(q);
    const std::vector<std::string> allowed = allowed_after_failure(op.guarantee, p, q);
    const bool fired = failure.run([&] { op.run(p, q); });
    const std::string at = "allocation " + std::to_string(failure.k());
    EXPECT_EQ(invariant_violation(p), "") << at << ": " << printable(state(p));
    EXPECT_EQ(state(q), arg_before) << at << ": the argument is only read";
    const std::string got = state(p);
    if (!fired) {
      EXPECT_EQ(printable(got), printable(want)) << at;
    } else if (std::find(allowed.begin(), allowed.end(), got) == allowed.end()) {
      ADD_FAILURE() << at << " left " << printable(got) << ", expected "
                    << printable(allowed[0])
                    << (allowed.size() > 1 ? " or " + printable(allowed[1]) : "");
    }
  });
}

// Runs the sweep of each operation over every input and reports the count.
void sweep_all(const Operation* first, const Operation* last, const char* what) {
  const std::vector<Input> all = inputs();
  ASSERT_GE(all.size(), 200u);
  long injected = 0;
  for (const Operation* op = first; op != last && !testing::Test::HasFailure(); ++op)
    for (const Input& in : all) injected += sweep(*op, in);
  std::printf("fault sweep: %s: %ld injected failures over %zu inputs\n", what,
              injected, all.size());
  testing::Test::RecordProperty("injected_failures", std::to_string(injected));
  EXPECT_GT(injected, 0);
}

const Operation* changing(const char* name) {
  for (const Operation& op : kChanging)
    if (std::string(op.name) == name) return &op;
  return nullptr;
}

TEST(FaultSweep, CopyAppendAndConcatLeaveThePathExactlyAsItWas) {
  std::vector<Operation> ops;
  for (const Operation& op : kChanging)
    if (op.guarantee == Guarantee::kUnchanged) ops.push_back(op);
  sweep_all(ops.data(), ops.data() + ops.size(), "copy, append, concat");
}

TEST(FaultSweep, ReplaceFilenameKeepsWhatRemovingTheFilenameDid) {
  const Operation* op = changing("replace_filename");
  sweep_all(op, op + 1, "replace_filename");
}

TEST(FaultSweep, ReplaceExtensionKeepsTheCutExtensionAndAnyDotAlreadyAdded) {
  const Operation* op = changing("replace_extension");
  sweep_all(op, op + 1, "replace_extension");
}

TEST(FaultSweep, SplitLeavesTheTextAndAListThatSplitsAgain) {
  // Each target holds a text other than the one its list was split from.
  const std::vector<Input> all = inputs();
  long injected = 0;
  for (const Input& in : all) {
    if (testing::Test::HasFailure()) break;
    SCOPED_TRACE("split of '" + printable(in.arg) + "'");
    injected += sweep_allocation_failures([&](InjectedFailure& failure) {
      path p = make_target(in);
      text_of(p) = in.arg;
      if (!failure.run([&] { p._M_split_cmpts(); })) return;
      const std::string at = "allocation " + std::to_string(failure.k());
      EXPECT_EQ(p.native(), in.arg) << at;
      EXPECT_EQ(invariant_violation(p), "") << at;
      p._M_split_cmpts();
      EXPECT_EQ(describe(p), describe(path(in.arg))) << at;
    });
  }
  std::printf("fault sweep: _M_split_cmpts: %ld injected failures over %zu inputs\n",
              injected, all.size());
  EXPECT_GT(injected, 0);
}

TEST(FaultSweep, DerivedPathsErrorsAndConversionsLeaveTheirOperandsAndLeakNothing) {
  utf8_locale();
  sweep_all(std::begin(kDeriving), std::end(kDeriving), "derived paths, errors, conversions");
}

TEST(FaultSweep, RemoveFilenameClearMovesAndSwapsNeverAllocate) {
  for (const Input& in : inputs()) {
    SCOPED_TRACE(printable(in.target));
    path p = make_target(in);
    path q(in.arg);
    path r = make_target(in);
    vornel::test::AllocationCount count;
    p.remove_filename();
    path moved(std::move(q));
    q = std::move(p);
    p.swap(moved);
    r.clear();
    EXPECT_EQ(count.count(), 0);
  }
}

}  // namespace
