// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The emulator's time. Tests run instantly: time only moves when the
// program waits or a transfer needs it. The demo runs in real time: every
// advance is also slept, so transfers take as long as on the wire, and the
// clock goes on while the program is idle, so an instrument left sending
// finishes meanwhile.

#include <chrono>
#include <cstdint>

namespace kestrum {

enum class TimeMode { kInstant, kRealTime };

inline constexpr std::int64_t kNsPerMs = 1000000;

class VirtualClock {
 public:
  explicit VirtualClock(TimeMode mode = TimeMode::kInstant);

  std::int64_t NowNs() const;
  TimeMode Mode() const { return mode_; }
  void SetMode(TimeMode mode);

  // Never goes backwards.
  void AdvanceTo(std::int64_t time_ns);
  void AdvanceBy(std::int64_t duration_ns) { AdvanceTo(now_ns_ + duration_ns); }

 private:
  std::int64_t WallNs() const;

  TimeMode mode_;
  std::int64_t now_ns_ = 0;
  // Real time: the wall-clock moment of time 0.
  std::chrono::steady_clock::time_point origin_;
};

}  // namespace kestrum
