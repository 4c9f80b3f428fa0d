// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool sync-clock [--emulate INSTRUMENT]... [--serial S] [--trace FILE]
//                         [--now YYYY-MM-DDTHH:MM:SS] [--yes]
#include "activity/command_activity.h"
#include "commands/clock_sync.h"
#include "records/date_time.h"
#include "tool/instrument_options.h"
#include "tool/instrument_session.h"
#include "tool/terminal_window.h"
#include "tool/tool_command.h"
#include "tool/tool_history.h"
#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool sync-clock [--emulate INSTRUMENT]... [--serial S] [--trace FILE]\n"
    "                               [--now YYYY-MM-DDTHH:MM:SS] [--yes]\n"
    "Sets the clock of the attached Kestrum as the program's clock button does.\n"
    "  --now    the PC clock reading to send (default: the clock now)\n"
    "  --yes    answers the confirmation with OK instead of asking on the terminal\n"
    "  --emulate, --fault, --serial, --trace as for \"kestrum-tool download\"\n"
    "Exit codes: 0 the clock was sent; 1 cancelled; 2 wrong usage, no instrument or an\n"
    "instrument that did not answer as a Kestrum.\n";

}  // namespace

int RunSyncClockCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<InstrumentOptions> read =
      ParseInstrumentOptions(args, {"emulate", "fault", "serial", "trace", "now", "yes"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || !read->positional.empty()) {
    io.err << "kestrum-tool sync-clock: " << (read ? "takes no file" : read.error()) << "\n"
           << kUsage;
    return kExitFailure;
  }
  const InstrumentOptions& options = read.value();
  // Read when the clock is written; --now stands for it.
  PcClock clock = [] { return CurrentLocalDateTime(); };
  DateTime now = CurrentLocalDateTime();
  if (options.now) {
    const std::optional<DateTime> given = ParseDateTime(*options.now, true);
    if (!given) {
      io.err << "kestrum-tool sync-clock: --now wants a date-time YYYY-MM-DDTHH:MM:SS, not \""
             << *options.now << "\"\n";
      return kExitFailure;
    }
    now = *given;
    clock = [now] { return now; };
  }

  InstrumentSession session("sync-clock", io);
  if (!session.Start(options) || !session.SelectInstrument(options))
    return session.Finish(kExitFailure);
  TerminalWindow window(io, options.yes);
  const ClockOutcome outcome = SynchronizeClock(clock, window);
  NoteToolActivity(session.Prefix(), "clock", outcome.modelCode, ClockActivityText(outcome), now,
                   io);
  switch (outcome.end) {
    case ClockEnd::kCancelled:
      return session.Cancelled();
    case ClockEnd::kNotOpened:
      return session.NotOpened(outcome.openFailure);
    case ClockEnd::kUnknownModel:
      return session.UnknownModel();
    case ClockEnd::kWriteFailed:
      io.err << session.Prefix() << "the instrument went away while the clock was sent\n";
      return session.Finish(kExitFailure);
    case ClockEnd::kSent:
      break;
  }
  if (window.LastStatus().empty()) io.err << kClockUpdatedText << "\n";  // a K8 shows none
  return session.Finish(kExitSuccess);
}

}  // namespace kestrum::tool
