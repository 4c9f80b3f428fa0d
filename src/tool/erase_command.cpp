// kestrum-tool erase [--emulate INSTRUMENT]... [--serial S] [--trace FILE] [--yes]
#include "commands/instrument_erase.h"
#include "tool/instrument_options.h"
#include "tool/instrument_session.h"
#include "tool/terminal_window.h"
#include "tool/tool_command.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool erase [--emulate INSTRUMENT]... [--serial S] [--trace FILE] [--yes]\n"
    "Erases the measurement memory of the attached Kestrum as the program's erase button\n"
    "does (5 s, 15 s for a K7).\n"
    "  --yes    answers the confirmation with OK instead of asking on the terminal\n"
    "  --emulate, --fault, --serial, --trace as for \"kestrum-tool download\"\n"
    "Exit codes: 0 erased; 1 cancelled; 2 wrong usage, no instrument or no acknowledgement.\n";

}  // namespace

int RunEraseCommand(const std::vector<std::string>& args, ToolIo& io) {
  const InstrumentOptions options =
      ParseInstrumentOptions(args, {"emulate", "fault", "serial", "trace", "yes"});
  if (options.help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!options.error.empty() || !options.positional.empty()) {
    io.err << "kestrum-tool erase: " << (options.error.empty() ? "takes no file" : options.error)
           << "\n"
           << kUsage;
    return kExitFailure;
  }
  InstrumentSession session("erase", io);
  if (!session.Start(options) || !session.SelectInstrument(options))
    return session.Finish(kExitFailure);
  TerminalWindow window(io, options.yes);
  switch (EraseInstrument(window).end) {
    case EraseEnd::kErased:
      return session.Finish(kExitSuccess);
    case EraseEnd::kCancelled:
      io.err << session.Prefix() << "cancelled; nothing was sent\n";
      return session.Finish(kExitNoResult);
    case EraseEnd::kNotOpened:
      io.err << session.Prefix() << "cannot open the instrument\n";
      return session.Finish(kExitFailure);
    case EraseEnd::kUnknownModel:
      io.err << session.Prefix() << "the instrument did not answer as a K5, K6 or K7\n";
      return session.Finish(kExitFailure);
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
