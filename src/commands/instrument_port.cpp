// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/instrument_port.h"

#include <algorithm>

#include "commands/reply_plausibility.h"
#include "link/port_wait.h"
#include "records/whole_number_text.h"

namespace kestrum {

void InstrumentPort::Close() {
  CloseFTDevice();
}

Result<> InstrumentPort::Send(std::initializer_list<std::uint8_t> bytes) {
  return Send(bytes.begin(), bytes.size());
}

Result<> InstrumentPort::Send(const std::uint8_t* bytes, std::size_t count) {
  std::copy_n(bytes, count, FTOutBuffer.begin());
  const auto requested = static_cast<std::uint32_t>(count);
  const std::uint32_t sent = WriteFTDevice(requested);
  if (sent >= requested) return {};
  return Fail(FailureKind::kUnsent, UnsentCommandText(sent, requested));
}

Result<Reply> InstrumentPort::ReadShowingProgress(std::uint32_t count, std::size_t width,
                                                  ReplyCoding coding) {
  events_.MemoryTransferBegins(count);
  SetReadProgressHook([this](std::uint32_t received, std::uint32_t requested) {
    return events_.MemoryTransferProgress(received, requested);
  });
  Result<Reply> reply = Read(count, width, coding);
  SetReadProgressHook({});
  events_.MemoryTransferEnds();
  return reply;
}

Result<Reply> InstrumentPort::Read(std::uint32_t count, std::size_t width, ReplyCoding coding) {
  const std::uint32_t received = ReadFTDevice(count);
  if (received >= count) {
    shortfall_ = {};
    return Reply{FTInBuffer.data(), std::max<std::size_t>(count, width)};
  }
  shortfall_ = {received, count, LastReadEnd()};
  switch (shortfall_.end) {
    case ReadEnd::kCancelled:
      return Fail(FailureKind::kCancelled, kDownloadCancelledText);
    case ReadEnd::kBytesLost:
      return Fail(FailureKind::kBytesLost, BytesLostText(received, count));
    case ReadEnd::kDeviceGone:
      return Fail(FailureKind::kShortReply, ConverterGoneText(received, count));
    default:
      if (coding == ReplyCoding::kNibble && !PlausibleNibbleReply(FTInBuffer.data(), received)) {
        return Fail(FailureKind::kShortReply, GarbledReplyText(received, count));
      }
      return Fail(FailureKind::kShortReply, IncompleteTransferText(received, count));
  }
}

void InstrumentPort::Wait(int milliseconds) {
  WaitMilliseconds(milliseconds);
}

void InstrumentPort::LongWait(int milliseconds) {
  events_.LongWaitBegins(milliseconds);
  WaitMilliseconds(milliseconds, [this](int elapsedMs, int totalMs) {
    events_.LongWaitTick(elapsedMs, totalMs);
  });
  events_.LongWaitEnds();
}

Result<> InstrumentPort::DrainIfBusy() {
  if (!FTReceiveMayBeBusy()) return {};
  events_.DrainBegins();
  const bool quiet = DrainFTReceive(
      kLineQuietMs, [this](std::uint32_t drained) { return events_.DrainProgress(drained); });
  events_.DrainEnds();
  if (!quiet) {
    return Fail(FailureKind::kCancelled,
                "the wait for the instrument to finish sending was cancelled");
  }
  return {};
}

void InstrumentPort::PurgeReceive() {
  PurgeFTReceive();
}

void InstrumentPort::Purge() {
  PurgeFTReceive();
  PurgeFTTransmit();
}

void InstrumentPort::SetK8Line() {
  FTParity = FT_PARITY_NONE;
  FTStopBits = FT_STOP_BITS_1;
  FTWordLength = FT_BITS_8;
  SetFTDataCharacteristics();
  FTFlowControl = FT_FLOW_NONE;
  SetFTFlowControl();
  FTBaudRate = 230400;
  SetFTBaudRate();
}

std::string IncompleteTransferText(std::uint32_t received, std::uint32_t requested) {
  return "The transfer from the Kestrum was incomplete: " + std::to_string(received) + " of " +
         std::to_string(requested) +
         " bytes arrived. Nothing was changed; check the cable and try again.";
}

std::string ConverterGoneText(std::uint32_t received, std::uint32_t requested) {
  return "The Kestrum's converter went away (unplugged?) after " + std::to_string(received) +
         " of " + std::to_string(requested) +
         " bytes. Nothing was changed; plug it in again and try again.";
}

std::string GarbledReplyText(std::uint32_t received, std::uint32_t requested) {
  return "The reply from the Kestrum came garbled: " + std::to_string(received) + " of " +
         std::to_string(requested) +
         " bytes arrived, and they are not what an instrument sends. Nothing was changed; "
         "check that no other device shares the converter and try again.";
}

std::string BytesLostText(std::uint32_t received, std::uint32_t requested) {
  return "The transfer from the Kestrum failed: bytes were lost on the line after " +
         std::to_string(received) + " of " + std::to_string(requested) +
         " bytes. Nothing was changed; try again.";
}

std::string UnsentCommandText(std::uint32_t sent, std::uint32_t count) {
  return "The Kestrum did not take a command: " + std::to_string(sent) + " of " +
         ByteCountText(count) + " went out. Nothing was changed; check the cable and try again.";
}

}  // namespace kestrum
