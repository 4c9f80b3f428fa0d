// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/terminal_window.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace kestrum::tool {
namespace {

std::istream* g_answers = &std::cin;

std::string Lowered(std::string text) {
  text.erase(0, text.find_first_not_of(" \t\r"));
  text.erase(text.find_last_not_of(" \t\r") + 1);
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

void SetAnswerStream(std::istream* answers) {
  g_answers = answers ? answers : &std::cin;
}

void TerminalWindow::SetProgressText(const std::string& text) {
  last_ = text;
  if (text.find_first_not_of(' ') != std::string::npos) io_.err << text << "\n";
}

bool TerminalWindow::Confirm(const std::string& text) {
  if (yes_) return true;
  io_.err << text << " [OK/Cancel] " << std::flush;
  std::string answer;
  if (!std::getline(*g_answers, answer)) {
    io_.err << "\n";
    return false;
  }
  const std::string word = Lowered(answer);
  return word == "ok" || word == "y" || word == "yes";
}

void TerminalWindow::LongWaitBegins(int milliseconds) {
  io_.err << "waiting " << milliseconds / 1000 << " s for the instrument\n";
}

}  // namespace kestrum::tool
