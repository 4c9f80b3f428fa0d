#include "emulator/virtual_clock.h"

#include <chrono>
#include <thread>

namespace kestrum {

void VirtualClock::AdvanceTo(std::int64_t time_ns) {
  if (time_ns <= now_ns_) return;
  if (mode_ == TimeMode::kRealTime) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(time_ns - now_ns_));
  }
  now_ns_ = time_ns;
}

}  // namespace kestrum
