// The replaced global operator new and delete. The array and nothrow forms of the C++
// library forward to these, so every allocation the program makes through new is counted.
#include "bench/heap_count.hpp"

#include <cstdlib>
#include <new>

namespace {

long calls = 0; // the benchmark runs on one thread

} // namespace

long heapCalls() {
  return calls;
}

void* operator new(std::size_t size) {
  ++calls;
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  ++calls;
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  ::operator delete(block);
}
