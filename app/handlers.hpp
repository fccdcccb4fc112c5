// The only state shared with the library's threads and with signals: the tick counter, which
// the timer adds to, and the quit flag, which the close button and the quit signals set. Both are
// lock-free atomics, so that the main loop's decrement never loses a tick the timer adds
// meanwhile and a signal handler may write them.
#pragma once

#include <atomic>

/// Timer ticks counted and not yet simulated.
extern std::atomic<int> tickCounter;

/// Set once the close button has been pressed or a quit signal has arrived; never cleared.
extern std::atomic<bool> quitFlag;

/// The 30 Hz timer handler: one tick more.
void onTimerTick();

/// The close-button handler: asks the main loop to end.
void onCloseButton();

/// The handler of SIGINT, SIGTERM and the like: asks the main loop to end, as the close button
/// does, so that the program shuts down on its own thread.
void onQuitSignal(int signal);
