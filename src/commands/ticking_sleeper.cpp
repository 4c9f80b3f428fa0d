// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ticking_sleeper.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace kestrum {

Sleeper SecondTickingSleeper(Sleeper base, WaitTick tick) {
  if (!base) {
    base = [](int milliseconds) {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
  }
  return [base = std::move(base), tick = std::move(tick)](int milliseconds) {
    constexpr int kSecond = 1000;
    if (milliseconds < kSecond) {
      base(milliseconds);
      return;
    }
    int elapsed = 0;
    while (elapsed < milliseconds) {
      const int piece = std::min(kSecond, milliseconds - elapsed);
      base(piece);
      elapsed += piece;
      if (tick) tick(elapsed, milliseconds);
    }
  };
}

}  // namespace kestrum
