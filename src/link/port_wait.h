// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed waits of the instrument exchanges. Real sleeps in the program;
// tests and the emulator install a sleeper that moves virtual time instead.

#include <functional>

namespace kestrum {

using Sleeper = std::function<void(int milliseconds)>;

// An empty sleeper restores the real sleep.
void SetSleeper(Sleeper sleeper);

// Waits `milliseconds` through the installed sleeper; traced as "sleep MS".
void WaitMilliseconds(int milliseconds);

// The same wait, traced alike, slept a second at a time so that `tick` can
// show the seconds as they pass (the erase's waits of 5 and 15 s).
using WaitTick = std::function<void(int elapsedMs, int totalMs)>;
void WaitMilliseconds(int milliseconds, const WaitTick& tick);

}  // namespace kestrum
