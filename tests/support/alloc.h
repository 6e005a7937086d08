// A replacement of the global allocation functions for tests: counts the
// allocations of the test binary and of libvornel.so, tracks live blocks for
// leak checks, and can make the k-th allocation throw std::bad_alloc.
#ifndef VORNEL_TESTS_SUPPORT_ALLOC_H
#define VORNEL_TESTS_SUPPORT_ALLOC_H

namespace vornel::test {

// Allocations made since construction.
class AllocationCount {
 public:
  AllocationCount();
  long count() const;

 private:
  long start_;
};

// Blocks allocated and not yet freed, over the whole process.
long live_allocations();

// While alive, the k-th allocation (1-based) throws std::bad_alloc.
class FailAt {
 public:
  explicit FailAt(long k);
  ~FailAt();
  FailAt(const FailAt&) = delete;
  FailAt& operator=(const FailAt&) = delete;
  // Whether the injected failure was reached.
  bool fired() const;
};

// Calls attempt(k) for k = 1, 2, ... until an attempt in which the injected
// failure did not fire, and returns the number of attempts in which it did.
// Each attempt builds its own inputs, wraps the operation under test in
// FailAt(k), and checks what the failure left behind.
template <typename Attempt>
long for_each_allocation_failure(Attempt attempt) {
  long fired = 0;
  for (long k = 1;; ++k) {
    if (!attempt(k)) return fired;
    ++fired;
  }
}

}  // namespace vornel::test

#endif  // VORNEL_TESTS_SUPPORT_ALLOC_H
