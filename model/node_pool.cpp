#include "model/node_pool.h"

#include <mutex>
#include <new>
#include <vector>

#include "model/outline_node.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_PLAIN_NODE_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_PLAIN_NODE_HEAP 1
#endif
#endif

namespace orvane::node_pool {
#ifndef ORVANE_PLAIN_NODE_HEAP
namespace {

constexpr std::size_t kSlotSize = sizeof(OutlineNode);
constexpr std::size_t kSlotsPerChunk = 1024;

struct FreeSlot {
  FreeSlot* next;
};

// Each thread reuses its own slots; the control lives on one user-interface
// thread, and chunks are never freed, so a slot freed on another thread is
// simply reused there.
thread_local FreeSlot* t_free = nullptr;

void AddChunk() {
  // The chunks stay reachable from here for the whole run: leak checkers
  // see them as kept, not lost.
  static std::mutex* lock = new std::mutex;
  static std::vector<char*>* chunks = new std::vector<char*>;
  char* chunk = static_cast<char*>(::operator new(kSlotSize* kSlotsPerChunk));
  {
    std::lock_guard<std::mutex> guard(*lock);
    chunks->push_back(chunk);
  }
  for (std::size_t i = kSlotsPerChunk; i-- > 0;) {
    auto* slot = reinterpret_cast<FreeSlot*>(chunk + i * kSlotSize);
    slot->next = t_free;
    t_free = slot;
  }
}

}  // namespace
#endif

void* Allocate(std::size_t size) {
#ifdef ORVANE_PLAIN_NODE_HEAP
  return ::operator new(size);
#else
  if (size != kSlotSize) return ::operator new(size);
  if (!t_free) AddChunk();
  FreeSlot* slot = t_free;
  t_free = slot->next;
  return slot;
#endif
}

void Release(void* slot, std::size_t size) noexcept {
#ifdef ORVANE_PLAIN_NODE_HEAP
  ::operator delete(slot);
#else
  if (!slot) return;
  if (size != kSlotSize) {
    ::operator delete(slot);
    return;
  }
  auto* free = static_cast<FreeSlot*>(slot);
  free->next = t_free;
  t_free = free;
#endif
}

}  // namespace orvane::node_pool
