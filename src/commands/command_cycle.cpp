#include "commands/command_cycle.h"

#include <algorithm>
#include <utility>

#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

namespace kestrum {
namespace {

LineDrainDisplay g_drain_display;

bool WaitForQuietLine() {
  if (g_drain_display.begins) g_drain_display.begins();
  const bool quiet = DrainFTReceive(kLineQuietMs, g_drain_display.progress);
  if (g_drain_display.ends) g_drain_display.ends();
  return quiet;
}

}  // namespace

void SetLineDrainDisplay(LineDrainDisplay display) {
  g_drain_display = std::move(display);
}

bool SelectedInstrumentIsK8() {
  return IsK8Description(SelectedInstrument.Description);
}

bool OpenSelectedInstrument() {
  const FtStatus status = Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo);
  if (status != FT_OK || !InstrumentAttached) return false;
  if (!FTReceiveMayBeBusy()) return true;
  // The K8 sends at its own rate; listen at that rate.
  if (SelectedInstrumentIsK8()) K8LineSetup();
  return WaitForQuietLine();
}

void K8LineSetup() {
  FTParity = FT_PARITY_NONE;
  FTStopBits = FT_STOP_BITS_1;
  FTWordLength = FT_BITS_8;
  SetFTDataCharacteristics();
  FTFlowControl = FT_FLOW_NONE;
  SetFTFlowControl();
  FTBaudRate = 230400;
  SetFTBaudRate();
}

std::uint8_t IdentifyExchange(std::uint32_t* received) {
  SendBytes({0xF3, 0x3F});
  WaitMilliseconds(25);
  const std::uint32_t count = ReadFTDevice(kIdentifyReply);
  if (received) *received = count;
  if (count < kIdentifyReply) return kNoModelCode;
  return NibbleValue(FTInBuffer[0], FTInBuffer[1]);
}

std::uint32_t SendBytes(std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), FTOutBuffer.begin());
  return WriteFTDevice(static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace kestrum
