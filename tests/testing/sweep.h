// The allocation-failure sweep that every failure test runs: a call made
// again and again with its first, second, third... allocation failing.
#ifndef VORNEL_TESTS_TESTING_SWEEP_H
#define VORNEL_TESTS_TESTING_SWEEP_H

#include <gtest/gtest.h>

#include "support/alloc.h"

namespace vornel::test {

// Calls attempt(failure) with failure = InjectedFailure(k) for k = 1, 2, ...
// until an attempt's call completes without reaching its failure, or a check
// has failed; returns the number of attempts whose failure was reached. Each
// attempt builds its own inputs, runs the call under test by failure.run()
// and checks what it left; the sweep checks that each injected failure
// reached the caller and that nothing an attempt allocated outlives it.
template <typename Attempt>
long sweep_allocation_failures(Attempt attempt) {
  for (long k = 1;; ++k) {
    const long live = live_allocations();
    InjectedFailure failure(k);
    attempt(failure);
    EXPECT_EQ(failure.threw(), failure.fired())
        << "allocation " << k << (failure.fired() ? " failed, but the call reported success"
                                                  : " did not fail, but the call threw");
    EXPECT_EQ(live_allocations(), live) << "leak when allocation " << k << " failed";
    if (!failure.fired()) return k - 1;
    if (testing::Test::HasFailure()) return k;
  }
}

}  // namespace vornel::test

#endif  // VORNEL_TESTS_TESTING_SWEEP_H
