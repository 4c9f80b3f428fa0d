#include "commands/command_cycle.h"

#include <algorithm>

#include "commands/nibble_value.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"

namespace kestrum {

bool SelectedInstrumentIsK8() {
  return SelectedInstrument.Description == kK8Description;
}

bool OpenSelectedInstrument() {
  const FtStatus status = Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo);
  return status == FT_OK && InstrumentAttached;
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
