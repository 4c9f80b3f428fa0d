// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/wire_dialect.h"

#include "commands/instrument_erase.h"
#include "commands/reply_plausibility.h"
#include "link/nibble_coding.h"

namespace kestrum {
namespace {

constexpr std::uint8_t kFirstClockRegister = 2;
constexpr int kEraseWaitMs = 5000;
// Memory and parameter reads, and the clock and memory writes.
constexpr std::uint8_t kCommandPrefix = 0x04;
constexpr std::uint8_t kReadMemory = 0x0D;
constexpr std::uint8_t kReadParametersFirst = 0x03;
constexpr std::uint8_t kReadParametersSecond = 0x00;
constexpr std::uint8_t kWriteFirst = 0x05;
constexpr std::uint8_t kWriteSecond = 0x07;
constexpr std::uint8_t kClockRegisterFollows = 0x03;
constexpr std::uint8_t kErase = 0x05;
constexpr std::uint32_t kParameterReply = 18;

// What tells the K5 and the K6 apart on the wire.
struct NibbleModel {
  InstrumentModel model;

  // Waits before the parameter request and between it and its reply.
  int waitBeforeParametersMs;
  int waitForParametersMs;
  // The memory reply: one wire byte short of two per memory byte.
  constexpr std::uint32_t MemoryReply() const {
    return static_cast<std::uint32_t>(2 * ImageLengthOf(model) - 1);
  }
  // High byte of the empty write pointer: memory size / 256.
  constexpr std::uint8_t EmptyPointerHigh() const {
    return static_cast<std::uint8_t>(ImageLengthOf(model) / 256);
  }
};

constexpr NibbleModel kK5{InstrumentModel::K5, 100, 0};
constexpr NibbleModel kK6{InstrumentModel::K6, 250, 25};

// Byte `pair` of a nibble-coded reply.
std::uint8_t NibblePair(const Reply& reply, std::size_t pair) {
  return NibbleValue(reply[2 * pair], reply[2 * pair + 1]);
}

class NibbleDialect : public WireDialect {
 public:
  explicit constexpr NibbleDialect(const NibbleModel& model) : model_(model) {}

  InstrumentModel Model() const override { return model_.model; }

  Result<> TransferMemory(InstrumentPort& port, ReceivedMemory& received) const override {
    if (Result<> sent = port.Send({kCommandPrefix, kReadMemory}); !sent) return sent;
    port.Wait(25);
    // The reply is one wire byte short of the memory: the last low nibble is
    // whatever the receive buffer held there.
    const auto imageBytes = static_cast<std::size_t>(ImageLengthOf(model_.model));
    const Result<Reply> memory =
        port.ReadShowingProgress(model_.MemoryReply(), 2 * imageBytes, ReplyCoding::kNibble);
    if (!memory) return memory.failure();
    MemoryImageBytes& image = *received.image;
    for (std::size_t j = 0; j < imageBytes; ++j) image[j] = NibblePair(memory.value(), j);
    image[0] = ModelMarkerOf(model_.model);

    port.Wait(model_.waitBeforeParametersMs);
    if (Result<> sent = port.Send({kReadParametersFirst, kReadParametersSecond}); !sent) {
      return sent;
    }
    if (model_.waitForParametersMs > 0) port.Wait(model_.waitForParametersMs);
    // Ten bytes from nine: the tenth pair still holds memory wire bytes.
    const Result<Reply> parameters = port.Read(kParameterReply, 20, ReplyCoding::kNibble);
    if (!parameters) return parameters.failure();
    if (!PlausibleNibbleReply(parameters->data, kParameterReply)) {
      return Fail(FailureKind::kImplausible, ImplausibleReplyText("parameter"));
    }
    for (std::size_t j = 0; j < 10; ++j) received.parameters[j] = NibblePair(parameters.value(), j);
    return {};
  }

  // Per register: 04, 03, then register and value as nibbles.
  Result<> SendClock(InstrumentPort& port, const ClockFields& fields) const override {
    Result<> written;
    std::uint8_t reg = kFirstClockRegister;
    for (const std::uint8_t value : ClockRegisterValues(fields)) {
      // Every register is tried: a short write is reported once at the end.
      port.Wait(50);
      written = FirstFailure(written, port.Send({kCommandPrefix}));
      written = FirstFailure(written, port.Send({kClockRegisterFollows}));
      port.Wait(5);
      written = FirstFailure(written, port.Send({HighNibble(reg), LowNibble(reg), HighNibble(value),
                                                 LowNibble(value)}));
      ++reg;
    }
    return written;
  }

  // The header is reset to an empty memory (write pointer at the top,
  // directory and slot byte 0), then the erase command.
  Result<std::uint8_t> Erase(InstrumentPort& port) const override {
    port.Wait(25);
    const std::uint8_t pointerHigh = model_.EmptyPointerHigh();
    const std::uint8_t frames[3][6] = {
        {0x00, 0x00, 0x00, 0x02, HighNibble(pointerHigh), LowNibble(pointerHigh)},
        {0x00, 0x00, 0x00, 0x03, 0x00, 0x00},
        {0x00, 0x00, 0x00, 0x06, 0x00, 0x00},
    };
    for (const auto& frame : frames) {
      if (Result<> sent = port.Send({kWriteFirst, kWriteSecond}); !sent) return sent.failure();
      if (Result<> sent = port.Send(frame, 6); !sent) return sent.failure();
      port.Wait(25);
    }
    if (Result<> sent = port.Send({kCommandPrefix, kErase}); !sent) return sent.failure();
    port.LongWait(kEraseWaitMs);
    const Result<Reply> answer = port.Read(2, 0, ReplyCoding::kNibble);
    return answer ? NibblePair(answer.value(), 0) : kNoAcknowledgement;
  }

  // 05 07, then address and data as nibbles, 25 ms apart, 100 ms after.
  Result<> WriteSettingsByte(InstrumentPort& port, std::uint8_t address,
                             std::uint8_t value) const override {
    if (Result<> sent = port.Send({kWriteFirst, kWriteSecond}); !sent) return sent;
    port.Wait(25);
    const Result<> sent = port.Send(
        {0x00, 0x00, HighNibble(address), LowNibble(address), HighNibble(value), LowNibble(value)});
    port.Wait(100);
    return sent;
  }

 private:
  NibbleModel model_;
};

const NibbleDialect kK5NibbleDialect(kK5);
const NibbleDialect kK6NibbleDialect(kK6);

}  // namespace

const WireDialect& kK5Dialect = kK5NibbleDialect;
const WireDialect& kK6Dialect = kK6NibbleDialect;

}  // namespace kestrum
