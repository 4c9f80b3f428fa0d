// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool list [--emulate INSTRUMENT]...
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "tool/instrument_options.h"
#include "tool/instrument_session.h"
#include "tool/tool_command.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool list [--emulate INSTRUMENT]...\n"
    "Lists the FTDI converters found, one per line: index, description and serial number,\n"
    "separated by tabs, and \"accepted\" for those that detection takes for a Kestrum.\n"
    "  --emulate INSTRUMENT  MODEL[:FILE.Rn][@DESCRIPTION], an emulated instrument in place\n"
    "                        of the USB bus (repeatable)\n"
    "Exit codes: 0 listed (also when nothing is attached); 2 wrong usage.\n";

}  // namespace

int RunListCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<InstrumentOptions> read = ParseInstrumentOptions(args, {"emulate"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || !read->positional.empty()) {
    io.err << "kestrum-tool list: " << (read ? "takes no file" : read.error()) << "\n" << kUsage;
    return kExitFailure;
  }
  const InstrumentOptions& options = read.value();
  InstrumentSession session("list", io);
  if (!session.Start(options)) return kExitFailure;

  GetFTDeviceCount();
  for (std::uint32_t index = 0; index < FTDeviceCount; ++index) {
    const bool described = GetFTDeviceDescription(index) == FT_OK;
    const std::string description = described ? FTDeviceString : "";
    const bool numbered = GetFTDeviceSerialNo(index) == FT_OK;
    io.out << index << "\t" << description << "\t" << (numbered ? FTDeviceString : "");
    if (described && IsAcceptedDescription(description)) io.out << "\taccepted";
    io.out << "\n";
  }
  if (FTListingAccessDenied()) io.err << "kestrum-tool list: " << kUsbPermissionHint << "\n";
  return kExitSuccess;
}

}  // namespace kestrum::tool
