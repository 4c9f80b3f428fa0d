// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/measurement_download.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "commands/download_files.h"
#include "commands/parameter_block.h"
#include "link/instrument_detection.h"
#include "link/nibble_coding.h"
#include "records/checked_file.h"
#include "records/data_file.h"
#include "records/decoder_inputs.h"
#include "records/kept_downloads.h"
#include "records/model_capabilities.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

// Sent first and its answer thrown away: it wakes a K5-K7 up.

class Download {
 public:
  Download(MeasurementStore& store, const DownloadSettings& settings, CommandWindow& window)
      : store_(store), settings_(settings), window_(window) {}

  DownloadOutcome Run();

 private:
  void AfterNoDialect(const DialectChoice& choice);
  void Transfer(const WireDialect& dialect, InstrumentPort& port);
  // Status "Connecting", then the wake-up query.
  bool WakeUp(InstrumentPort& port);
  // Why the transfer ended early, as the port saw it.
  void NoteFailure(const PortFailure& stop);
  // A copy that cannot be written is reported in the status text; the
  // download itself still counts.
  void WriteCopy(const DownloadCopy& copy);
  // The one place the store takes a download.
  void Commit(const ReceivedMemory& received);
  // Keeps the store's image in the kept-downloads folder; a failure is
  // reported with the copies.
  void Keep(InstrumentModel model);
  void Decode(InstrumentModel model);
  // Clears the status text, or shows the copies that could not be written.
  void Finish();

  std::string Path(const char* name) const { return DownloadFilePath(settings_.directory, name); }

  MeasurementStore& store_;
  const DownloadSettings& settings_;
  CommandWindow& window_;
  DownloadOutcome outcome_;
  std::optional<Result<KeptDownload>> kept_;
  std::string copyErrors_;
};

DownloadOutcome Download::Run() {
  if (!IsDownloadDescription(SelectedInstrument.Description)) {
    outcome_.end = DownloadRefused{};
    InstrumentPort(window_).Close();
  } else {
    CycleSteps steps;
    steps.beforeIdentify = [this](InstrumentPort& port) { return WakeUp(port); };
    steps.waitAfterIdentifyMs = 25;
    const CycleResult cycle = WithInstrument(
        window_, steps,
        [this](const WireDialect& dialect, InstrumentPort& port) { Transfer(dialect, port); });
    outcome_.modelCode = cycle.choice.modelCode;
    if (cycle.end == CycleEnd::kNotOpened) outcome_.end = DownloadNotOpened{cycle.openFailure};
    if (cycle.end == CycleEnd::kStopped) Finish();
    if (cycle.end == CycleEnd::kUnknownModel) AfterNoDialect(cycle.choice);
  }
  window_.RepaintStatusBar();
  return outcome_;
}

void Download::AfterNoDialect(const DialectChoice& choice) {
  // An instrument that does not answer at all is a broken transfer, not an
  // unknown model: nothing is shown or written again.
  if (choice.identifyFailure) {
    NoteFailure(*choice.identifyFailure);
  } else {
    // Whatever answered is no instrument we know: nothing is touched.
    outcome_.end = DownloadUnknownModel{UnknownModelText(outcome_.modelCode)};
  }
  Finish();
}

void Download::Transfer(const WireDialect& dialect, InstrumentPort& port) {
  window_.SetProgressText(kTransferingText);
  window_.RepaintStatusBar();
  ReceivedMemory received(store_);
  if (const Result<> transferred = dialect.TransferMemory(port, received); !transferred) {
    NoteFailure({transferred.failure(), port.Shortfall()});
    return Finish();
  }

  // Every reply is in: only now are files written and the store changed.
  Commit(received);
  const ModelCapabilities& row = CapabilitiesOf(dialect.Model());
  for (const DownloadCopy& copy : row.copies) WriteCopy(copy);
  Keep(dialect.Model());
  Decode(dialect.Model());
  Finish();
}

bool Download::WakeUp(InstrumentPort& port) {
  window_.SetProgressText(kConnectingText);
  window_.RepaintStatusBar();
  if (const Result<> sent = port.Send(kIdentifyQuery, sizeof kIdentifyQuery); !sent) {
    NoteFailure({sent.failure(), port.Shortfall()});
    return false;
  }
  port.Wait(25);
  (void)port.Read(1);  // the answer says nothing
  port.Wait(25);
  port.PurgeReceive();
  return true;
}

void Download::NoteFailure(const PortFailure& stop) {
  DownloadStopped stopped{stop};
  // Every exchange went through and a reply was refused, or nothing was read.
  const FailureKind kind = stop.failure.kind;
  if (kind == FailureKind::kImplausible || kind == FailureKind::kUnsent) stopped.shortfall = {};
  outcome_.end = std::move(stopped);
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

void Download::Commit(const ReceivedMemory& received) {
  std::copy(received.parameters.begin(), received.parameters.end(), ParameterBlock.begin());
  store_.MemoryImage = *received.image;
  SetDecoderInputsFromImage(store_);
}

void Download::Keep(InstrumentModel model) {
  if (settings_.keepFolder.empty()) return;
  std::string bytes = DataFileContent(store_);
  const Result<KeptDownloadFile> written = KeepDownload(
      settings_.keepFolder, model, SelectedInstrument.SerialNo, settings_.decode.now, bytes);
  if (!written) {
    kept_ = written.failure();
    if (!copyErrors_.empty()) copyErrors_ += "; ";
    copyErrors_ += DownloadNotKeptText(settings_.keepFolder, written.error());
    return;
  }
  KeptDownload kept{written.value(), std::move(bytes)};
  auto scratch = std::make_unique<MeasurementStore>();
  const std::string fileName = std::filesystem::path(kept.file.path).filename().string();
  kept.runs = DecodeEveryRun(kept.bytes, fileName, settings_.decode.now, *scratch);
  kept_ = std::move(kept);
}

void Download::Decode(InstrumentModel model) {
  DecodeResult decode = DecodeImageAs(model, store_, settings_.decode);
  outcome_.end = DownloadDecoded{model, std::move(decode), copyErrors_, std::move(kept_)};
}

void Download::Finish() {
  window_.SetProgressText(copyErrors_);
}

}  // namespace

bool DownloadReachedTheDevice(const DownloadOutcome& outcome) {
  return !std::holds_alternative<DownloadNotOpened>(outcome.end) &&
         !std::holds_alternative<DownloadRefused>(outcome.end);
}

bool DownloadOffersTriggerLevel(const DownloadOutcome& outcome) {
  const auto* decoded = std::get_if<DownloadDecoded>(&outcome.end);
  return decoded && CapabilitiesOf(decoded->model).triggerLevel;
}

bool DownloadCancelled(const DownloadOutcome& outcome) {
  const auto* stopped = std::get_if<DownloadStopped>(&outcome.end);
  return stopped && stopped->failure.kind == FailureKind::kCancelled;
}

std::optional<std::string> DownloadErrorBox(const DownloadOutcome& outcome) {
  if (const auto* unknown = std::get_if<DownloadUnknownModel>(&outcome.end)) return unknown->error;
  if (DownloadCancelled(outcome)) return std::nullopt;
  const auto* stopped = std::get_if<DownloadStopped>(&outcome.end);
  if (!stopped || stopped->failure.message.empty()) return std::nullopt;
  return stopped->failure.message;
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
