// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sleeper for the port module's waits that reports every whole second of a
// long wait, so a window can count the erase's 5 or 15 seconds. The wait is
// still one WaitMilliseconds call and one "sleep" line in the protocol log.

#include <functional>

#include "link/port_wait.h"

namespace kestrum {

// Told the milliseconds waited so far and the whole wait.
using WaitTick = std::function<void(int elapsedMs, int totalMs)>;

// Waits of at least one second go to `base` in one-second pieces (and the
// rest), with `tick` after each piece; shorter waits go to `base` whole. An
// empty base sleeps in real time.
Sleeper SecondTickingSleeper(Sleeper base, WaitTick tick);

}  // namespace kestrum
