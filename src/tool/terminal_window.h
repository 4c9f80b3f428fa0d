// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument commands' window effects on the terminal: status texts go
// to stderr one per line, the confirmations are asked there too unless --yes
// answered them in advance.

#include <istream>
#include <string>

#include "commands/command_window.h"
#include "tool/tool_command.h"

namespace kestrum::tool {

// Where the answers to confirmations are read; std::cin unless a test says otherwise.
void SetAnswerStream(std::istream* answers);

class TerminalWindow : public CommandWindow {
 public:
  TerminalWindow(ToolIo& io, bool yes) : io_(io), yes_(yes) {}

  void SetProgressText(const std::string& text) override;
  void RepaintStatusBar() override {}
  // "OK", "y" or "yes" (any case) for OK; anything else, or no answer, cancels.
  bool Confirm(const std::string& text) override;
  void LongWaitBegins(int milliseconds) override;

  const std::string& LastStatus() const { return last_; }

 private:
  ToolIo& io_;
  bool yes_;
  std::string last_;
};

}  // namespace kestrum::tool
