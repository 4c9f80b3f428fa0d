// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_wait.h"

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
  TracePortLine("sleep " + std::to_string(milliseconds));
  if (milliseconds <= 0) return;
  if (InstalledSleeper()) {
    InstalledSleeper()(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

}  // namespace kestrum
