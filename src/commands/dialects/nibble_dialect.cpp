// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/nibble_dialect.h"

#include "commands/command_cycle.h"
#include "commands/download_files.h"
#include "commands/reply_plausibility.h"
#include "link/d2xx_unit.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

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
  // The memory reply: one wire byte short of two per memory byte.
  std::uint32_t memoryReply;
  const char* imageCopy;
  // Waits before the parameter request and between it and its reply.
  int waitBeforeParametersMs;
  int waitForParametersMs;
  // High byte of the empty write pointer: memory size / 256.
  std::uint8_t emptyPointerHigh;
};

constexpr NibbleModel kK5{InstrumentModel::K5, 16383, kK5ImageCopyFile, 100, 0, 0x20};
constexpr NibbleModel kK6{InstrumentModel::K6, 65535, kK6ImageCopyFile, 250, 25, 0x80};

std::uint8_t WireNibbleValue(std::size_t pair) {
  return NibbleValue(FTInBuffer[2 * pair], FTInBuffer[2 * pair + 1]);
}

class NibbleDialect : public WireDialect {
 public:
  explicit constexpr NibbleDialect(const NibbleModel& model) : m_(model) {}

  InstrumentModel Model() const override { return m_.model; }

  bool TransferMemory(TransferLine& line, ReceivedMemory& received) const override {
    line.ShowTransferring();
    if (!line.Send({kCommandPrefix, kReadMemory})) return false;
    WaitMilliseconds(25);
    if (!line.ReadMemory(m_.memoryReply)) return false;
    // The reply is one wire byte short of the memory: the last low nibble is
    // whatever the receive buffer held there.
    MemoryImageBytes& image = *received.image;
    const auto imageBytes = static_cast<std::size_t>(ImageLengthOf(m_.model));
    for (std::size_t j = 0; j < imageBytes; ++j) image[j] = WireNibbleValue(j);
    image[0] = ModelMarkerOf(m_.model);

    WaitMilliseconds(m_.waitBeforeParametersMs);
    if (!line.Send({kReadParametersFirst, kReadParametersSecond})) return false;
    if (m_.waitForParametersMs > 0) WaitMilliseconds(m_.waitForParametersMs);
    if (!line.ReadInFull(kParameterReply)) return false;
    if (!PlausibleNibbleReply(FTInBuffer.data(), kParameterReply)) {
      return line.Implausible("parameter");
    }
    // Ten bytes from nine: the tenth pair still holds memory wire bytes.
    for (std::size_t j = 0; j < 10; ++j) received.parameters[j] = WireNibbleValue(j);
    return true;
  }

  std::vector<DownloadCopy> Copies() const override {
    return {{kParameterCopyFile, DownloadCopy::Source::kParameters, kParameterBlockBytes},
            {m_.imageCopy, DownloadCopy::Source::kImage,
             static_cast<std::size_t>(ImageLengthOf(m_.model))}};
  }

  // Per register: 04, 03, then register and value as nibbles.
  bool SendClock(const ClockFields& fields) const override {
    bool written = true;
    std::uint8_t reg = kFirstClockRegister;
    for (const std::uint8_t value : ClockRegisterValues(fields)) {
      WaitMilliseconds(50);
      written &= SendBytes({kCommandPrefix}) == 1;
      written &= SendBytes({kClockRegisterFollows}) == 1;
      WaitMilliseconds(5);
      written &=
          SendBytes({HighNibble(reg), LowNibble(reg), HighNibble(value), LowNibble(value)}) == 4;
      ++reg;
    }
    return written;
  }

  // The header is reset to an empty memory (write pointer at the top,
  // directory and slot byte 0), then the erase command.
  bool Erase(CommandWindow& window, std::uint8_t& acknowledgement) const override {
    WaitMilliseconds(25);
    const std::uint8_t pointerHigh = m_.emptyPointerHigh;
    const std::uint8_t frames[3][6] = {
        {0x00, 0x00, 0x00, 0x02, HighNibble(pointerHigh), LowNibble(pointerHigh)},
        {0x00, 0x00, 0x00, 0x03, 0x00, 0x00},
        {0x00, 0x00, 0x00, 0x06, 0x00, 0x00},
    };
    for (const auto& frame : frames) {
      if (SendBytes({kWriteFirst, kWriteSecond}) != 2) return false;
      if (SendBytes({frame[0], frame[1], frame[2], frame[3], frame[4], frame[5]}) != 6)
        return false;
      WaitMilliseconds(25);
    }
    if (SendBytes({kCommandPrefix, kErase}) != 2) return false;
    LongWait(window, kEraseWaitMs);
    if (ReadFTDevice(2) == 2) acknowledgement = WireNibbleValue(0);
    return true;
  }

  // 05 07, then address and data as nibbles, 25 ms apart, 100 ms after.
  bool WriteSettingsByte(std::uint8_t address, std::uint8_t value) const override {
    if (SendBytes({kWriteFirst, kWriteSecond}) != 2) return false;
    WaitMilliseconds(25);
    const std::uint32_t sent = SendBytes(
        {0x00, 0x00, HighNibble(address), LowNibble(address), HighNibble(value), LowNibble(value)});
    WaitMilliseconds(100);
    return sent == 6;
  }

 private:
  NibbleModel m_;
};

}  // namespace

const WireDialect& K5Dialect() {
  static const NibbleDialect dialect(kK5);
  return dialect;
}

const WireDialect& K6Dialect() {
  static const NibbleDialect dialect(kK6);
  return dialect;
}

}  // namespace kestrum
