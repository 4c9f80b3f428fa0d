// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement history: opening it, Main > History... and Main > Add this
// file to the history, View > Activity, and the activity log of the commands.

#include "activity/command_activity.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "app/window_placement.h"
#include "history/history_files.h"
#include "history/history_hours.h"
#include "history/program_history.h"

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
  if (const std::optional<std::string>& notice = history_->Notice())
    StatusBar1->SetText(1, QString::fromStdString(*notice));
  HistoryChanged();
}

kestrum::HistoryStore* TForm1::History() {
  OpenHistory();
  return history_.get();
}

void TForm1::HistoryChanged() {
  if (!history_) return;
  ShowLatestActivity(*history_);
  if (HistoryWin) HistoryWin->Reload();
}

void TForm1::ShowLatestActivity(kestrum::HistoryStore& history) {
  const auto entries = history.LatestActivity(ActivityDock::kShownEntries);
  if (entries) {
    Activity->ShowEntries(entries.value());
  } else {
    StatusBar1->SetText(1, QString::fromStdString("Activity not shown: " + entries.error()));
  }
}

void TForm1::NoteCommand(const char* kind, std::uint8_t modelCode, const std::string& text) {
  NoteEntry(kind, kestrum::CommandInstrumentName(modelCode, History()), text);
}

void TForm1::NoteEntry(const char* kind, const std::string& instrument, const std::string& text) {
  kestrum::HistoryStore* history = History();
  const kestrum::Result<> noted = kestrum::NoteActivity(history, {Now(), kind, instrument, text});
  if (!noted) StatusBar1->SetText(1, QString::fromStdString(noted.error()));
  if (history) ShowLatestActivity(*history);
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
    services.profiles = ProfileSourcesOfWindow();
    services.thresholds = [this] { return ChartAdditions->Choices().thresholds; };
    services.now = [this] { return Now(); };
    services.askReportDetails = [this](const kestrum::ReportDetails& offered) {
      return ChartAdditions->AskReportDetails(offered);
    };
    services.noteChange = [this](const std::string& instrument, const std::string& text) {
      NoteEntry("history", instrument, text);
    };
    HistoryWin = new HistoryWindow(services, this);
    PlaceOverOwner(HistoryWin, this);
    HistoryWin->Reload();
  } else {
    // Another program may have changed the history while the window was away.
    HistoryWin->Follow();
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
  const kestrum::Result<> noted =
      kestrum::NoteActivity(history, {Now(), "import", instrument, line});
  if (!noted) StatusBar1->SetText(1, QString::fromStdString(noted.error()));
  HistoryChanged();
}

ProfileSources TForm1::ProfileSourcesOfWindow() {
  ProfileSources sources;
  sources.askFile = [this]() -> std::optional<std::string> {
    const FileDialogSetup setup{{"Seasonal profile (*.txt)", "All files (*)"}, "txt", QString()};
    const auto choice = Dialogs().AskOpen(setup, QString());
    if (!choice) return std::nullopt;
    const kestrum::Result<std::string> name = kestrum::LocalNameOf(choice->path);
    if (!name) {
      Prompts().ShowError(QString::fromStdString(name.error()));
      return std::nullopt;
    }
    return name.value();
  };
  sources.askSite = [this]() -> std::optional<std::string> {
    kestrum::HistoryStore* history = History();
    if (!history) {
      Prompts().ShowError(QString::fromStdString(historyProblem_));
      return std::nullopt;
    }
    const kestrum::Result<std::vector<kestrum::HistoryRun>> runs = history->Runs();
    if (!runs) {
      Prompts().ShowError(QString::fromStdString(runs.error()));
      return std::nullopt;
    }
    QStringList sites;
    for (const kestrum::HistoryRun& run : runs.value()) {
      const QString site = QString::fromStdString(run.site);
      if (!site.isEmpty() && !sites.contains(site)) sites << site;
    }
    if (sites.isEmpty()) {
      Prompts().ShowError(QStringLiteral(
          "No run in the history has a site yet: give the runs of a measured year their site "
          "in Main > History..."));
      return std::nullopt;
    }
    sites.sort();
    const std::optional<int> chosen = Prompts().AskChoice(
        QStringLiteral("The seasonal profile of which site's latest well covered year?"), sites);
    if (!chosen) return std::nullopt;
    return sites[*chosen].toStdString();
  };
  sources.derive = [this](const std::string& site) -> kestrum::Result<kestrum::SeasonalProfile> {
    kestrum::HistoryStore* history = History();
    if (!history) return kestrum::Fail(historyProblem_);
    return kestrum::ProfileOfSite(*history, site);
  };
  sources.showError = [this](const QString& problem) { Prompts().ShowError(problem); };
  return sources;
}
