// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/virtual_clock.h"

#include <algorithm>
#include <thread>

namespace kestrum {

VirtualClock::VirtualClock(TimeMode mode)
    : mode_(mode), origin_(std::chrono::steady_clock::now()) {}

std::int64_t VirtualClock::WallNs() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                              origin_)
      .count();
}

std::int64_t VirtualClock::NowNs() const {
  return mode_ == TimeMode::kRealTime ? std::max(now_ns_, WallNs()) : now_ns_;
}

void VirtualClock::SetMode(TimeMode mode) {
  now_ns_ = NowNs();
  mode_ = mode;
  origin_ = std::chrono::steady_clock::now() - std::chrono::nanoseconds(now_ns_);
}

void VirtualClock::AdvanceTo(std::int64_t time_ns) {
  if (time_ns <= NowNs()) return;
  if (mode_ == TimeMode::kRealTime) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(time_ns - WallNs()));
  }
  now_ns_ = time_ns;
}

}  // namespace kestrum
