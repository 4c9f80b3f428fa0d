// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answering stand-ins for the message boxes and file dialogs.

#include <QPrinter>
#include <deque>
#include <functional>

#include "app/file_dialogs.h"
#include "app/user_prompts.h"

class ScriptedPrompts : public UserPrompts {
 public:
  bool confirmAnswer = true;
  QStringList confirmations;
  QStringList errors;

  bool Confirm(const QString& text) override {
    confirmations << text;
    return confirmAnswer;
  }
  // The questions asked with Cancel as the default button (also in confirmations).
  QStringList cancelDefaultConfirmations;
  bool ConfirmCancelDefault(const QString& text) override {
    cancelDefaultConfirmations << text;
    return Confirm(text);
  }
  // What happens while an error box is open (the user reads it, or goes away).
  std::function<void()> whileErrorShown;
  void ShowError(const QString& text) override {
    errors << text;
    if (whileErrorShown) whileErrorShown();
  }

  std::optional<int> numberAnswer;
  std::optional<int> AskNumber(const QString&, int, int, int) override { return numberAnswer; }

  std::optional<int> choiceAnswer;
  QStringList choicesOffered;
  std::optional<int> AskChoice(const QString&, const QStringList& items) override {
    choicesOffered = items;
    return choiceAnswer;
  }

  std::optional<QDateTime> dateTimeAnswer;
  QStringList dateTimeQuestions;
  QDateTime dateTimeOffered;
  std::optional<QDateTime> AskDateTime(const QString& text, const QDateTime& value) override {
    dateTimeQuestions << text;
    dateTimeOffered = value;
    return dateTimeAnswer;
  }
};

class ScriptedDialogs : public FileDialogs {
 public:
  std::deque<std::optional<FileChoice>> openAnswers;
  std::deque<std::optional<FileChoice>> saveAnswers;
  bool printAnswer = false;
  QString lastInitialName;
  int asks = 0;  // dialogs shown, of any kind

  std::optional<FileChoice> AskOpen(const FileDialogSetup&, const QString& last) override {
    ++asks;
    lastInitialName = last;
    return Next(openAnswers);
  }
  FileDialogSetup lastSaveSetup;
  std::optional<FileChoice> AskSave(const FileDialogSetup& setup, const QString& last) override {
    ++asks;
    lastInitialName = last;
    lastSaveSetup = setup;
    return Next(saveAnswers);
  }
  std::deque<std::optional<std::string>> keptDownloadAnswers;
  std::vector<kestrum::KeptDownloadSummary> keptDownloadsShown;
  std::optional<std::string> AskKeptDownload(const std::vector<kestrum::KeptDownloadSummary>& shown,
                                             const QString&) override {
    ++asks;
    keptDownloadsShown = shown;
    std::optional<std::string> answer;
    if (!keptDownloadAnswers.empty()) {
      answer = keptDownloadAnswers.front();
      keptDownloadAnswers.pop_front();
    }
    return answer;
  }
  // A non-empty path turns the chosen printer into a PDF file there.
  QString printToFile;
  bool AskPrint(QPrinter& printer) override {
    ++asks;
    if (!printToFile.isEmpty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(printToFile);
    }
    return printAnswer;
  }

 private:
  static std::optional<FileChoice> Next(std::deque<std::optional<FileChoice>>& answers) {
    std::optional<FileChoice> answer;
    if (!answers.empty()) {
      answer.swap(answers.front());
      answers.pop_front();
    }
    return answer;
  }
};
