// The program's global allocation functions, which interpose those that
// libvornel.so calls as well.
#include "support/alloc.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations{0};
std::atomic<long> g_live{0};
std::atomic<long> g_fail_at{0};  // 0: no failure armed
std::atomic<bool> g_fired{false};
std::atomic<long> g_injected{0};  // failures injected over the whole run

// With VORNEL_COUNT_INJECTIONS set, the run ends by saying how many
// allocation failures it injected.
struct InjectionReport {
  ~InjectionReport() {
    if (std::getenv("VORNEL_COUNT_INJECTIONS"))
      std::fprintf(stderr, "injected allocation failures: %ld\n", g_injected.load());
  }
} g_report;

void* allocate(std::size_t n) {
  const long nth = ++g_allocations;
  const long fail_at = g_fail_at.load();
  if (fail_at != 0 && nth == fail_at) {
    g_fired = true;
    ++g_injected;
    throw std::bad_alloc();
  }
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  ++g_live;
  return p;
}

void release(void* p) noexcept {
  if (!p) return;
  --g_live;
  std::free(p);
}

}  // namespace

namespace vornel::test {

AllocationCount::AllocationCount() : start_(g_allocations.load()) {}
long AllocationCount::count() const { return g_allocations.load() - start_; }

long live_allocations() { return g_live.load(); }

FailAt::FailAt(long k) {
  g_fired = false;
  g_fail_at = g_allocations.load() + k;
}
FailAt::~FailAt() { g_fail_at = 0; }
bool FailAt::fired() const { return g_fired.load(); }

}  // namespace vornel::test

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
