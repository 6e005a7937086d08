// Use from several threads at once: const operations on paths that threads
// share, changes to paths that each thread owns, and copies of one error that
// threads read and destroy while others still hold it. Run under
// ThreadSanitizer by scripts/reliability.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <fs_path>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "support/alloc.h"
#include "support/raw_state.h"

namespace {

using std::filesystem::filesystem_error;
using std::filesystem::path;
using vornel::test::describe;
using vornel::test::state;

constexpr int kThreads = 4;

const char* const kTexts[] = {
    "", "/", "//", "a", ".", "..", "a/", "/a", "//a//b", "a//b", "a/b/c", "/a/b/",
    "a/./b/../c/", "../..", "a/b.txt", ".profile", "/usr/lib/../include/x.h",
    "a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/s/t/u/v/w/x/y/z",
    "/a-long-directory-name/and-another-one/file.with.dots", "a/..//../b/",
};

std::vector<path> shared_paths() {
  std::vector<path> paths;
  for (const char* text : kTexts) paths.emplace_back(text);
  path appended("//");
  appended /= path("a/b");
  paths.push_back(appended);
  return paths;
}

// Everything the const operations say about p, and about p against q.
std::string summary(const path& p, const path& q) {
  std::string out = describe(p);
  auto add = [&out](const path& part) { out += '|' + state(part); };
  add(p.root_name());
  add(p.root_directory());
  add(p.root_path());
  add(p.relative_path());
  add(p.parent_path());
  add(p.filename());
  add(p.stem());
  add(p.extension());
  add(p.lexically_normal());
  add(p.lexically_relative(q));
  add(p.lexically_proximate(q));
  for (const path& element : p) add(element);
  const path copy(p);
  add(copy);
  path assigned("x/y/z/w");
  assigned = p;
  add(assigned);
  out += std::to_string(p.has_root_name()) + std::to_string(p.has_root_directory()) +
         std::to_string(p.has_root_path()) + std::to_string(p.has_relative_path()) +
         std::to_string(p.has_parent_path()) + std::to_string(p.has_filename()) +
         std::to_string(p.has_extension());
  out += ' ' + std::to_string(p.compare(q)) + ' ' + std::to_string(p.compare(q.native()));
  out += ' ' + std::to_string(hash_value(p)) + ' ' + std::to_string(std::hash<path>()(q));
  return out;
}

// Runs body(t) on kThreads threads, released together.
void on_threads(const std::function<void(int)>& body) {
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      body(t);
    });
  go = true;
  for (auto& thread : threads) thread.join();
}

TEST(Concurrency, ConstOperationsOnSharedPathsGiveTheirSingleThreadedResults) {
  const std::vector<path> paths = shared_paths();
  const std::size_t n = paths.size();
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < n; ++i) expected.push_back(summary(paths[i], paths[(i + 1) % n]));

  std::atomic<int> mismatches{0};
  on_threads([&](int t) {
    for (int round = 0; round < 20; ++round)
      for (std::size_t k = 0; k < n; ++k) {
        // Threads start at different paths so that they overlap on each one.
        const std::size_t i = (k + std::size_t(t) * 5) % n;
        if (summary(paths[i], paths[(i + 1) % n]) != expected[i]) ++mismatches;
      }
  });
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(Concurrency, EachThreadMayChangeItsOwnCopiesOfSharedPaths) {
  const std::vector<path> paths = shared_paths();
  auto work = [&](std::size_t i) {
    path p(paths[i]);
    const path& q = paths[(i + 3) % paths.size()];
    p /= q;
    p += q;
    p._M_append(q.native());
    p._M_concat(q.native());
    p.replace_extension(path("md"));
    p.replace_filename(q);
    p.remove_filename();
    p = p.lexically_normal();
    return state(p);
  };
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < paths.size(); ++i) expected.push_back(work(i));

  std::atomic<int> mismatches{0};
  on_threads([&](int t) {
    for (int round = 0; round < 20; ++round)
      for (std::size_t k = 0; k < paths.size(); ++k) {
        const std::size_t i = (k + std::size_t(t) * 7) % paths.size();
        if (work(i) != expected[i]) ++mismatches;
      }
  });
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(Concurrency, CopiesOfOneErrorAreReadAndDestroyedOnManyThreadsAndFreedOnce) {
  ASSERT_NE(std::filesystem::__pthread_key_create, nullptr)
      << "this process is threaded, so every count change must be atomic";
  const long live = vornel::test::live_allocations();
  {
    auto* original = new filesystem_error(
        "cannot copy", path("/src/a.txt"), path("dst/"),
        std::make_error_code(std::errc::file_exists));
    const std::string what = original->what();
    std::vector<filesystem_error> handed_out(kThreads, *original);
    // The original goes while the threads still hold and copy its block.
    std::atomic<int> started{0};
    std::atomic<int> mismatches{0};
    std::thread releaser([&] {
      while (started.load() < kThreads) std::this_thread::yield();
      delete original;
    });
    on_threads([&](int t) {
      ++started;
      for (int round = 0; round < 200; ++round) {
        const filesystem_error copy(handed_out[t]);
        filesystem_error assigned = handed_out[(t + 1) % kThreads];
        assigned = copy;
        if (what != copy.what() || copy.path1().native() != "/src/a.txt" ||
            assigned.path2().native() != "dst/" ||
            copy.code() != std::make_error_code(std::errc::file_exists))
          ++mismatches;
      }
    });
    releaser.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_STREQ(handed_out[0].what(), what.c_str());
  }
  EXPECT_EQ(vornel::test::live_allocations(), live) << "the shared block is freed once";
}

TEST(Concurrency, ThrownErrorsCaughtOnManyThreadsShareNothingButTheirBlock) {
  const filesystem_error shared("shared", path("p"), std::make_error_code(std::errc::io_error));
  std::atomic<int> mismatches{0};
  on_threads([&](int t) {
    for (int round = 0; round < 200; ++round) {
      try {
        if (round % 2) throw shared;
        throw filesystem_error("own", path(std::to_string(t)), std::error_code());
      } catch (const filesystem_error& e) {
        const std::string expected = round % 2 ? "p" : std::to_string(t);
        if (e.path1().native() != expected || !e.path2().empty()) ++mismatches;
      }
    }
  });
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
