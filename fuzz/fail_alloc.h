// The operation-sequence target's global allocation functions: a countdown
// makes one chosen allocation of one step throw std::bad_alloc.
#ifndef VORNEL_FUZZ_FAIL_ALLOC_H
#define VORNEL_FUZZ_FAIL_ALLOC_H

namespace vornel::fuzz {

// While alive, the k-th allocation (1-based) throws std::bad_alloc.
class FailAt {
 public:
  explicit FailAt(long k);
  ~FailAt();
  FailAt(const FailAt&) = delete;
  FailAt& operator=(const FailAt&) = delete;
  bool fired() const;
};

}  // namespace vornel::fuzz

#endif  // VORNEL_FUZZ_FAIL_ALLOC_H
