// Chunks of slots from the general heap, and the queue of free slots threaded through the
// free slots themselves: taking and releasing a slot touches only the slot and the pool.
// Under AddressSanitizer a free slot is poisoned, so that a record used after its release is
// still reported, as it would be on the general heap.
#include "sim/slot_pool.hpp"

#include <cstddef>
#include <new>

// The sanitizer's header is found only where the sanitizer is: mingw-w64 has neither.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

struct SlotChunk {
  SlotChunk* next;
};

struct FreeSlot {
  FreeSlot* next;
};

namespace {

/// Marks memory that no record may touch until it is unpoisoned; nothing outside the
/// sanitizer build.
void poison([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
  __asan_poison_memory_region(memory, bytes);
#endif
}

void unpoison([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
  __asan_unpoison_memory_region(memory, bytes);
#endif
}

/// The chunk's header, padded so that its first slot is aligned for any ordinary record.
constexpr std::size_t chunkHeaderSize = (sizeof(SlotChunk) + alignof(std::max_align_t) - 1) /
                                        alignof(std::max_align_t) * alignof(std::max_align_t);

char* firstSlotOf(SlotChunk* chunk) {
  return reinterpret_cast<char*>(chunk) + chunkHeaderSize;
}

/// Points free slot `from` at `to`; the link is the one part of a free slot the pool touches.
void link(FreeSlot* from, FreeSlot* to) {
  unpoison(from, sizeof(FreeSlot));
  from->next = to;
  poison(from, sizeof(FreeSlot));
}

/// Queues a free slot behind the others.
void enqueue(SlotPool& pool, void* slot) {
  unpoison(slot, pool.slotSize);
  FreeSlot* free = new (slot) FreeSlot{nullptr};
  poison(slot, pool.slotSize);
  if (pool.newestReleased == nullptr) {
    pool.oldestReleased = free;
  } else {
    link(pool.newestReleased, free);
  }
  pool.newestReleased = free;
}

/// A new chunk, its slots queued in address order.
void addChunk(SlotPool& pool) {
  const std::size_t bytes = chunkHeaderSize + pool.slotSize * pool.slotsPerChunk;
  SlotChunk* chunk = new (::operator new(bytes)) SlotChunk{pool.chunks};
  pool.chunks = chunk;
  ++pool.chunkCount;
  char* slot = firstSlotOf(chunk);
  for (int n = 0; n < pool.slotsPerChunk; ++n, slot += pool.slotSize) {
    enqueue(pool, slot);
  }
}

void releaseChunks(SlotPool& pool) {
  while (SlotChunk* chunk = pool.chunks) {
    pool.chunks = chunk->next;
    unpoison(firstSlotOf(chunk), pool.slotSize * pool.slotsPerChunk);
    ::operator delete(chunk);
  }
  pool.chunkCount = 0;
  pool.oldestReleased = nullptr;
  pool.newestReleased = nullptr;
}

} // namespace

void* takeSlot(SlotPool& pool) {
  if (pool.oldestReleased == nullptr) {
    addChunk(pool);
  }
  FreeSlot* slot = pool.oldestReleased;
  unpoison(slot, pool.slotSize);
  pool.oldestReleased = slot->next;
  if (pool.oldestReleased == nullptr) {
    pool.newestReleased = nullptr;
  }
  ++pool.slotsInUse;
  return slot;
}

void releaseSlot(SlotPool& pool, void* slot) {
  enqueue(pool, slot);
  if (--pool.slotsInUse == 0) {
    releaseChunks(pool);
  }
}
