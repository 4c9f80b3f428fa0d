// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/wire_dialect.h"

#include <algorithm>

#include "commands/instrument_erase.h"
#include "commands/reply_plausibility.h"

namespace kestrum {
namespace {

// A frame: start byte, command letter, end byte.
enum FrameByte : std::uint8_t {
  kFrameStart = 0xA3,
  kFrameEnd = 0x0A,
  kReadMemory = 'M',
  kReadCoefficients = 'P',
  kErase = 'R',
};

// The whole memory comes, byte 0 included; then eight coefficient bytes.
constexpr std::uint32_t kMemoryReply = kMemoryImageBytes;
constexpr std::uint32_t kCoefficientReply = 8;

class FramedDialect : public WireDialect {
 public:
  InstrumentModel Model() const override { return InstrumentModel::K8; }

  Result<> TransferMemory(InstrumentPort& port, ReceivedMemory& received) const override {
    port.SetK8Line();
    if (Result<> sent = port.Send({kFrameStart, kReadMemory, kFrameEnd}); !sent) return sent;
    const Result<Reply> memory = port.ReadShowingProgress(kMemoryReply);
    if (!memory) return memory.failure();
    MemoryImageBytes& image = *received.image;
    std::copy_n(memory->begin(), kMemoryReply, image.begin());
    image[0] = ModelMarkerOf(InstrumentModel::K8);

    port.Purge();
    port.Wait(25);
    if (Result<> sent = port.Send({kFrameStart, kReadCoefficients, kFrameEnd}); !sent) return sent;
    port.Wait(1);
    const Result<Reply> reply = port.Read(kCoefficientReply);
    port.Wait(1);
    if (!reply) return reply.failure();
    if (!PlausiblePressureCoefficients(DecodePressureCoefficients(reply->data))) {
      return Fail(FailureKind::kImplausible, ImplausibleReplyText("coefficient"));
    }
    std::copy_n(reply->begin(), kCoefficientReply, image.begin() + kPressureCoefficientsByte);
    return {};
  }

  // One frame holds the whole clock; 100 ms for the K8 to take it.
  Result<> SendClock(InstrumentPort& port, const ClockFields& fields) const override {
    port.SetK8Line();
    const auto frame = K8ClockFrame(fields);
    const Result<> sent = port.Send(frame.data(), frame.size());
    port.Wait(100);
    return sent;
  }

  Result<std::uint8_t> Erase(InstrumentPort& port) const override {
    port.SetK8Line();
    port.Wait(10);
    if (Result<> sent = port.Send({kFrameStart, kErase, kFrameEnd}); !sent) return sent.failure();
    port.LongWait(kEraseWaitMs);
    // The K8's answer says nothing; the frame having gone out counts, unless
    // the read finds the instrument gone: pulled out during the wait, it may
    // not have finished.
    const Result<Reply> answer = port.Read(kEraseReply);
    if (!answer && port.Shortfall().end == ReadEnd::kDeviceGone) return kNoAcknowledgement;
    return kEraseAcknowledged;
  }
  // No settings byte: the K8 keeps no trigger level.

 private:
  static constexpr int kEraseWaitMs = 5000;
  static constexpr std::uint32_t kEraseReply = 2;
};

const FramedDialect kFramedDialect;

}  // namespace

const WireDialect& kK8Dialect = kFramedDialect;

}  // namespace kestrum
