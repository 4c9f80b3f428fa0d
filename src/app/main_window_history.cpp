// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement history: opening it, Main > History... and Main > Add this
// file to the history, View > Activity, and the activity log of the commands.

#include "app/main_window.h"
#include "history/command_activity.h"
#include "history/history_files.h"

void TForm1::BuildHistoryEntries() {
  History1 = new QAction(QStringLiteral("History\u2026"), MainMenu);
  History1->setObjectName("History1");
  AddToHistory1 = new QAction(QStringLiteral("Add this file to the history"), MainMenu);
  AddToHistory1->setObjectName("AddToHistory1");
  AddToHistory1->setEnabled(false);
  // After "Downloads...", before "Save".
  MainMenu->insertAction(Save1, History1);
  MainMenu->insertAction(Save1, AddToHistory1);
  ConnectCommand(History1, &TForm1::History1Click);
  ConnectCommand(AddToHistory1, &TForm1::AddToHistory1Click);

  Activity1 = View1->addAction(QStringLiteral("Activity"));
  Activity1->setObjectName("Activity1");
  Activity1->setCheckable(true);
  // The View menu is greyed until a run is picked; the log must be reachable before.
  MainMenu->insertAction(Save1, Activity1);
  Activity = new ActivityDock(this);
  addDockWidget(Qt::BottomDockWidgetArea, Activity);
  const bool shown = LoadActivityShown();
  Activity1->setChecked(shown);
  Activity->setVisible(shown);
  connect(Activity1, &QAction::triggered, this, [this](bool checked) {
    Activity->setVisible(checked);
    SaveActivityShown(checked);
  });
  // Closing the dock unticks its entry.
  connect(Activity->toggleViewAction(), &QAction::triggered, this, [this](bool checked) {
    if (Activity1->isChecked() != checked) Activity1->trigger();
  });
}

void TForm1::OpenHistory() {
  if (historyTried_) return;
  historyTried_ = true;
  kestrum::Result<std::unique_ptr<kestrum::HistoryStore>> opened =
      kestrum::OpenProgramHistory(Now());
  if (!opened) {
    historyProblem_ = opened.error();
    StatusBar1->SetText(1, QString::fromStdString(historyProblem_));
    Activity->ShowUnavailable(QString::fromStdString(historyProblem_));
    return;
  }
  history_ = std::move(opened).value();
  if (!history_->Notice().empty())
    StatusBar1->SetText(1, QString::fromStdString(history_->Notice()));
  HistoryChanged();
}

kestrum::HistoryStore* TForm1::History() {
  OpenHistory();
  return history_.get();
}

void TForm1::HistoryChanged() {
  if (!history_) return;
  Activity->ShowEntries(history_->LatestActivity(ActivityDock::kShownEntries));
  if (HistoryWin) HistoryWin->Reload();
}

void TForm1::NoteCommand(const char* kind, std::uint8_t modelCode, const std::string& text) {
  NoteEntry(kind, kestrum::CommandInstrumentName(modelCode), text);
}

void TForm1::NoteEntry(const char* kind, const std::string& instrument, const std::string& text) {
  kestrum::HistoryStore* history = History();
  const std::string problem = kestrum::NoteActivity(history, {Now(), kind, instrument, text});
  if (!problem.empty()) StatusBar1->SetText(1, QString::fromStdString(problem));
  if (history) Activity->ShowEntries(history->LatestActivity(ActivityDock::kShownEntries));
}

void TForm1::History1Click() {
  kestrum::HistoryStore* history = History();
  if (!history) {
    Prompts().ShowError(QString::fromStdString(historyProblem_));
    return;
  }
  if (!HistoryWin) {
    HistoryWindowServices services;
    services.store = history;
    services.prompts = &Prompts();
    services.dialogs = &Dialogs();
    services.additions = [this] { return ChartAdditions->Choices().ForChart(); };
    services.noteChange = [this](const std::string& instrument, const std::string& text) {
      NoteEntry("history", instrument, text);
    };
    HistoryWin = new HistoryWindow(services, this);
    HistoryWin->Reload();
  }
  HistoryWin->show();
  HistoryWin->raise();
  HistoryWin->activateWindow();
}

void TForm1::AddToHistory1Click() {
  kestrum::HistoryStore* history = History();
  if (!history) {
    StatusBar1->SetText(1, QString::fromStdString(historyProblem_));
    return;
  }
  const std::string path = lastFilePath_;
  const std::vector<kestrum::FileImport> imports =
      kestrum::ImportDataFiles(*history, {path}, {}, Now());
  const std::string instrument = kestrum::InstrumentNameForFile(path, {});
  const std::string line = imports.empty() ? std::string() : kestrum::ImportLine(imports.front());
  StatusBar1->SetText(1, QString::fromStdString(line));
  const std::string problem = kestrum::NoteActivity(history, {Now(), "import", instrument, line});
  if (!problem.empty()) StatusBar1->SetText(1, QString::fromStdString(problem));
  HistoryChanged();
}
