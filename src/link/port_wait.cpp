// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_wait.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "link/port_trace.h"

namespace kestrum {
namespace {

Sleeper& InstalledSleeper() {
  static Sleeper sleeper;
  return sleeper;
}

}  // namespace

void SetSleeper(Sleeper sleeper) {
  InstalledSleeper() = std::move(sleeper);
}

void WaitMilliseconds(int milliseconds) {
  WaitMilliseconds(milliseconds, {});
}

void WaitMilliseconds(int milliseconds, const WaitTick& tick) {
  TracePortLine("sleep " + std::to_string(milliseconds));
  constexpr int kSecond = 1000;
  const auto sleep = [](int piece) {
    if (InstalledSleeper()) {
      InstalledSleeper()(piece);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(piece));
    }
  };
  if (milliseconds <= 0) return;
  if (!tick || milliseconds < kSecond) return sleep(milliseconds);
  for (int elapsed = 0; elapsed < milliseconds;) {
    const int piece = std::min(kSecond, milliseconds - elapsed);
    sleep(piece);
    elapsed += piece;
    tick(elapsed, milliseconds);
  }
}

}  // namespace kestrum
