// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool set-level [--emulate INSTRUMENT]... [--serial S] [--trace FILE]
//                        --position N [--flash] [--factor F] [--yes]
#include <cstdlib>
#include <sstream>

#include "activity/command_activity.h"
#include "commands/trigger_level.h"
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
    "Usage: kestrum-tool set-level [--emulate INSTRUMENT]... [--serial S] [--trace FILE]\n"
    "                              --position N [--flash] [--factor F] [--yes]\n"
    "Sets the trigger level of the attached Kestrum as the trigger-level dialog does.\n"
    "  --position N   the level in Bq/m3: 50 to 2000 in steps of 25, as high as fits\n"
    "                 255 pulses at the factor (default 200)\n"
    "  --flash        the indicator flashes red/green\n"
    "  --factor F     the CalibrationFactor in Bq/m3 per pulse (default 6.0)\n"
    "  --yes          sets it without asking on the terminal\n"
    "  --emulate, --fault, --serial, --trace as for \"kestrum-tool download\"\n"
    "Exit codes: 0 set; 1 cancelled; 2 wrong usage, no instrument or an instrument that did\n"
    "not answer as a K5, K6 or K7.\n";

std::optional<Extended> ParseFactor(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(value > 0) || value > 255.99) return std::nullopt;
  return static_cast<Extended>(value);
}

}  // namespace

int RunSetLevelCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<InstrumentOptions> read = ParseInstrumentOptions(
      args, {"emulate", "fault", "serial", "trace", "position", "flash", "factor", "yes"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  const char* prefix = "kestrum-tool set-level: ";
  if (!read || !read->positional.empty()) {
    io.err << prefix << (read ? "takes no file" : read.error()) << "\n" << kUsage;
    return kExitFailure;
  }
  const InstrumentOptions& options = read.value();
  Extended factor = 6.0L;
  if (options.factor) {
    const std::optional<Extended> given = ParseFactor(*options.factor);
    if (!given) {
      io.err << prefix << "--factor wants a number of Bq/m3 per pulse above 0, not \""
             << *options.factor << "\"\n";
      return kExitFailure;
    }
    factor = *given;
  }
  const int highest = HighestFittingPosition(factor);
  int position = kTriggerPositionStart;
  if (options.position) {
    const std::optional<long long> given =
        ParseWholeNumber(*options.position, kTriggerPositionMin, kTriggerPositionMax);
    if (!given || (*given - kTriggerPositionMin) % kTriggerPositionStep != 0) {
      io.err << prefix << "--position wants 50 to 2000 in steps of 25, not \"" << *options.position
             << "\"\n";
      return kExitFailure;
    }
    position = static_cast<int>(*given);
  }
  if (position > highest || !TriggerLevelPulses(position, factor)) {
    io.err << prefix << position << " Bq/m3 is more than the instrument's 255 pulses at this "
           << "factor; the highest level is " << highest << " Bq/m3\n";
    return kExitFailure;
  }

  InstrumentSession session("set-level", io);
  if (!session.Start(options) || !session.SelectInstrument(options))
    return session.Finish(kExitFailure);
  TerminalWindow window(io, options.yes);
  std::ostringstream question;
  question << "The trigger level will be set to " << position << " Bq/m3 ("
           << *TriggerLevelPulses(position, factor) << " pulses), flash "
           << (options.flash ? "on" : "off") << "!";
  if (!window.Confirm(question.str())) {
    io.err << session.Prefix() << "cancelled; nothing was sent\n";
    return session.Finish(kExitNoResult);
  }
  const TriggerOutcome outcome = SetTriggerLevel(position, options.flash, factor);
  NoteToolActivity(session.Prefix(), "level", outcome.modelCode,
                   LevelActivityText(outcome, position), CurrentLocalDateTime(), io);
  switch (outcome.end) {
    case TriggerEnd::kSent:
      io.out << "level " << outcome.level << " pulses (" << position << " Bq/m3), flash "
             << (options.flash ? "on" : "off") << "\n";
      return session.Finish(kExitSuccess);
    case TriggerEnd::kNotOpened:
      return session.NotOpened(outcome.openFailure);
    case TriggerEnd::kUnknownModel:
      return session.UnknownModel();
    case TriggerEnd::kTooHigh:
      io.err << session.Prefix() << "the level does not fit the instrument\n";
      break;
    case TriggerEnd::kWriteFailed:
      io.err << session.Prefix() << WriteFailedText(outcome) << "\n";
      break;
  }
  return session.Finish(kExitFailure);
}

}  // namespace kestrum::tool
