// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a tool command tells of its problems: "kestrum-tool NAME: PROBLEM" on
// stderr, with the command's usage after wrong words.

#include <string>

#include "tool/tool_command.h"

namespace kestrum::tool {

class CommandVoice {
 public:
  // `name`: "decode", "history runs" ...
  CommandVoice(const std::string& name, const char* usage, ToolIo& io)
      : prefix_("kestrum-tool " + name + ": "), usage_(usage), io_(io) {}

  // "kestrum-tool NAME: ".
  const std::string& Prefix() const { return prefix_; }
  const char* UsageText() const { return usage_; }
  ToolIo& Io() const { return io_; }
  // The problem and the usage; kExitFailure.
  int Usage(const std::string& problem) const {
    io_.err << prefix_ << problem << "\n" << usage_;
    return kExitFailure;
  }
  // The problem alone; `code`.
  int Failed(const std::string& problem, int code = kExitFailure) const {
    io_.err << prefix_ << problem << "\n";
    return code;
  }

 private:
  std::string prefix_;
  const char* usage_;
  ToolIo& io_;
};

}  // namespace kestrum::tool
