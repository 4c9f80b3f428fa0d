// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/wire_dialect.h"

#include <algorithm>

#include "commands/instrument_erase.h"
#include "commands/reply_plausibility.h"

namespace kestrum {
namespace {

// The K7's commands, one letter each.
enum Command : std::uint8_t {
  kReadMemory = 'M',
  kReadParameters = '0',
  kReadCoefficients = 'P',
  kSetClockRegister = 'C',
  kWriteMemory = 'W',
  kErase = 'E',
};

// The memory reply leaves out the last byte, which keeps its earlier value.
constexpr auto kMemoryReply = static_cast<std::uint32_t>(ImageLengthOf(InstrumentModel::K7) - 1);
constexpr std::uint32_t kParameterReply = 9;
constexpr std::uint32_t kCoefficientReply = 8;
constexpr std::uint8_t kFirstClockRegister = 2;
constexpr int kEraseWaitMs = 15000;

class LetterDialect : public WireDialect {
 public:
  InstrumentModel Model() const override { return InstrumentModel::K7; }

  Result<> TransferMemory(InstrumentPort& port, ReceivedMemory& received) const override {
    if (Result<> sent = port.Send({kReadMemory}); !sent) return sent;
    port.Wait(10);
    const Result<Reply> memory = port.ReadShowingProgress(kMemoryReply);
    if (!memory) return memory.failure();
    MemoryImageBytes& image = *received.image;
    // Byte 0 is the marker; the last byte is not sent and keeps its value.
    std::copy(memory->begin() + 1, memory->end(), image.begin() + 1);
    image[0] = ModelMarkerOf(InstrumentModel::K7);

    port.Wait(10);
    if (Result<> sent = port.Send({kReadParameters}); !sent) return sent;
    port.Wait(10);
    // Ten bytes of a nine-byte reply: the tenth is what the memory reply left.
    const Result<Reply> parameters = port.Read(kParameterReply, 10);
    if (!parameters) return parameters.failure();
    std::copy(parameters->begin(), parameters->end(), received.parameters.begin());

    if (Result<> sent = port.Send({kReadCoefficients}); !sent) return sent;
    port.Wait(10);
    // The coefficient words are taken from reply bytes 1 to 8; byte 8 still
    // holds the parameter reply's last byte.
    const Result<Reply> reply = port.Read(kCoefficientReply, kCoefficientReply + 1);
    if (!reply) return reply.failure();
    if (!PlausiblePressureCoefficients(DecodePressureCoefficients(reply->data + 1))) {
      return Fail(FailureKind::kImplausible, ImplausibleReplyText("coefficient"));
    }
    std::copy(reply->begin() + 1, reply->end(), image.begin() + kPressureCoefficientsByte);
    return {};
  }

  // Per register: 'C', then register and value.
  Result<> SendClock(InstrumentPort& port, const ClockFields& fields) const override {
    Result<> written;
    std::uint8_t reg = kFirstClockRegister;
    for (const std::uint8_t value : ClockRegisterValues(fields)) {
      // Every register is tried: a short write is reported once at the end.
      written = FirstFailure(written, port.Send({kSetClockRegister}));
      port.Wait(10);
      written = FirstFailure(written, port.Send({reg, value}));
      port.Wait(10);
      ++reg;
    }
    return written;
  }

  // Write pointer 0x020000 = 131,072, directory byte 0, then 'E'.
  Result<std::uint8_t> Erase(InstrumentPort& port) const override {
    const std::uint8_t frames[4][3] = {
        {0x00, 0x01, 0x02}, {0x00, 0x02, 0x00}, {0x00, 0x03, 0x00}, {0x00, 0x06, 0x00}};
    for (const auto& frame : frames) {
      if (Result<> sent = port.Send({kWriteMemory}); !sent) return sent.failure();
      port.Wait(10);
      if (Result<> sent = port.Send(frame, 3); !sent) return sent.failure();
      port.Wait(10);
    }
    if (Result<> sent = port.Send({kErase}); !sent) return sent.failure();
    port.LongWait(kEraseWaitMs);
    const Result<Reply> answer = port.Read(1);
    return answer ? answer.value()[0] : kNoAcknowledgement;
  }

  // 'W', then address high, address low and data, 10 ms after each.
  Result<> WriteSettingsByte(InstrumentPort& port, std::uint8_t address,
                             std::uint8_t value) const override {
    if (Result<> sent = port.Send({kWriteMemory}); !sent) return sent;
    port.Wait(10);
    const Result<> sent = port.Send({0x00, address, value});
    port.Wait(10);
    return sent;
  }
};

const LetterDialect kLetterDialect;

}  // namespace

const WireDialect& kK7Dialect = kLetterDialect;

}  // namespace kestrum
