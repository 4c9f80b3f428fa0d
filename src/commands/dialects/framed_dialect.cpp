// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/dialects/framed_dialect.h"

#include <algorithm>

#include "commands/command_cycle.h"
#include "commands/download_files.h"
#include "commands/instrument_erase.h"
#include "commands/reply_plausibility.h"
#include "link/d2xx_unit.h"
#include "link/port_wait.h"

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

  bool TransferMemory(TransferLine& line, ReceivedMemory& received) const override {
    K8LineSetup();
    if (!line.Send({kFrameStart, kReadMemory, kFrameEnd})) return false;
    line.ShowTransferring();
    if (!line.ReadMemory(kMemoryReply)) return false;
    MemoryImageBytes& image = *received.image;
    std::copy_n(FTInBuffer.begin(), kMemoryReply, image.begin());
    image[0] = ModelMarkerOf(InstrumentModel::K8);

    PurgeFTReceive();
    PurgeFTTransmit();
    WaitMilliseconds(25);
    if (!line.Send({kFrameStart, kReadCoefficients, kFrameEnd})) return false;
    WaitMilliseconds(1);
    const bool coefficientsArrived = line.ReadInFull(kCoefficientReply);
    WaitMilliseconds(1);
    if (!coefficientsArrived) return false;
    const PressureCoefficients coefficients = DecodePressureCoefficients(FTInBuffer.data());
    if (!PlausiblePressureCoefficients(coefficients)) return line.Implausible("coefficient");
    std::copy_n(FTInBuffer.begin(), kCoefficientReply, image.begin() + 9);
    received.coefficients = coefficients;
    return true;
  }

  std::vector<DownloadCopy> Copies() const override {
    return {{kK8TableFile, DownloadCopy::Source::kWordTable, 0},
            {kK8ImageCopyFile, DownloadCopy::Source::kImage, kMemoryImageBytes}};
  }

  bool HasTriggerLevel() const override { return false; }

  // One frame holds the whole clock; 100 ms for the K8 to take it.
  bool SendClock(const ClockFields& fields) const override {
    K8LineSetup();
    const auto frame = K8ClockFrame(fields);
    std::copy(frame.begin(), frame.end(), FTOutBuffer.begin());
    const bool written = WriteFTDevice(frame.size()) == frame.size();
    WaitMilliseconds(100);
    return written;
  }

  bool ConfirmsClock() const override { return false; }

  bool Erase(CommandWindow& window, std::uint8_t& acknowledgement) const override {
    constexpr int kEraseWaitMs = 5000;
    constexpr std::uint32_t kEraseReply = 2;
    window.SetProgressText(kErasingText);
    window.RepaintStatusBar();
    K8LineSetup();
    window.SetProgressText(kErasingText);
    FTOutBuffer[0] = kFrameStart;
    FTOutBuffer[1] = kErase;
    FTOutBuffer[2] = kFrameEnd;
    WaitMilliseconds(10);
    if (WriteFTDevice(3) != 3) return false;
    LongWait(window, kEraseWaitMs);
    // The K8's answer says nothing; the frame having gone out counts, unless
    // the read finds the instrument gone: pulled out during the wait, it may
    // not have finished.
    if (ReadFTDevice(kEraseReply) < kEraseReply && LastReadEnd() == ReadEnd::kDeviceGone) {
      return true;
    }
    acknowledgement = kEraseAcknowledged;
    return true;
  }

  // The K8 keeps no trigger level; the trigger command never picks this
  // dialect (it asks by the identify exchange, which a K8 does not answer).
  bool WriteSettingsByte(std::uint8_t, std::uint8_t) const override { return false; }
};

}  // namespace

const WireDialect& K8Dialect() {
  static const FramedDialect dialect;
  return dialect;
}

}  // namespace kestrum
