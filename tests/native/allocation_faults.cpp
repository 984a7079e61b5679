// The test program's operator new and delete: malloc and free (which the
// sanitizers still watch), with a counter that can fail one allocation.
#include "tests/native/allocation_faults.h"

#include <cstdlib>
#include <new>

namespace orvane::test {
namespace {

// The core runs on one thread, and so do these tests; gtest's own threads,
// if any, never allocate while a fault is armed.
bool g_armed = false;
bool g_happened = false;
int64_t g_count = 0;
int64_t g_failAt = 0;

bool ShouldFail() {
  if (!g_armed) return false;
  if (++g_count != g_failAt) return false;
  g_happened = true;
  return true;
}

void* Allocate(std::size_t size) {
  if (ShouldFail()) throw std::bad_alloc();
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

void* AllocateNoThrow(std::size_t size) noexcept {
  if (ShouldFail()) return nullptr;
  return std::malloc(size ? size : 1);
}

#ifndef _WIN32
void* AllocateAligned(std::size_t size, std::align_val_t align) {
  if (ShouldFail()) throw std::bad_alloc();
  const std::size_t a = static_cast<std::size_t>(align);
  void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
  if (!p) throw std::bad_alloc();
  return p;
}
#endif

}  // namespace

void ArmAllocationFault(int64_t nth) {
  g_count = 0;
  g_failAt = nth;
  g_happened = false;
  g_armed = true;
}

int64_t DisarmAllocationFaults() {
  g_armed = false;
  return g_count;
}

bool AllocationFaultHappened() { return g_happened; }

}  // namespace orvane::test

// mingw's runtime frees aligned blocks differently from malloc's; the
// replacement stays to the plain forms there.
void* operator new(std::size_t size) { return orvane::test::Allocate(size); }
void* operator new[](std::size_t size) { return orvane::test::Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return orvane::test::AllocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return orvane::test::AllocateNoThrow(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#ifndef _WIN32
void* operator new(std::size_t size, std::align_val_t align) {
  return orvane::test::AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return orvane::test::AllocateAligned(size, align);
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
#endif
