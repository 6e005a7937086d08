// A replacement of the global allocation functions for the tests and the fuzz
// targets: counts the allocations of the program and of libvornel.so, tracks
// live blocks for leak checks, and can make the k-th allocation throw
// std::bad_alloc.
#ifndef VORNEL_SUPPORT_ALLOC_H
#define VORNEL_SUPPORT_ALLOC_H

#include <new>

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

// While alive, the k-th allocation (1-based) throws std::bad_alloc; with k = 0
// none does.
class FailAt {
 public:
  explicit FailAt(long k);
  ~FailAt();
  FailAt(const FailAt&) = delete;
  FailAt& operator=(const FailAt&) = delete;
  // Whether the injected failure was reached.
  bool fired() const;
};

// One run of a call under FailAt(k): whether the failure was reached, and
// whether the call ended in std::bad_alloc.
class InjectedFailure {
 public:
  explicit InjectedFailure(long k) noexcept : k_(k) {}

  // Runs call() with the failure armed, catching its std::bad_alloc; true
  // when the failure was reached.
  template <typename Call>
  bool run(Call call) {
    FailAt fail(k_);
    try {
      call();
    } catch (const std::bad_alloc&) {
      threw_ = true;
    }
    fired_ = fail.fired();
    return fired_;
  }

  long k() const { return k_; }
  bool fired() const { return fired_; }
  bool threw() const { return threw_; }

 private:
  long k_;
  bool fired_ = false;
  bool threw_ = false;
};

}  // namespace vornel::test

#endif  // VORNEL_SUPPORT_ALLOC_H
