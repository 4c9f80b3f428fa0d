#pragma once
// The emulator's time. Tests run instantly: time only moves when the
// program waits or a transfer needs it. The demo runs in real time: every
// advance is also slept, so transfers take as long as on the wire.

#include <cstdint>

namespace kestrum {

enum class TimeMode { kInstant, kRealTime };

inline constexpr std::int64_t kNsPerMs = 1000000;

class VirtualClock {
 public:
  explicit VirtualClock(TimeMode mode = TimeMode::kInstant) : mode_(mode) {}

  std::int64_t NowNs() const { return now_ns_; }
  TimeMode Mode() const { return mode_; }
  void SetMode(TimeMode mode) { mode_ = mode; }

  // Never goes backwards.
  void AdvanceTo(std::int64_t time_ns);
  void AdvanceBy(std::int64_t duration_ns) { AdvanceTo(now_ns_ + duration_ns); }

 private:
  TimeMode mode_;
  std::int64_t now_ns_ = 0;
};

}  // namespace kestrum
