// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/letter_dialect.h"

#include <algorithm>

#include "commands/command_cycle.h"
#include "commands/download_files.h"
#include "commands/reply_plausibility.h"
#include "link/d2xx_unit.h"
#include "link/port_wait.h"

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
constexpr std::uint32_t kMemoryReply = 131071;
constexpr std::uint32_t kParameterReply = 9;
constexpr std::uint32_t kCoefficientReply = 8;
constexpr std::uint8_t kFirstClockRegister = 2;
constexpr int kEraseWaitMs = 15000;

class LetterDialect : public WireDialect {
 public:
  InstrumentModel Model() const override { return InstrumentModel::K7; }

  bool TransferMemory(TransferLine& line, ReceivedMemory& received) const override {
    line.ShowTransferring();
    if (!line.Send({kReadMemory})) return false;
    WaitMilliseconds(10);
    if (!line.ReadMemory(kMemoryReply)) return false;
    MemoryImageBytes& image = *received.image;
    // Byte 0 is the marker; the last byte is not sent and keeps its value.
    std::copy(FTInBuffer.begin() + 1, FTInBuffer.begin() + kMemoryReply, image.begin() + 1);
    image[0] = ModelMarkerOf(InstrumentModel::K7);

    WaitMilliseconds(10);
    if (!line.Send({kReadParameters})) return false;
    WaitMilliseconds(10);
    if (!line.ReadInFull(kParameterReply)) return false;
    std::copy_n(FTInBuffer.begin(), 10, received.parameters.begin());

    if (!line.Send({kReadCoefficients})) return false;
    WaitMilliseconds(10);
    if (!line.ReadInFull(kCoefficientReply)) return false;
    // The coefficient words are taken from buffer offsets 1 to 8; byte 8
    // still holds the parameter reply's last byte.
    const PressureCoefficients coefficients = DecodePressureCoefficients(FTInBuffer.data() + 1);
    if (!PlausiblePressureCoefficients(coefficients)) return line.Implausible("coefficient");
    std::copy_n(FTInBuffer.begin() + 1, kCoefficientReply, image.begin() + 9);
    received.coefficients = coefficients;
    return true;
  }

  std::vector<DownloadCopy> Copies() const override {
    // The image copy holds just the bytes the download fills.
    return {{kK7TableFile, DownloadCopy::Source::kWordTable, 0},
            {kParameterCopyFile, DownloadCopy::Source::kParameters, kParameterBlockBytes},
            {kK7ImageCopyFile, DownloadCopy::Source::kImage, kMemoryReply}};
  }

  // Per register: 'C', then register and value.
  bool SendClock(const ClockFields& fields) const override {
    bool written = true;
    std::uint8_t reg = kFirstClockRegister;
    for (const std::uint8_t value : ClockRegisterValues(fields)) {
      written &= SendBytes({kSetClockRegister}) == 1;
      WaitMilliseconds(10);
      written &= SendBytes({reg, value}) == 2;
      WaitMilliseconds(10);
      ++reg;
    }
    return written;
  }

  // Write pointer 0x020000 = 131,072, directory byte 0, then 'E'.
  bool Erase(CommandWindow& window, std::uint8_t& acknowledgement) const override {
    const std::uint8_t frames[4][3] = {
        {0x00, 0x01, 0x02}, {0x00, 0x02, 0x00}, {0x00, 0x03, 0x00}, {0x00, 0x06, 0x00}};
    for (const auto& frame : frames) {
      if (SendBytes({kWriteMemory}) != 1) return false;
      WaitMilliseconds(10);
      if (SendBytes({frame[0], frame[1], frame[2]}) != 3) return false;
      WaitMilliseconds(10);
    }
    if (SendBytes({kErase}) != 1) return false;
    LongWait(window, kEraseWaitMs);
    if (ReadFTDevice(1) == 1) acknowledgement = FTInBuffer[0];
    return true;
  }

  // 'W', then address high, address low and data, 10 ms after each.
  bool WriteSettingsByte(std::uint8_t address, std::uint8_t value) const override {
    if (SendBytes({kWriteMemory}) != 1) return false;
    WaitMilliseconds(10);
    const std::uint32_t sent = SendBytes({0x00, address, value});
    WaitMilliseconds(10);
    return sent == 3;
  }
};

}  // namespace

const WireDialect& K7Dialect() {
  static const LetterDialect dialect;
  return dialect;
}

}  // namespace kestrum
