// SPDX-License-Identifier: GPL-3.0-or-later
#include "activity/command_activity.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "commands/command_cycle.h"
#include "history/history_files.h"
#include "link/instrument_detection.h"
#include "records/bcd.h"
#include "records/kept_downloads.h"

namespace kestrum {
namespace {

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// What the open said, when it said anything; else the old general words.
std::string NotOpenedText(const std::string& openFailure) {
  return openFailure.empty() ? "the instrument could not be opened" : openFailure;
}

// The history's "<model>-<serial>" for a serial, or the serial alone.
std::string KnownNameOfSerial(const std::string& serial, HistoryStore* history) {
  if (!history) return serial;
  const std::string suffix = "-" + serial;
  // A history that cannot be read knows no name; writing the entry then
  // fails and says so.
  const Result<std::vector<HistoryInstrument>> instruments = history->Instruments();
  if (!instruments) return serial;
  for (const HistoryInstrument& known : instruments.value()) {
    const std::string& name = known.name;
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return name;
    }
  }
  return serial;
}

}  // namespace

std::string CommandInstrumentName(std::uint8_t modelCode) {
  std::optional<InstrumentModel> model;
  if (SelectedInstrumentIsK8()) {
    model = InstrumentModel::K8;
  } else if (modelCode >= kModelCodeK5 && modelCode <= kModelCodeK7) {
    model = static_cast<InstrumentModel>(modelCode - kModelCodeK5);
  }
  const std::string serial = FileNameSerial(SelectedInstrument.SerialNo);
  return model ? std::string(ModelName(*model)) + "-" + serial : serial;
}

std::string CommandInstrumentName(std::uint8_t modelCode, HistoryStore* history) {
  const std::string named = CommandInstrumentName(modelCode);
  if (named.find('-') != std::string::npos) return named;
  return KnownNameOfSerial(named, history);
}

std::string AttachedInstrumentName(const TK5& instrument, HistoryStore* history) {
  const std::string serial = FileNameSerial(instrument.SerialNo);
  if (IsK8Description(instrument.Description)) return "K8-" + serial;
  return KnownNameOfSerial(serial, history);
}

std::string DownloadActivityText(const DownloadOutcome& outcome, const MeasurementStore& store) {
  if (const auto* decoded = std::get_if<DownloadDecoded>(&outcome.end)) {
    std::string text = "Downloaded " + std::to_string(store.RunCount) + " runs, " +
                       std::to_string(store.LastSampleIndex + 1) + " samples";
    if (decoded->kept && *decoded->kept) {
      text += " (kept as " + FileNameOf(decoded->kept->value().file.path) + ")";
    } else if (decoded->kept) {
      text += " (not kept: " + decoded->kept->error() + ")";
    }
    return text;
  }
  if (DownloadCancelled(outcome)) return kDownloadCancelledText;
  if (const auto* notOpened = std::get_if<DownloadNotOpened>(&outcome.end))
    return "Download failed: " + NotOpenedText(notOpened->reason);
  if (std::holds_alternative<DownloadRefused>(outcome.end))
    return "Download refused: the converter takes no download";
  return "Download failed: " + DownloadErrorBox(outcome).value_or("");
}

std::string ClockActivityText(const ClockOutcome& outcome) {
  switch (outcome.end) {
    case ClockEnd::kSent: {
      const ClockFields& f = outcome.fields;
      char text[64];
      std::snprintf(text, sizeof text, "Clock set to 20%02d-%02d-%02d %02d:%02d:%02d",
                    BcdToByte(f.year), BcdToByte(f.month), BcdToByte(f.day),
                    BcdToByte(f.hours & 0x3F), BcdToByte(f.minutes), BcdToByte(f.seconds));
      return text;
    }
    case ClockEnd::kCancelled:
      return "Clock not set: cancelled";
    case ClockEnd::kNotOpened:
      return "Clock not set: " + NotOpenedText(outcome.openFailure);
    case ClockEnd::kUnknownModel:
      return "Clock not set: the instrument answered with an unknown model";
    case ClockEnd::kWriteFailed:
      break;
  }
  return "Clock not set: the instrument went away while the clock was sent";
}

std::string EraseActivityText(const EraseOutcome& outcome, bool downloadKept) {
  switch (outcome.end) {
    case EraseEnd::kErased:
      return downloadKept ? "Erased (the measurements were kept before)"
                          : "Erased (no kept download holds the last measurements)";
    case EraseEnd::kCancelled:
      return "Erase cancelled";
    case EraseEnd::kNotOpened:
      return "Not erased: " + NotOpenedText(outcome.openFailure);
    case EraseEnd::kUnknownModel:
      return "Not erased: the instrument answered with an unknown model";
    case EraseEnd::kWriteFailed:
      return "Not erased: the instrument went away while the erase was sent";
    case EraseEnd::kNotAcknowledged:
      break;
  }
  return "Erase not acknowledged by the instrument";
}

std::string LevelActivityText(const TriggerOutcome& outcome, int position) {
  switch (outcome.end) {
    case TriggerEnd::kSent:
      return "Trigger level set to " + std::to_string(outcome.level) + " pulses (" +
             std::to_string(position) + " Bq/m3)";
    case TriggerEnd::kNotOpened:
      return "Trigger level not set: " + NotOpenedText(outcome.openFailure);
    case TriggerEnd::kUnknownModel:
      return "Trigger level not set: the instrument has no trigger level";
    case TriggerEnd::kTooHigh:
      return "Trigger level not set: " + std::to_string(position) + " Bq/m3 is too high";
    case TriggerEnd::kWriteFailed:
      break;
  }
  if (outcome.levelSent) {
    return "Trigger level set to " + std::to_string(outcome.level) +
           " pulses, but the flash option was not: the instrument went away";
  }
  return "Trigger level not set: the instrument went away while it was sent";
}

Result<> NoteDownload(HistoryStore* history, const DownloadOutcome& outcome,
                      const MeasurementStore& store, DateTime now) {
  if (!history) return {};
  Result<> problem;
  std::string later;  // what the window's decode left out, said in the log
  std::string instrument = CommandInstrumentName(outcome.modelCode);
  const auto* decoded = std::get_if<DownloadDecoded>(&outcome.end);
  if (decoded && decoded->kept && *decoded->kept) {
    const KeptDownload& kept = decoded->kept->value();
    instrument = KeptInstrumentName(kept.file.name);
    const ImportSource source{instrument, kept.file.path, ContentHash(kept.bytes),
                              kept.file.name.at, true};
    const Result<ImportCounts> imported =
        kept.runs ? history->Import(source, kept.runs.value()) : kept.runs.failure();
    if (!imported) {
      problem = Fail(FailureKind::kStore,
                     "The download was not added to the history: " + imported.error());
    }
    const int more = kept.runs ? static_cast<int>(kept.runs->runs.size()) - store.RunCount : 0;
    if (more > 0) {
      later = "; " + std::to_string(more) + (more == 1 ? " run" : " runs") +
              " dated after the download (the PC or instrument clock was wrong) went to the "
              "history only, to be re-dated";
    }
  }
  const Result<> noted = NoteActivity(
      history, {now, "download", instrument, DownloadActivityText(outcome, store) + later});
  return problem ? noted : problem;
}

}  // namespace kestrum
