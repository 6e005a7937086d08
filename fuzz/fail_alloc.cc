// Global allocation functions with an armed countdown; they interpose the
// instrumented library's allocations as well. The sanitizer still sees every
// block, since each one comes from malloc.
#include "fail_alloc.h"

#include <cstdlib>
#include <new>

namespace {

long g_countdown = 0;  // 0: disarmed
bool g_fired = false;

void* allocate(std::size_t n) {
  if (g_countdown > 0 && --g_countdown == 0) {
    g_fired = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace vornel::fuzz {

FailAt::FailAt(long k) {
  g_countdown = k;
  g_fired = false;
}
FailAt::~FailAt() { g_countdown = 0; }
bool FailAt::fired() const { return g_fired; }

}  // namespace vornel::fuzz

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
