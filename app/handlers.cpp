// Timer, close-button and signal handlers: each makes one atomic write and calls nothing else.
#include "app/handlers.hpp"

std::atomic<int> tickCounter{0};
std::atomic<bool> quitFlag{false};

static_assert(std::atomic<int>::is_always_lock_free, "handlers must not take a lock");
static_assert(std::atomic<bool>::is_always_lock_free, "handlers must not take a lock");

void onTimerTick() {
  tickCounter.fetch_add(1);
}

void onCloseButton() {
  quitFlag.store(true);
}

void onQuitSignal(int) {
  quitFlag.store(true);
}
