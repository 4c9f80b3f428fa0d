// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/measurement_download.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "commands/download_files.h"
#include "commands/parameter_block.h"
#include "commands/reply_plausibility.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"
#include "records/checked_file.h"
#include "records/data_file.h"
#include "records/decoder_inputs.h"
#include "records/kept_downloads.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

// Sent first and its answer thrown away: it wakes a K5-K7 up.
constexpr std::uint8_t kWakeUp[] = {0xF3, 0x3F};

class Download : public TransferLine {
 public:
  Download(MeasurementStore& store, const DownloadSettings& settings, CommandWindow& window)
      : store_(store), settings_(settings), window_(window) {}

  DownloadOutcome Run();

  bool Send(std::initializer_list<std::uint8_t> bytes) override;
  bool ReadMemory(std::uint32_t count) override;
  // False (and the outcome set to kIncomplete) when fewer bytes came.
  bool ReadInFull(std::uint32_t count) override;
  void ShowTransferring() override;
  bool Implausible(const char* reply) override;

 private:
  void Exchange();
  // Status "Connecting", then the wake-up query.
  bool WakeUp();
  void NoteIncomplete(std::uint32_t received, std::uint32_t requested);
  // A copy that cannot be written is reported in the status text; the
  // download itself still counts.
  void WriteCopy(const DownloadCopy& copy);
  // The one place the store takes a download.
  void Commit(const ReceivedMemory& received, InstrumentModel model);
  // Keeps the store's image in the kept-downloads folder; a failure is
  // reported with the copies.
  void Keep(InstrumentModel model);
  void Decode(InstrumentModel model);
  // Clears the status text (or shows the copies that could not be written)
  // and enables the download button again.
  void Finish();

  std::string Path(const char* name) const { return DownloadFilePath(settings_.directory, name); }

  MeasurementStore& store_;
  const DownloadSettings& settings_;
  CommandWindow& window_;
  DownloadOutcome outcome_;
  std::string copyErrors_;
};

DownloadOutcome Download::Run() {
  window_.SetDownloadButtonEnabled(false);
  window_.SetTemperatureHumidityEnabled(false);
  if (!IsDownloadDescription(SelectedInstrument.Description)) {
    outcome_.end = DownloadEnd::kRefusedDescription;
  } else if (const Result<> opened = OpenSelectedInstrument(); !opened) {
    outcome_.end = DownloadEnd::kNotOpened;
    outcome_.openFailure = opened.error();
  } else {
    Exchange();
  }
  window_.RepaintStatusBar();
  CloseFTDevice();
  return outcome_;
}

void Download::Exchange() {
  IdentifySteps steps;
  steps.before = [this] { return WakeUp(); };
  steps.waitAfterMs = 25;
  const DialectChoice choice = ChooseDialect(steps);
  if (choice.stopped) return Finish();
  outcome_.modelCode = choice.modelCode;
  if (!choice.dialect) {
    // An instrument that does not answer at all is a broken transfer, not
    // an unknown model: nothing is shown or written again.
    if (choice.identifyReceived < kIdentifyReply) {
      NoteIncomplete(choice.identifyReceived, kIdentifyReply);
    } else {
      // Whatever answered is no instrument we know: nothing is touched.
      outcome_.end = DownloadEnd::kUnknownModel;
      outcome_.error = UnknownModelText(outcome_.modelCode);
    }
    return Finish();
  }
  const WireDialect& dialect = *choice.dialect;
  ReceivedMemory received(store_);
  if (!dialect.TransferMemory(*this, received)) return Finish();

  // Every reply is in: only now are files written and the store changed.
  Commit(received, dialect.Model());
  if (dialect.HasTriggerLevel()) window_.ShowLevelButton();
  for (const DownloadCopy& copy : dialect.Copies()) WriteCopy(copy);
  Keep(dialect.Model());
  Decode(dialect.Model());
  Finish();
}

bool Download::WakeUp() {
  window_.SetProgressText(kConnectingText);
  window_.RepaintStatusBar();
  if (!Send({kWakeUp[0], kWakeUp[1]})) return false;
  WaitMilliseconds(25);
  ReadFTDevice(1);
  WaitMilliseconds(25);
  PurgeFTReceive();
  return true;
}

void Download::ShowTransferring() {
  window_.SetProgressText(kTransferingText);
  window_.RepaintStatusBar();
}

bool Download::Send(std::initializer_list<std::uint8_t> bytes) {
  const auto count = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t sent = SendBytes(bytes);
  if (sent >= count) return true;
  outcome_.end = DownloadEnd::kIncomplete;
  outcome_.error = UnsentCommandText(sent, count);
  return false;
}

bool Download::ReadMemory(std::uint32_t count) {
  window_.MemoryTransferBegins(count);
  const bool complete = ReadInFull(count);
  window_.MemoryTransferEnds();
  return complete;
}

bool Download::ReadInFull(std::uint32_t count) {
  const std::uint32_t received = ReadFTDevice(count);
  if (received >= count) return true;
  NoteIncomplete(received, count);
  return false;
}

bool Download::Implausible(const char* reply) {
  outcome_.end = DownloadEnd::kImplausibleReply;
  outcome_.error = ImplausibleReplyText(reply);
  return false;
}

void Download::NoteIncomplete(std::uint32_t received, std::uint32_t requested) {
  outcome_.end = DownloadEnd::kIncomplete;
  outcome_.received = received;
  outcome_.requested = requested;
  switch (LastReadEnd()) {
    case ReadEnd::kCancelled:
      outcome_.end = DownloadEnd::kCancelled;
      outcome_.error = kDownloadCancelledText;
      break;
    case ReadEnd::kBytesLost:
      outcome_.error = BytesLostText(received, requested);
      break;
    default:
      outcome_.error = IncompleteTransferText(received, requested);
      break;
  }
}

void Download::WriteCopy(const DownloadCopy& copy) {
  std::string table;
  std::string_view content;
  switch (copy.source) {
    case DownloadCopy::Source::kParameters:
      content = std::string_view(reinterpret_cast<const char*>(ParameterBlock.data()), copy.bytes);
      break;
    case DownloadCopy::Source::kImage:
      content =
          std::string_view(reinterpret_cast<const char*>(store_.MemoryImage.data()), copy.bytes);
      break;
    case DownloadCopy::Source::kWordTable:
      table = WordTableText(store_.MemoryImage.data());
      content = table;
      break;
  }
  const Result<> written = WriteFileReplacing(Path(copy.name), content);
  if (written) return;
  if (!copyErrors_.empty()) copyErrors_ += "; ";
  copyErrors_ += CopyNotWrittenText(copy.name, written.error());
}

void Download::Commit(const ReceivedMemory& received, InstrumentModel model) {
  std::copy(received.parameters.begin(), received.parameters.end(), ParameterBlock.begin());
  store_.MemoryImage = *received.image;
  if (received.coefficients) SetPressureCoefficients(store_, *received.coefficients);
  store_.DirectorySlot = DirectorySlotOf(store_);
  store_.CalibrationFactor = CalibrationFactorOf(store_);
  store_.FinalAddress = FinalAddressOf(store_, model);
}

void Download::Keep(InstrumentModel model) {
  if (settings_.keepFolder.empty()) return;
  outcome_.kept = KeepDownload(settings_.keepFolder, model, SelectedInstrument.SerialNo,
                               settings_.decode.now, DataFileContent(store_));
  if (*outcome_.kept) return;
  if (!copyErrors_.empty()) copyErrors_ += "; ";
  copyErrors_ += DownloadNotKeptText(settings_.keepFolder, outcome_.kept->error());
}

void Download::Decode(InstrumentModel model) {
  outcome_.decodedModel = model;
  outcome_.decode = DecodeImageAs(model, store_, settings_.decode);
  outcome_.end = DownloadEnd::kDecoded;
}

void Download::Finish() {
  outcome_.copyErrors = copyErrors_;
  window_.SetProgressText(copyErrors_);
  window_.SetDownloadButtonEnabled(true);
}

}  // namespace

std::string IncompleteTransferText(std::uint32_t received, std::uint32_t requested) {
  return "The transfer from the Kestrum was incomplete: " + std::to_string(received) + " of " +
         std::to_string(requested) +
         " bytes arrived. Nothing was changed; check the cable and try again.";
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

std::string UnknownModelText(std::uint8_t modelCode) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", modelCode);
  return std::string("The instrument answered with an unknown model code ") + code +
         "; nothing was changed";
}

std::string CopyNotWrittenText(const std::string& name, const std::string& error) {
  return "The copy " + name + " was not written: " + error;
}

DownloadOutcome DownloadMeasurements(MeasurementStore& store, const DownloadSettings& settings,
                                     CommandWindow& window) {
  return Download(store, settings, window).Run();
}

}  // namespace kestrum
