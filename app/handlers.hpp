// The only state shared with the library's threads: the tick counter, which the timer adds
// to, and the quit flag, which the close button sets. Both are lock-free atomics so that the
// main loop's decrement never loses a tick the timer adds meanwhile.
#pragma once

#include <atomic>

/// Timer ticks counted and not yet simulated.
extern std::atomic<int> tickCounter;

/// Set once the window's close button has been pressed; never cleared.
extern std::atomic<bool> quitFlag;

/// The 30 Hz timer handler: one tick more.
void onTimerTick();

/// The close-button handler: asks the main loop to end.
void onCloseButton();
