// Walking a linked list whose nodes mostly lie one fixed step apart in memory, as the particle
// pool lays out the particle list. Following `next` makes every step wait for the load of the
// link before the next node can even be addressed; guessing the next node from the distance of
// the last step lets the processor run ahead on the guess while the link is read, and the link
// then only confirms it. A wrong guess costs one mispredicted branch and teaches the new step.
#pragma once

#include <cstdint>

/// The distance between the last two nodes walked, in bytes; 0 before the first step.
struct WalkStep {
  std::uintptr_t bytes = 0;
};

/// `node->next`, found through the guess `node` + `step` where the guess is right.
template <typename Node> Node* followLink(Node* node, WalkStep& step) {
  const auto address = [](Node* n) { return reinterpret_cast<std::uintptr_t>(n); };
  Node* const linked = node->next;
  // Only compared with the link, never read through. It is an address worked out from the last
  // step, which only an integer can give. NOLINTNEXTLINE(performance-no-int-to-ptr)
  Node* guess = reinterpret_cast<Node*>(address(node) + step.bytes);
  if (__builtin_expect(linked == guess, 1)) {
    // The compiler knows the two are equal here and could hand back `linked`, which would
    // make the walk wait for the link again; after this it no longer knows.
    asm("" : "+r"(guess));
    return guess;
  }
  step.bytes = address(linked) - address(node);
  return linked;
}
