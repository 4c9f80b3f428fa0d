// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool erase [--emulate INSTRUMENT]... [--serial S] [--trace FILE] [--yes]
#include "activity/command_activity.h"
#include "commands/erase_notice.h"
#include "commands/instrument_erase.h"
#include "link/instrument_detection.h"
#include "records/date_time.h"
#include "records/erase_record.h"
#include "records/program_data_folder.h"
#include "tool/instrument_options.h"
#include "tool/instrument_session.h"
#include "tool/terminal_window.h"
#include "tool/tool_command.h"
#include "tool/tool_history.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool erase [--emulate INSTRUMENT]... [--serial S] [--trace FILE] [--yes]\n"
    "Erases the measurement memory of the attached Kestrum as the program's erase button\n"
    "does (5 s, 15 s for a K7). The question says whether the memory was kept since the\n"
    "last erase; a done erase is noted in the data folder (~/.local/share/kestrum).\n"
    "  --yes    answers the confirmation with OK instead of asking on the terminal\n"
    "  --emulate, --fault, --serial, --trace as for \"kestrum-tool download\"\n"
    "Exit codes: 0 erased; 1 cancelled; 2 wrong usage, no instrument or no acknowledgement.\n";

}  // namespace

int RunEraseCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<InstrumentOptions> read =
      ParseInstrumentOptions(args, {"emulate", "fault", "serial", "trace", "yes"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || !read->positional.empty()) {
    io.err << "kestrum-tool erase: " << (read ? "takes no file" : read.error()) << "\n" << kUsage;
    return kExitFailure;
  }
  const InstrumentOptions& options = read.value();
  InstrumentSession session("erase", io);
  if (!session.Start(options) || !session.SelectInstrument(options))
    return session.Finish(kExitFailure);
  TerminalWindow window(io, options.yes);
  const std::string dataFolder = ProgramDataFolder();
  const std::string serial = SelectedInstrument.SerialNo;
  const EraseNotice notice = EraseNoticeFor(dataFolder, serial);
  // Unasked, the line still tells where the measurements are.
  if (options.yes) io.err << notice.line << "\n";
  const EraseOutcome outcome = EraseInstrument(window, {notice.line, !notice.downloadKept});
  NoteToolActivity(session.Prefix(), "erase", outcome.modelCode,
                   EraseActivityText(outcome, notice.downloadKept), CurrentLocalDateTime(), io);
  switch (outcome.end) {
    case EraseEnd::kErased: {
      const Result<> noted = RecordErase(dataFolder, serial, CurrentLocalDateTime());
      if (!noted)
        io.err << session.Prefix() << "the erase was not noted: " << noted.error() << "\n";
      return session.Finish(kExitSuccess);
    }
    case EraseEnd::kCancelled:
      return session.Cancelled();
    case EraseEnd::kNotOpened:
      return session.NotOpened(outcome.openFailure);
    case EraseEnd::kUnknownModel:
      return session.UnknownModel();
    case EraseEnd::kWriteFailed:
      io.err << session.Prefix() << "the instrument went away while the erase was sent\n";
      return session.Finish(kExitFailure);
    case EraseEnd::kNotAcknowledged:
      break;
  }
  io.err << session.Prefix() << "the instrument did not acknowledge the erase\n";
  return session.Finish(kExitFailure);
}

}  // namespace kestrum::tool
