// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/fault_option.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace kestrum {
namespace {

std::optional<std::uint64_t> WholeNumber(const std::string& text) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::vector<std::uint8_t>> HexBytes(const std::string& text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

Result<FaultOption> ParseFaultKind(const std::string& text) {
  const std::size_t equals = text.find('=');
  const std::string kind = text.substr(0, equals);
  const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
  const bool hasValue = equals != std::string::npos;
  FaultOption fault;
  if (kind == "pass" || kind == "silent") {
    if (hasValue) return Fail("--fault " + kind + " takes no value");
    fault.kind = kind == "pass" ? FaultOption::Kind::kPass : FaultOption::Kind::kSilent;
    return fault;
  }
  if (kind == "short" || kind == "unplug-after") {
    const std::optional<std::uint64_t> count = WholeNumber(value);
    if (!count) return Fail("--fault " + kind + "=N wants a whole number, not \"" + value + "\"");
    fault.kind = kind == "short" ? FaultOption::Kind::kShort : FaultOption::Kind::kUnplugAfter;
    fault.count = *count;
    return fault;
  }
  if (kind == "garbage") {
    std::optional<std::vector<std::uint8_t>> bytes = HexBytes(value);
    if (!bytes) {
      return Fail("--fault garbage=HEX wants pairs of hex digits, not \"" + value + "\"");
    }
    fault.kind = FaultOption::Kind::kGarbage;
    fault.bytes = std::move(*bytes);
    return fault;
  }
  return Fail("unknown --fault \"" + text +
              "\" (pass, silent, short=N, garbage=HEX or unplug-after=N)");
}

constexpr ReplyKind kAimedKinds[] = {ReplyKind::kIdentify, ReplyKind::kMemory,
                                     ReplyKind::kParameters, ReplyKind::kCoefficients,
                                     ReplyKind::kEraseAcknowledgement};

}  // namespace

const char* ReplyKindWord(ReplyKind kind) {
  switch (kind) {
    case ReplyKind::kIdentify:
      return "identify";
    case ReplyKind::kMemory:
      return "memory";
    case ReplyKind::kParameters:
      return "parameters";
    case ReplyKind::kCoefficients:
      return "coefficients";
    case ReplyKind::kEraseAcknowledgement:
      return "erase";
    case ReplyKind::kAny:
      break;
  }
  return "any";
}

Result<FaultOption> ParseFaultOption(const std::string& whole) {
  std::string text = whole;
  ReplyKind target = ReplyKind::kAny;
  if (const std::size_t at = text.rfind('@'); at != std::string::npos) {
    const std::string reply = text.substr(at + 1);
    text.resize(at);
    bool known = false;
    for (ReplyKind kind : kAimedKinds) {
      if (reply == ReplyKindWord(kind)) {
        target = kind;
        known = true;
      }
    }
    if (!known) {
      return Fail("--fault " + whole +
                  ": the reply after @ is identify, memory, parameters, coefficients or erase");
    }
    if (text.rfind("silent", 0) != 0 && text.rfind("short", 0) != 0 &&
        text.rfind("garbage", 0) != 0) {
      return Fail("--fault " + whole + ": only silent, short and garbage name a reply");
    }
  }
  Result<FaultOption> parsed = ParseFaultKind(text);
  if (parsed) parsed->target = target;
  return parsed;
}

void ApplyFaultOption(const FaultOption& fault, EmulatedInstrument& instrument, EmulatedBus& bus) {
  switch (fault.kind) {
    case FaultOption::Kind::kPass:
      instrument.AnswerAsUsual();
      break;
    case FaultOption::Kind::kSilent:
      instrument.AnswerNothing(fault.target);
      break;
    case FaultOption::Kind::kShort:
      instrument.AnswerShort(static_cast<std::size_t>(fault.count), fault.target);
      break;
    case FaultOption::Kind::kGarbage:
      instrument.AnswerWrong(fault.bytes, fault.target);
      break;
    case FaultOption::Kind::kUnplugAfter:
      // Having sent nothing yet, it is gone from the start.
      if (fault.count == 0) {
        bus.Unplug(instrument.Serial());
      } else {
        instrument.UnplugAfterSending(fault.count);
      }
      break;
  }
}

void ApplyFaultOptions(const std::vector<FaultOption>& faults, EmulatedBus& bus) {
  const auto instruments = bus.Instruments();
  if (instruments.empty()) return;
  for (const FaultOption& fault : faults) ApplyFaultOption(fault, *instruments.front(), bus);
}

}  // namespace kestrum
