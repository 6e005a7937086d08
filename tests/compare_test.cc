// Ordering paths against paths and against unparsed text, the hash that must
// agree with that order, and the operators and stream output built on them.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fs_path>
#include <random>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "support/alloc.h"

namespace {

using std::filesystem::path;
using vornel::test::AllocationCount;

int sign(int v) { return (v > 0) - (v < 0); }

// What compare returns when two byte strings first differ at a common index.
int differing(std::string_view l, std::string_view r) {
  return std::memcmp(l.data(), r.data(), std::min(l.size(), r.size()));
}

struct Case {
  const char* lhs;
  const char* rhs;
  int expected;
};

TEST(Compare, ReturnsTheExactOrderOfTwoPaths) {
  const Case cases[] = {
      {"", "", 0},
      {"", "a", -1},
      {"a", "", 1},
      {"a//b", "a/b", 0},
      {"/", "///", 0},
      {"//a", "/a", 0},
      {"a/b//", "a/b/", 0},
      {"", "/", -1},
      {"/", "", 1},
      {"a/", "a", 1},
      {"a", "a/", -1},
      {"a/b", "a/b/c", -3},
      {"a/b/c", "a/b", 3},
      {"/a", "/a/b", -2},
      {"/", "/a", -1},
      {"/a/b", "/", 1},
      {"a", "a/b", -1},
      {"a/b", "a", 1},
      {"ab", "abcd", -2},
      {"a/x", "a/xyz", -2},
      {"a/b", "/a/b", -1},
      {"/a", "a", 1},
      {"/..", "/.", 1},
      {"a/b/c/", "a/b/c", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lhs) + " vs " + c.rhs);
    EXPECT_EQ(path(c.lhs).compare(path(c.rhs)), c.expected);
    if (c.expected == 0) { EXPECT_EQ(hash_value(path(c.lhs)), hash_value(path(c.rhs))); }
  }
}

TEST(Compare, ReturnsMemcmpsOwnValueWhereBytesDiffer) {
  // Each case names the first pair of elements that differ.
  const struct {
    const char *lhs, *rhs, *lhs_element, *rhs_element;
  } cases[] = {
      {"abc", "abd", "abc", "abd"},          {"b", "a", "b", "a"},
      {"x/a", "a", "x", "a"},                {"a", "x/a", "a", "x"},
      {"a/b", "a/c", "b", "c"},              {"/a/zz", "/a/b/c", "zz", "b"},
      {"\xff", "a", "\xff", "a"},            {"a/\x80", "a/\x7f", "\x80", "\x7f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lhs) + " vs " + c.rhs);
    const int expected = differing(c.lhs_element, c.rhs_element);
    ASSERT_NE(expected, 0);
    EXPECT_EQ(path(c.lhs).compare(path(c.rhs)), expected);
    EXPECT_EQ(path(c.lhs).compare(c.rhs), expected);
  }
}

TEST(Compare, ComparesEmbeddedNulsAsBytes) {
  const path nul_b(std::string("a\0b", 3));
  EXPECT_LT(nul_b.compare(path(std::string("a\0c", 3))), 0);
  EXPECT_LT(nul_b.compare(std::string_view("a\0c", 3)), 0);
  EXPECT_EQ(nul_b.compare(std::string_view("a\0b", 3)), 0);
  EXPECT_EQ(path("a").compare(path(std::string("a\0", 2))), -1);
}

TEST(CompareText, ReturnsTheExactOrderAgainstUnparsedText) {
  const Case cases[] = {
      {"", "", 0},
      {"", "/", -1},
      {"", "a", -1},
      {"a", "", 1},
      {"a//b", "a/b", 0},
      {"a/b", "a//b", 0},
      {"/", "//", 0},
      {"///", "/", 0},
      {"/a", "a", 1},
      {"a", "/a", -1},
      {"a/b", "a", 2},
      {"a", "a/b", -1},
      {"a", "a/", -1},
      {"a/", "a", 2},
      {"a", "a", 0},
      {"a", "a//", -1},
      {"/a", "/", 1},
      {"/", "/a", -1},
      {"/", "", 1},
      {"a/b/c", "a/b/c/", -4},
      {"a/b/c", "a//b///c", 0},
      {"ab", "abcd", -2},
      {"//a//b", "/a/b", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lhs) + " vs text " + c.rhs);
    EXPECT_EQ(path(c.lhs).compare(std::string_view(c.rhs)), c.expected);
    EXPECT_EQ(path(c.lhs).compare(c.rhs), c.expected) << "through const char*";
    EXPECT_EQ(path(c.lhs).compare(std::string(c.rhs)), c.expected);
    if (c.expected == 0) { EXPECT_EQ(hash_value(path(c.lhs)), hash_value(path(c.rhs))); }
  }
}

// Text mapped so that every byte past `readable` faults: a comparison that
// reads beyond the first difference crashes the test.
class GuardedText {
 public:
  explicit GuardedText(std::string_view readable) {
    page_ = std::size_t(sysconf(_SC_PAGESIZE));
    base_ = static_cast<char*>(mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (base_ == MAP_FAILED) return;
    start_ = base_ + page_ - readable.size();
    std::memcpy(start_, readable.data(), readable.size());
    mprotect(base_ + page_, page_, PROT_NONE);
  }
  ~GuardedText() {
    if (base_ != MAP_FAILED) munmap(base_, 2 * page_);
  }
  bool ok() const { return base_ != MAP_FAILED; }
  // A view that claims `extra` more bytes than can be read.
  std::string_view view(std::size_t extra) const {
    return {start_, std::size_t(base_ + page_ - start_) + extra};
  }

 private:
  std::size_t page_ = 0;
  char* base_ = static_cast<char*>(MAP_FAILED);
  char* start_ = nullptr;
};

TEST(CompareText, ParsesTheTextOnlyUpToTheFirstDifference) {
  const GuardedText text("a/y/");
  ASSERT_TRUE(text.ok());
  EXPECT_LT(path("a/x").compare(text.view(4096)), 0);
  EXPECT_GT(path("a/z/q").compare(text.view(4096)), 0);
  EXPECT_LT(path("a").compare(text.view(100)), 0) << "a single filename stops early";
  const GuardedText root("/b/");
  ASSERT_TRUE(root.ok());
  EXPECT_LT(path("a").compare(root.view(4096)), 0) << "decided by the root alone";
  EXPECT_LT(path("/a/c").compare(root.view(4096)), 0);
}

TEST(CompareText, ClampsAHugeLengthDifference) {
  // Untouched anonymous pages read as zeros and cost no memory.
  const std::size_t huge = (std::size_t(1) << 31) + 4096;
  void* zeros = mmap(nullptr, huge, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                     -1, 0);
  if (zeros == MAP_FAILED) GTEST_SKIP() << "cannot map 2 GiB";
  const std::string_view text(static_cast<const char*>(zeros), huge);
  EXPECT_EQ(path().compare(text), INT32_MIN);
  EXPECT_EQ(path(std::string(1, '\0')).compare(text), INT32_MIN);
  EXPECT_EQ(path(std::string("\0/", 2)).compare(text), INT32_MIN) << "component against text";
  munmap(zeros, huge);
}

TEST(CompareOperators, FollowTheSignOfCompare) {
  const path a("a"), b("a//b"), b2("a/b");
  EXPECT_TRUE(b == b2);
  EXPECT_FALSE(b != b2);
  EXPECT_TRUE(a < b && a <= b && b > a && b >= a && a != b);
  EXPECT_TRUE(b <= b2 && b >= b2);
  EXPECT_FALSE(b < b2 || b > b2);
  EXPECT_TRUE(path("/") == path("///"));
}

// Hashes the library gave when these values were recorded: a change of the
// elements hashed, the seed or the combining step changes them.
constexpr std::size_t kHashOfRoot = 0xb28bf77e6fc20e43;
constexpr std::size_t kHashOfRootA = 0xa6654b1edcaf7537;

TEST(Hash, CombinesOneByteHashPerElement) {
  EXPECT_EQ(hash_value(path()), 0u);
  EXPECT_EQ(hash_value(path("a")), 0x454ddee526f96724u);
  EXPECT_EQ(hash_value(path("a/b")), 0xbe795e771cbc04dbu);
  EXPECT_EQ(hash_value(path("a/")), 0xff441a76e26ca1d4u);
  EXPECT_EQ(hash_value(path("/a/b/")), 0x9e22c1179cb35ef0u);
  EXPECT_EQ(hash_value(path("//x")), 0x355a06088fef6bdbu);
  EXPECT_EQ(hash_value(path(std::string("\0\xff", 2))), 0x5610abd3aecc8fc5u);
}

TEST(Hash, HashesARootDirectoryAsOneSeparatorWhateverItsLength) {
  EXPECT_EQ(hash_value(path("/")), kHashOfRoot);
  EXPECT_EQ(hash_value(path("///")), kHashOfRoot);
  EXPECT_EQ(hash_value(path(std::string(5000, '/'))), hash_value(path("/")));
  std::unordered_set<path> set{path("/"), path("//"), path("///")};
  EXPECT_EQ(set.size(), 1u);
  EXPECT_EQ(set.count(path("////")), 1u);
}

TEST(Hash, StdHashAgreesWithHashValue) {
  for (const char* text : {"", "/", "a", "a/b/", "//x//y"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(std::hash<path>{}(path(text)), hash_value(path(text)));
  }
}

TEST(StreamOutput, QuotesTheTextAndEscapesQuotesAndBackslashes) {
  std::ostringstream os;
  os << path("a b/\"c\"\\d") << '|' << path();
  EXPECT_EQ(os.str(), "\"a b/\\\"c\\\"\\\\d\"|\"\"");
}

// Random texts over a small alphabet, so that many differ only in their
// separators and many share prefixes.
std::vector<std::string> random_texts(int count, unsigned seed) {
  std::mt19937 gen(seed);
  const char alphabet[] = {'a', 'b', '/', '/', '.'};
  std::vector<std::string> out{"", "/", "//", "a", "a/", "/a", "."};
  while (int(out.size()) < count) {
    std::string text(gen() % 8, ' ');
    for (char& ch : text) ch = alphabet[gen() % sizeof alphabet];
    out.push_back(text);
  }
  return out;
}

// The order compare must give, from the text alone: no root before root,
// then the elements after the root, byte by byte, a prefix first.
int model_order(const std::string& l, const std::string& r) {
  auto key = [](const std::string& t) {
    std::vector<std::string> elements;
    std::size_t i = 0;
    while (i < t.size()) {
      const std::size_t j = std::min(t.find('/', i), t.size());
      if (j > i) elements.push_back(t.substr(i, j - i));
      i = j + 1;
    }
    if (!t.empty() && t.back() == '/' && !elements.empty()) elements.push_back("");
    if (t.empty()) elements.push_back("");
    return std::make_pair(!t.empty() && t[0] == '/', elements);
  };
  const auto kl = key(l), kr = key(r);
  return kl < kr ? -1 : kr < kl ? 1 : 0;
}

TEST(CompareSweep, PathAndTextComparisonAgreeInSignWithTheModel) {
  const auto texts = random_texts(250, 7);
  std::vector<path> paths(texts.begin(), texts.end());
  for (std::size_t i = 0; i < texts.size(); ++i)
    for (std::size_t j = 0; j < texts.size(); ++j) {
      const int by_path = paths[i].compare(paths[j]);
      const int by_text = paths[i].compare(texts[j]);
      const int model = model_order(texts[i], texts[j]);
      if (sign(by_path) != model || sign(by_text) != model)
        ADD_FAILURE() << '"' << texts[i] << "\" vs \"" << texts[j] << "\": path " << by_path
                      << ", text " << by_text << ", model " << model;
    }
}

// Paths split from random texts, and the same texts reached by other roads:
// appended to "//" (which keeps the whole separator run as the root) and
// normalised (which can leave a root directory as the only component).
std::vector<path> sweep_paths(int count, unsigned seed) {
  std::vector<path> paths;
  for (const std::string& text : random_texts(count, seed)) {
    paths.emplace_back(text);
    path appended("//");
    appended /= path(text);
    paths.push_back(appended);
    paths.push_back(path(text).lexically_normal());
  }
  return paths;
}

TEST(CompareSweep, IsATotalOrderUnderWhichEqualPathsHashEqually) {
  const std::vector<path> paths = sweep_paths(60, 11);
  const std::size_t n = paths.size();
  std::vector<int> order(n * n);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) order[i * n + j] = sign(paths[i].compare(paths[j]));
  long equal_pairs = 0;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      const int ij = order[i * n + j];
      const std::string pair = paths[i].native() + " vs " + paths[j].native();
      if (ij != -order[j * n + i]) ADD_FAILURE() << "not antisymmetric: " << pair;
      if (ij != sign(paths[i].compare(paths[j].native())))
        ADD_FAILURE() << "path and text disagree: " << pair;
      if (ij == 0) {
        ++equal_pairs;
        if (hash_value(paths[i]) != hash_value(paths[j]))
          ADD_FAILURE() << "equal but hashed apart: " << pair;
      }
      for (std::size_t k = 0; k < n; ++k)
        if (ij <= 0 && order[j * n + k] <= 0 && order[i * n + k] > 0)
          ADD_FAILURE() << "not transitive: " << pair << " vs " << paths[k].native();
    }
  EXPECT_GT(equal_pairs, long(2 * n)) << "the sweep must meet equal paths of different texts";
}

TEST(Hash, AgreesWithCompareForPathsBuiltByAppendingAndNormalising) {
  path appended("//");
  appended /= path("a");
  ASSERT_EQ(appended.begin()->native(), "//") << "a root component of two separators";
  path rooted("/a/b/../..");
  rooted = rooted.lexically_normal();
  ASSERT_EQ(rooted._M_type(), path::_Type::_Multi);
  const struct {
    path lhs, rhs;
  } pairs[] = {
      {appended, path("/a")},
      {appended, path("//a")},
      {rooted, path("/")},
      {rooted, path("///")},
  };
  for (const auto& c : pairs) {
    SCOPED_TRACE(c.lhs.native() + " vs " + c.rhs.native());
    EXPECT_EQ(c.lhs.compare(c.rhs), 0);
    EXPECT_EQ(hash_value(c.lhs), hash_value(c.rhs));
  }
  EXPECT_EQ(hash_value(appended), kHashOfRootA);
}

// Paths reached by random sequences of edits from names, dots and runs of
// separators, so that many are equal by different histories.
std::vector<path> edited_paths(int count, unsigned seed) {
  const char* const parts[] = {"", "/", "//", "a", "b/", ".", "..", "a//b", "/a/b/../.."};
  std::mt19937 gen(seed);
  auto part = [&] { return path(parts[gen() % std::size(parts)]); };
  std::vector<path> out;
  path p;
  while (int(out.size()) < count) {
    if (p.native().size() > 24) p = part();
    const path arg = out.empty() || gen() % 2 ? part() : out[gen() % out.size()];
    switch (gen() % 5) {
      case 0: p /= arg; break;
      case 1: p += arg; break;
      case 2: p += arg.native(); break;
      case 3: p.replace_filename(arg); break;
      default: p = p.lexically_normal(); break;
    }
    out.push_back(p);
  }
  return out;
}

TEST(HashProperty, PathsBuiltByEditsEqualTheirSplitAndHashAlikeWhenEqual) {
  const std::vector<path> paths = edited_paths(3000, 17);
  std::vector<std::size_t> hashes;
  for (const path& p : paths) {
    hashes.push_back(hash_value(p));
    const path split(p.native());
    path joined;
    for (const path& element : p) joined /= element;
    if (p != split || hashes.back() != hash_value(split))
      ADD_FAILURE() << "unlike its split text: " << p.native();
    if (p != p.root_path() / p.relative_path())
      ADD_FAILURE() << "not its root path joined with its relative path: " << p.native();
    if (p != joined) ADD_FAILURE() << "not the join of its elements: " << p.native();
  }
  long equal_pairs = 0;
  for (std::size_t i = 0; i < paths.size(); ++i)
    for (std::size_t j = i + 1; j < paths.size(); ++j)
      if (paths[i] == paths[j] && (++equal_pairs, hashes[i] != hashes[j]))
        ADD_FAILURE() << "equal but hashed apart: " << paths[i].native() << " vs "
                      << paths[j].native();
  EXPECT_GT(equal_pairs, 3000) << "the edits must reach equal paths by different roads";
}

TEST(CompareAllocation, ComparingAndHashingAllocateNothing) {
  const std::string long_name(100, 'x');
  const std::vector<path> paths{path(), path("/"), path("a"), path(long_name),
                                path("/" + long_name + "/" + long_name + "/"),
                                path("a//b/" + long_name), path("////")};
  const std::string text = long_name + "//" + long_name;
  AllocationCount count;
  long sum = 0;
  for (const path& p : paths) {
    sum += hash_value(p) & 1;
    for (const path& q : paths) {
      sum += p.compare(q);
      sum += p.compare(q.native());
      sum += p.compare(text);
    }
  }
  EXPECT_EQ(count.count(), 0) << sum;
}

}  // namespace
