// The slot pool: slot sizes, fresh slots in address order, released slots handed out again
// oldest first, growth by whole chunks and every chunk back once no slot is in use.
#include "sim/slot_pool.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <set>
#include <vector>

namespace {

struct SizeCase {
  std::size_t size, alignment, with8BytePointers, with4BytePointers;
};

// A free slot holds a pointer (8 bytes on x86-64 and arm64, 4 in wasm32), so slots are at
// least that and step by it.
const SizeCase sizeCases[] = {
    {40, 8, 40, 40},  {44, 4, 48, 44}, {3, 1, 8, 4}, {12, 4, 16, 12},
    {17, 16, 32, 32}, {8, 8, 8, 8},    {1, 1, 8, 4},
};

TEST(SlotPoolSize, RoundedUpToThePointerAndTheRecordsAlignment) {
  for (const SizeCase& c : sizeCases) {
    const std::size_t expected = sizeof(void*) == 8 ? c.with8BytePointers : c.with4BytePointers;
    EXPECT_EQ(makeSlotPool(c.size, c.alignment, 4).slotSize, expected)
        << c.size << " bytes aligned to " << c.alignment;
  }
}

constexpr int slotsPerChunk = 4;
constexpr std::size_t recordSize = 24;

/// Take (expecting the slot of that number) or release the slot of that number. Slots are
/// numbered in the order the pool made them: chunk k holds 4k to 4k + 3, in address order.
struct Step {
  bool take;
  int slot;
};

constexpr Step take(int slot) {
  return {true, slot};
}
constexpr Step release(int slot) {
  return {false, slot};
}

struct ScriptCase {
  const char* name;
  std::vector<Step> steps;
  int chunksAfter;
};

const ScriptCase scripts[] = {
    {"fresh slots in address order", {take(0), take(1), take(2), take(3)}, 1},
    {"released slots come back oldest first",
     {take(0), take(1), take(2), take(3), release(2), release(0), release(3), take(2), take(0),
      take(3)},
     1},
    {"a new chunk's slots queue ahead of later releases",
     {take(0), take(1), release(0), take(2), take(3), take(0), take(4)},
     2},
    {"growth by a whole chunk once no slot is free",
     {take(0), take(1), take(2), take(3), take(4), take(5), release(1), release(4), take(6),
      take(7), take(1), take(4), take(8)},
     3},
    {"slots of several chunks queue in release order",
     {take(0), take(1), take(2), take(3), take(4), release(4), release(0), take(5), take(6),
      take(7), take(4), take(0), take(8)},
     3},
};

void PrintTo(const ScriptCase& c, std::ostream* out) {
  *out << c.name;
}

/// Runs a script on its own pool and checks every slot handed out against its number.
class SlotPoolScript : public ::testing::TestWithParam<ScriptCase> {
protected:
  void TearDown() override {
    for (void* slot : inUse) {
      releaseSlot(pool, slot);
    }
    EXPECT_EQ(pool.chunkCount, 0);
  }

  int numberOf(const char* slot) const {
    for (std::size_t k = 0; k < chunkStarts.size(); ++k) {
      const long offset = slot - chunkStarts[k];
      if (offset >= 0 && offset < static_cast<long>(recordSize) * slotsPerChunk) {
        EXPECT_EQ(offset % static_cast<long>(recordSize), 0) << "not on a slot boundary";
        return static_cast<int>(k) * slotsPerChunk + static_cast<int>(offset / recordSize);
      }
    }
    return -1;
  }

  void run(const Step& step) {
    if (!step.take) {
      releaseSlot(pool, slotByNumber[step.slot]);
      inUse.erase(slotByNumber[step.slot]);
      return;
    }
    const int chunksBefore = pool.chunkCount;
    char* slot = static_cast<char*>(takeSlot(pool));
    if (pool.chunkCount != chunksBefore) {
      chunkStarts.push_back(slot); // a new chunk hands out its first slot first
    }
    EXPECT_EQ(numberOf(slot), step.slot);
    slotByNumber[step.slot] = slot;
    inUse.insert(slot);
  }

  SlotPool pool = makeSlotPool(recordSize, 8, slotsPerChunk);
  std::vector<char*> chunkStarts;
  char* slotByNumber[3 * slotsPerChunk] = {};
  std::set<void*> inUse;
};

TEST_P(SlotPoolScript, HandsOutTheExpectedSlots) {
  const ScriptCase& c = GetParam();
  SCOPED_TRACE(c.name);
  for (std::size_t n = 0; n < c.steps.size(); ++n) {
    SCOPED_TRACE(::testing::Message() << "step " << n);
    run(c.steps[n]);
  }
  EXPECT_EQ(pool.chunkCount, c.chunksAfter);
  EXPECT_EQ(pool.slotsInUse, static_cast<long>(inUse.size()));
}

INSTANTIATE_TEST_SUITE_P(Scripts, SlotPoolScript, ::testing::ValuesIn(scripts));

TEST(SlotPool, EverySlotHoldsAWholeRecordWithoutTouchingItsNeighbours) {
  SlotPool pool = makeSlotPool(recordSize, 8, slotsPerChunk);
  std::vector<unsigned char*> slots;
  for (int n = 0; n < 3 * slotsPerChunk + 1; ++n) {
    slots.push_back(static_cast<unsigned char*>(takeSlot(pool)));
    std::memset(slots.back(), n + 1, recordSize);
  }
  for (std::size_t n = 0; n < slots.size(); ++n) {
    for (std::size_t byte = 0; byte < recordSize; ++byte) {
      ASSERT_EQ(slots[n][byte], n + 1) << "slot " << n << " byte " << byte;
    }
  }
  EXPECT_EQ(pool.chunkCount, 4);
  for (unsigned char* slot : slots) {
    releaseSlot(pool, slot);
  }
}

TEST(SlotPool, TheLastReleaseGivesEveryChunkBackAndThePoolStartsAfresh) {
  SlotPool pool = makeSlotPool(recordSize, 8, slotsPerChunk);
  std::vector<void*> slots(2 * slotsPerChunk + 1);
  for (void*& slot : slots) {
    slot = takeSlot(pool);
  }
  for (std::size_t n = 0; n + 1 < slots.size(); ++n) {
    releaseSlot(pool, slots[n]);
    EXPECT_EQ(pool.chunkCount, 3) << "a slot is still in use";
  }
  releaseSlot(pool, slots.back());
  EXPECT_EQ(pool.chunkCount, 0);
  EXPECT_EQ(pool.chunks, nullptr);
  EXPECT_EQ(pool.oldestReleased, nullptr);
  EXPECT_EQ(pool.newestReleased, nullptr);
  EXPECT_EQ(pool.slotsInUse, 0);
  void* again = takeSlot(pool); // LeakSanitizer would report chunks lost on the way
  EXPECT_EQ(pool.chunkCount, 1);
  releaseSlot(pool, again);
}

} // namespace
