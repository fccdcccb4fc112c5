// A recycler of equal-sized slots for one kind of record. Released slots are handed out again
// oldest first, so records that are retired in the order they were made (the particles) keep
// following each other through memory, and a walk over them reads memory in order. Slots come
// in chunks from the general heap, only when no released slot is left; once no slot is in use
// every chunk goes back to the heap.
#pragma once

#include <cstddef>

struct SlotChunk;
struct FreeSlot;

struct SlotPool {
  std::size_t slotSize; ///< bytes, the record's size rounded up to its alignment
  int slotsPerChunk;
  SlotChunk* chunks = nullptr;        ///< newest first
  FreeSlot* oldestReleased = nullptr; ///< the next slot handed out; null when none is free
  FreeSlot* newestReleased = nullptr; ///< where a released slot joins the queue
  long slotsInUse = 0;
  int chunkCount = 0;
};

/// An empty pool for records of `recordSize` bytes aligned to `recordAlignment` (at most
/// that of std::max_align_t), growing `slotsPerChunk` slots at a time.
constexpr SlotPool makeSlotPool(std::size_t recordSize, std::size_t recordAlignment,
                                int slotsPerChunk) {
  // A free slot holds the link to the next one, so it is at least a pointer in size and step.
  const std::size_t step = recordAlignment > alignof(void*) ? recordAlignment : alignof(void*);
  const std::size_t size = recordSize > sizeof(void*) ? recordSize : sizeof(void*);
  return SlotPool{(size + step - 1) / step * step, slotsPerChunk};
}

/// A slot for one record: the oldest released one, or, when none is, the first of a new chunk.
void* takeSlot(SlotPool& pool);

/// Queues `slot` (taken from `pool`) behind every slot released before it. The last slot in
/// use going back releases all chunks.
void releaseSlot(SlotPool& pool, void* slot);
