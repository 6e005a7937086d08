// Fuzz target: the input drives a sequence of every mutating operation and
// query over four paths (self-append, self-concat, views into a path's own
// text, copies between blocks of different sizes), failing a chosen
// allocation of about half the steps. After each step every path must be
// valid and agree with its text, a failed step must have left what its
// operation promises, and the relations between the paths must hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "check.h"
#include "support/alloc.h"
#include "support/failed_replace.h"
#include "support/raw_state.h"

namespace {

using std::filesystem::filesystem_error;
using namespace vornel::fuzz;
using vornel::test::state;

constexpr int kPaths = 4;
constexpr int kMaxSteps = 48;
constexpr std::size_t kMaxLength = 1 << 13;  // beyond this, growing steps are skipped

enum Op {
  kAssignText, kAssignRepeated, kCopyAssign, kMoveFromCopy, kSwap,
  kAppendPath, kAppendText, kAppendOwnView,
  kConcatPath, kConcatText, kConcatOwnView,
  kRemoveFilename, kReplaceFilename, kReplaceExtension, kReplaceExtensionText,
  kResplit, kNormal, kRelative, kProximate, kPart, kClear, kRebuild, kError,
  kOpCount
};

const char* const kOpNames[kOpCount] = {
    "assign text", "assign repeated text", "copy-assign", "move from a copy", "swap",
    "operator/=", "_M_append", "_M_append of its own text",
    "operator+=", "_M_concat", "_M_concat of its own text",
    "remove_filename", "replace_filename", "replace_extension", "replace_extension(text)",
    "_M_split_cmpts", "lexically_normal", "lexically_relative", "lexically_proximate",
    "decomposition", "clear", "rebuild from elements", "filesystem_error",
};

struct Step {
  Op op;
  int i, j, k;
  std::string text;
  std::size_t offset, length;
  int repeat, part;
  long fail_at;  // 0: no allocation fails
};

Step read_step(FuzzedDataProvider& in) {
  Step s;
  s.op = Op(in.ConsumeIntegralInRange<int>(0, kOpCount - 1));
  s.i = in.ConsumeIntegralInRange<int>(0, kPaths - 1);
  s.j = in.ConsumeIntegralInRange<int>(0, kPaths - 1);
  s.k = in.ConsumeIntegralInRange<int>(0, kPaths - 1);
  s.offset = in.ConsumeIntegral<std::uint16_t>();
  s.length = in.ConsumeIntegral<std::uint16_t>();
  s.repeat = in.ConsumeIntegralInRange<int>(1, 140);
  s.part = in.ConsumeIntegralInRange<int>(0, 7);
  const int f = in.ConsumeIntegralInRange<int>(0, 40);
  s.fail_at = f > 20 ? f - 20 : 0;
  s.text = in.ConsumeRandomLengthString(24);
  return s;
}

std::string_view own_view(const path& p, const Step& s) {
  const std::string_view text = p.native();
  return text.substr(std::min(s.offset, text.size()), s.length);
}

path part_of(const path& q, int part) {
  switch (part) {
    case 0: return q.root_name();
    case 1: return q.root_directory();
    case 2: return q.root_path();
    case 3: return q.relative_path();
    case 4: return q.parent_path();
    case 5: return q.filename();
    case 6: return q.stem();
    default: return q.extension();
  }
}

const std::error_code kCodes[] = {
    std::error_code(), std::make_error_code(std::errc::no_such_file_or_directory),
    std::error_code(84, std::generic_category())};

// Steps that would make a path longer than kMaxLength do nothing.
bool too_long(const path* paths, const Step& s) {
  const std::size_t p = paths[s.i].native().size(), q = paths[s.j].native().size();
  switch (s.op) {
    case kAppendPath: case kConcatPath: case kReplaceFilename: return p + q > kMaxLength;
    default: return p + s.text.size() * s.repeat > kMaxLength;
  }
}

// Runs one step on paths[s.i]; `arg` is a copy of paths[s.j] made before any
// allocation can fail, for the operations whose argument must not change
// during the call.
void run(const Step& s, path* paths, const path& arg, std::optional<filesystem_error>& error) {
  path& p = paths[s.i];
  const path& q = paths[s.j];
  switch (s.op) {
    case kAssignText: p = s.text; break;
    case kAssignRepeated: {
      std::string text;
      for (int r = 0; r < s.repeat; ++r) (text += s.text) += '/';
      p = text;
      break;
    }
    case kCopyAssign: p = q; break;
    case kMoveFromCopy: p = path(q); break;
    case kSwap: p.swap(paths[s.j]); break;
    case kAppendPath: p /= q; break;
    case kAppendText: p /= std::string_view(s.text); break;
    case kAppendOwnView: p._M_append(own_view(p, s)); break;
    case kConcatPath: p += q; break;
    case kConcatText: p += std::string_view(s.text); break;
    case kConcatOwnView: p._M_concat(own_view(p, s)); break;
    case kRemoveFilename: p.remove_filename(); break;
    case kReplaceFilename: p.replace_filename(arg); break;
    case kReplaceExtension:
    case kReplaceExtensionText: p.replace_extension(arg); break;
    case kResplit: p._M_split_cmpts(); break;
    case kNormal: p = q.lexically_normal(); break;
    case kRelative: p = q.lexically_relative(paths[s.k]); break;
    case kProximate: p = q.lexically_proximate(paths[s.k]); break;
    case kPart: p = part_of(q, s.part); break;
    case kClear: p.clear(); break;
    case kRebuild: {
      path rebuilt;
      for (const path& element : q) rebuilt /= element;
      p = std::move(rebuilt);
      break;
    }
    case kError: {
      const std::error_code& ec = kCodes[s.part % 3];
      if (s.part < 3) error.emplace(s.text, ec);
      else if (s.part < 6) error.emplace(s.text, p, ec);
      else error.emplace(s.text, p, q, ec);
      const filesystem_error copy(*error);
      *error = copy;
      break;
    }
    case kOpCount: break;
  }
}

bool never_allocates(Op op) { return op == kSwap || op == kRemoveFilename || op == kClear; }

// The states a failed step may leave paths[s.i] in.
std::vector<std::string> allowed_after_failure(const Step& s, const path& p, const path& arg) {
  switch (s.op) {
    case kReplaceFilename:
      return vornel::test::states_after_failed_replace_filename(p);
    case kReplaceExtension:
    case kReplaceExtensionText:
      return vornel::test::states_after_failed_replace_extension(p, arg);
    default:
      return {state(p)};
  }
}

void check_error(const filesystem_error& e, const Step& s, const path& p, const path& q) {
  const std::error_code& ec = kCodes[s.part % 3];
  std::string base = s.text + ": " + ec.message();
  base.resize(std::min(base.size(), base.find('\0')));
  std::string want = "filesystem error: " + base;
  if (s.part >= 3) want += " [" + p.native() + "]";
  if (s.part >= 6) want += " [" + q.native() + "]";
  want.resize(std::min(want.size(), want.find('\0')));
  if (e.what() != want) fail("filesystem_error::what() is '" + printable(e.what()) + "', want '" +
                             printable(want) + "'");
  if (e.code() != ec) fail("filesystem_error::code()");
  const std::string p1 = s.part >= 3 ? state(p) : state(path());
  const std::string p2 = s.part >= 6 ? state(q) : state(path());
  if (state(e.path1()) != p1 || state(e.path2()) != p2)
    fail("filesystem_error paths are " + printable(state(e.path1())) + " and " +
         printable(state(e.path2())));
}

// Runs a step, with its chosen allocation made to fail, and checks the
// guarantee of the operation against an undisturbed run of the same step.
void apply(const Step& s, path* paths) {
  if (too_long(paths, s)) return;
  const std::string where = std::string(kOpNames[s.op]) + " on path " + std::to_string(s.i);
  const path arg = s.op == kReplaceExtensionText ? path(s.text) : paths[s.j];

  std::optional<path> expected[kPaths];
  if (s.fail_at) {
    path undisturbed[kPaths];
    for (int x = 0; x < kPaths; ++x) undisturbed[x] = paths[x];
    std::optional<filesystem_error> error;
    run(s, undisturbed, arg, error);
    for (int x = 0; x < kPaths; ++x) expected[x] = undisturbed[x];
  }
  std::string before[kPaths];
  for (int x = 0; x < kPaths; ++x) before[x] = state(paths[x]);
  const std::vector<std::string> allowed = allowed_after_failure(s, paths[s.i], arg);
  const path p_before = paths[s.i], q_before = paths[s.j];

  std::optional<filesystem_error> error;
  vornel::test::InjectedFailure failure(s.fail_at);
  const bool fired = failure.run([&] { run(s, paths, arg, error); });
  if (failure.threw() != fired) fail(where + ": an injected failure did not reach the caller");
  if (fired && never_allocates(s.op)) fail(where + " allocated");
  for (int x = 0; x < kPaths; ++x) check_valid(paths[x], where.c_str());

  if (!fired) {
    for (int x = 0; x < kPaths; ++x)
      if (expected[x] && state(paths[x]) != state(*expected[x]))
        fail(where + ": an unfired countdown changed the result of path " + std::to_string(x));
    if (error) check_error(*error, s, p_before, q_before);
    return;
  }
  for (int x = 0; x < kPaths; ++x)
    if (x != s.i && state(paths[x]) != before[x])
      fail(where + ": a failure changed path " + std::to_string(x));
  const std::string got = state(paths[s.i]);
  if (s.op == kResplit) {
    if (paths[s.i].native() != p_before.native()) fail(where + ": a failed split changed the text");
    paths[s.i]._M_split_cmpts();
  } else if (std::find(allowed.begin(), allowed.end(), got) == allowed.end()) {
    fail(where + ": a failure left " + printable(got) + ", want " + printable(allowed[0]));
  }
}

bool climbs(const path& p) {
  return std::any_of(p.begin(), p.end(), [](const path& e) { return e.native() == ".."; });
}

// The place a path names, from its normal form: "." for the empty path, and a
// trailing separator dropped.
std::string place(const path& p) {
  std::string text = p.lexically_normal().native();
  if (text.empty()) return ".";
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// The relations that hold between any two paths, and for each path alone.
void check_relations(const path* paths) {
  for (int a = 0; a < kPaths; ++a) {
    const path& p = paths[a];
    const std::string at = "path " + std::to_string(a) + " '" + printable(p.native()) + "'";
    check_agrees_with_split(p, at.c_str());
    if (p.compare(p.native()) != 0 || p.compare(path(p.native())) != 0)
      fail(at + " differs from its own text");
    if (hash_value(p) != hash_value(path(p.native())))
      fail(at + " hashes unlike the path split from its text");

    const path normal = p.lexically_normal();
    check_valid(normal, "lexically_normal");
    if (normal.lexically_normal().native() != normal.native())
      fail(at + ": its normal form '" + printable(normal.native()) + "' is not normal");
    if (normal.native().find("//") != std::string::npos)
      fail(at + ": its normal form '" + printable(normal.native()) + "' doubles a separator");

    if (p.has_root_name() == p.root_name().empty() ||
        p.has_root_directory() == p.root_directory().empty() ||
        p.has_root_path() == p.root_path().empty() ||
        p.has_relative_path() == p.relative_path().empty() ||
        p.has_parent_path() == p.parent_path().empty() ||
        p.has_filename() == p.filename().empty())
      fail(at + ": a has_ query disagrees with its part");
    if (p.compare(p.root_path() / p.relative_path()) != 0)
      fail(at + " is not its root path joined with its relative path");
    if (p.has_filename() && p.compare(p.parent_path() / p.filename()) != 0)
      fail(at + " is not its parent path joined with its filename");
    path rebuilt;
    for (const path& element : p) rebuilt /= element;
    if (p.compare(rebuilt) != 0) fail(at + " is not the join of its elements");

    for (int b = 0; b < kPaths; ++b) {
      const path& q = paths[b];
      const std::string pair = at + " against '" + printable(q.native()) + "'";
      const int c = p.compare(q);
      if (sign(c) != sign(p.compare(q.native())))
        fail(pair + ": comparing with the path and with its text disagree");
      if (sign(c) != -sign(q.compare(p))) fail(pair + ": comparison is not antisymmetric");
      if (c == 0 && hash_value(p) != hash_value(q)) fail(pair + ": equal paths hash apart");
      if (!p.empty() && p.lexically_proximate(q).empty())
        fail(pair + ": lexically_proximate is empty");
      const path relative = p.lexically_relative(q);
      check_valid(relative, "lexically_relative");
      if (!relative.empty() && !climbs(p) && !climbs(q) && place(q / relative) != place(p))
        fail(pair + ": the relative form '" + printable(relative.native()) + "' leads elsewhere");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vornel::fuzz::require_own_bindings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  path paths[kPaths];
  for (int step = 0; step < kMaxSteps && in.remaining_bytes() > 0; ++step) {
    apply(read_step(in), paths);
    check_relations(paths);
  }
  return 0;
}
