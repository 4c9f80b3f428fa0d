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

}  // namespace kestrum
