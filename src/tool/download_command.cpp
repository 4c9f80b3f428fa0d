// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool download [--emulate INSTRUMENT]... [--serial S] [--trace FILE] [--now ...]
//                      [--no-keep] OUT.Rn
#include <filesystem>

#include "commands/command_cycle.h"
#include "commands/measurement_download.h"
#include "link/instrument_detection.h"
#include "records/data_file.h"
#include "records/date_time.h"
#include "records/date_time_format.h"
#include "records/kept_downloads.h"
#include "records/program_data_folder.h"
#include "tool/instrument_options.h"
#include "tool/instrument_session.h"
#include "tool/terminal_window.h"
#include "tool/tool_command.h"
#include "tool/tool_history.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"
#include "tool/tool_output.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool download [--emulate INSTRUMENT]... [--fault KIND]... [--serial S]\n"
    "                             [--trace FILE] [--now YYYY-MM-DDTHH:MM:SS] [--no-keep] OUT.Rn\n"
    "Downloads the measurement memory of the attached Kestrum as the program's download\n"
    "button does, with its copies (\"K5C.tmp\" ... \"K84E.csv\") and the decode's files in the\n"
    "current directory, saves the image as OUT.Rn and prints the \"Select Measurement\" items.\n"
    "OUT.Rn \"-\" writes the image to standard output and the items to standard error.\n"
    "Like the program, it first keeps the image as a new data file in the folder of kept\n"
    "downloads (~/.local/share/kestrum/downloads) and prints its name on standard error.\n"
    "  --emulate INSTRUMENT  MODEL[:FILE.Rn][@DESCRIPTION], an emulated instrument in place\n"
    "                        of the USB bus (repeatable)\n"
    "  --fault KIND          a fault of the first emulated instrument (repeatable). These\n"
    "                        take its replies in turn: pass (as usual), silent (no reply),\n"
    "                        short=N (only N bytes), garbage=HEX (these bytes instead);\n"
    "                        unplug-after=N unplugs it once it has sent N bytes (0: from\n"
    "                        the start)\n"
    "  --serial S            the converter with serial number S instead of the first Kestrum\n"
    "  --trace FILE          writes every port call of the command to FILE (\"-\": stdout)\n"
    "  --now                 the local date-time K7/K8 run starts are checked against, and\n"
    "                        the time in the kept download's name\n"
    "  --no-keep             does not keep the download\n"
    "Exit codes: 0 runs found; 1 no runs; 2 wrong usage, no instrument, a failed or\n"
    "incomplete transfer or a file that could not be written.\n";

// The message for a download that ended without a transfer.
std::string FailureText(const DownloadOutcome& outcome) {
  if (std::holds_alternative<DownloadRefused>(outcome.end))
    return "the converter \"" + SelectedInstrument.Description + "\" takes no download";
  if (const auto* notOpened = std::get_if<DownloadNotOpened>(&outcome.end)) {
    return "cannot open the instrument " + SelectedInstrument.SerialNo +
           (notOpened->reason.empty() ? "" : ": " + notOpened->reason);
  }
  if (const auto* stopped = std::get_if<DownloadStopped>(&outcome.end))
    return stopped->failure.message;
  return std::get<DownloadUnknownModel>(outcome.end).error;
}

}  // namespace

int RunDownloadCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<InstrumentOptions> read =
      ParseInstrumentOptions(args, {"emulate", "fault", "serial", "trace", "now", "no-keep"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || read->positional.size() != 1) {
    io.err << "kestrum-tool download: " << (read ? "expects exactly one output file" : read.error())
           << "\n"
           << kUsage;
    return kExitFailure;
  }
  const InstrumentOptions& options = read.value();
  DownloadSettings settings;
  settings.directory = std::filesystem::current_path().string();
  settings.decode.separators = SystemDateTimeSeparators();
  settings.decode.now = CurrentLocalDateTime();
  if (options.now) {
    const std::optional<DateTime> now = ParseDateTime(*options.now, true);
    if (!now) {
      io.err << "kestrum-tool download: --now wants a date-time YYYY-MM-DDTHH:MM:SS, not \""
             << *options.now << "\"\n";
      return kExitFailure;
    }
    settings.decode.now = *now;
  }
  if (!options.noKeep) settings.keepFolder = KeptDownloadsFolder(ProgramDataFolder());

  InstrumentSession session("download", io);
  if (!session.Start(options) || !session.SelectInstrument(options)) {
    return session.Finish(kExitFailure);
  }
  auto store = NewStore();
  TerminalWindow window(io, true);
  const DownloadOutcome outcome = DownloadMeasurements(*store, settings, window);
  NoteToolDownload(session.Prefix(), outcome, *store, settings.decode.now, io);
  const auto* decoded = std::get_if<DownloadDecoded>(&outcome.end);
  if (!decoded) {
    io.err << session.Prefix() << FailureText(outcome) << "\n";
    return session.Finish(kExitFailure);
  }

  // Beside the status texts, so standard output stays the image or the items.
  if (decoded->kept && *decoded->kept)
    io.err << "kept as " << decoded->kept->value().file.path << "\n";
  const std::string& path = options.positional[0];
  // With the image on standard output, the items go to stderr.
  std::ostream& items = path == "-" ? io.err : io.out;
  const DecodeResult& decode = decoded->decode;
  for (const std::string& item : decode.itemTexts) items << item << "\n";
  if (decode.foundRuns) {
    items << kAllMeasurementsText << "\n";
  } else {
    io.err << kNoMeasurementsMessage << "\n";
  }
  if (!decode.dateTimeError.empty()) io.err << decode.dateTimeError << "\n";
  int exitCode = decode.foundRuns ? kExitSuccess : kExitNoResult;
  if (!decode.filesWritten) {
    io.err << session.Prefix() << "cannot write " << decode.failedFile << ": "
           << decode.filesWritten.error() << "\n";
    exitCode = kExitFailure;
  }
  const Result<> saved = WriteToolOutput(path, DataFileContent(*store), io);
  if (!saved) {
    io.err << session.Prefix() << CannotWriteText(path, saved.error()) << "\n";
    exitCode = kExitFailure;
  }
  return session.Finish(exitCode);
}

}  // namespace kestrum::tool
