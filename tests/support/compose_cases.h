// Shared by the tests of the operations that change a path in place: texts
// of many names, a path's whole state in one line, and the sweep that fails
// every allocation of a call in turn.
#ifndef VORNEL_TESTS_SUPPORT_COMPOSE_CASES_H
#define VORNEL_TESTS_SUPPORT_COMPOSE_CASES_H

#include <gtest/gtest.h>

#include <fs_path>
#include <new>
#include <string>

#include "support/alloc.h"
#include "support/raw_state.h"

namespace vornel::test {

// `count` one-letter names joined by "/".
inline std::string names(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += '/';
    text += char('a' + i % 26);
  }
  return text;
}

// The text, kind and every component with its position.
inline std::string state(const path& p) { return "[" + p.native() + "] " + describe(p); }

// Calls change(p) on a fresh p = make() with the k-th allocation failing, for
// k = 1, 2, ... until a call completes. After each failure, check(p, before)
// judges the path (`before` is its state() ahead of the call), and every
// block the call allocated must be gone once p is. Returns the number of
// failures seen.
template <typename Make, typename Change, typename Check>
long sweep_allocation_failures(Make make, Change change, Check check) {
  return for_each_allocation_failure([&](long k) {
    const long baseline = live_allocations();
    bool fired = false;
    {
      path p = make();
      const std::string before = state(p);
      bool threw = false;
      {
        FailAt fail(k);
        try {
          change(p);
        } catch (const std::bad_alloc&) {
          threw = true;
        }
        fired = fail.fired();
      }
      if (fired) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " failed");
        EXPECT_TRUE(threw) << "the failure was reported as success";
        EXPECT_EQ(invariant_violation(p), "");
        check(p, before);
      }
    }
    EXPECT_EQ(live_allocations(), baseline) << "leak when allocation " << k << " failed";
    return fired;
  });
}

// The strong guarantee: whichever allocation fails, the path is as before.
template <typename Make, typename Change>
long expect_unchanged_on_failure(Make make, Change change) {
  return sweep_allocation_failures(make, change, [](const path& p, const std::string& before) {
    EXPECT_EQ(state(p), before);
  });
}

}  // namespace vornel::test

#endif  // VORNEL_TESTS_SUPPORT_COMPOSE_CASES_H
