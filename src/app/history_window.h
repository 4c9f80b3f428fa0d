// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Main > History...: the measurement history of one instrument at a time.
// Picking an instrument loads its runs and all their samples once, so that
// every selection (rows of the run table, or a From/To range across runs)
// draws at once. The chart has the main window's views, each run computed
// on its own; beside it the assessment of the selection's counted hours
// under the chosen protocol, one block per site, with monthly and annual
// means; "Report..." writes the measurement report of one site's.

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "app/assessment_chooser.h"
#include "app/chart_additions_settings.h"
#include "app/file_dialogs.h"
#include "app/history_chart_view.h"
#include "app/history_run_table.h"
#include "app/history_summary.h"
#include "app/history_test.h"
#include "app/instrument_register_dialog.h"
#include "app/user_prompts.h"
#include "assessment/condition_marks.h"
#include "history/history_hours.h"
#include "history/history_selection.h"
#include "history/history_store.h"
#include "records/csv_export.h"
#include "views/chart_additions.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

namespace kestrum {
class KestrumChart;
}

// What the history window works with; the main window passes its own seams.
struct HistoryWindowServices {
  kestrum::HistoryStore* store = nullptr;
  UserPrompts* prompts = nullptr;
  FileDialogs* dialogs = nullptr;
  // The View menu's reference levels, unit and legend at the moment of asking.
  std::function<kestrum::ChartAdditions()> additions;
  // The View menu's condition thresholds; empty: the usual ones.
  std::function<kestrum::ConditionThresholds()> thresholds;
  // Where the long-term protocol's seasonal profile comes from.
  ProfileSources profiles;
  // The register's dialog (tests answer it); empty: the real one, modal.
  std::function<std::optional<RegisterEdit>(QWidget* parent, const kestrum::HistoryInstrument&,
                                            const std::vector<kestrum::FactorChange>&)>
      editRegister;
  // Whom and by whom a report is (the main window's remembered question);
  // empty: what is offered stands.
  std::function<std::optional<kestrum::ReportDetails>(const kestrum::ReportDetails& offered)>
      askReportDetails;
  // Today, for the calibration day's limit.
  std::function<kestrum::DateTime()> now;
  // Notes a change made here (a re-dated run) in the activity log.
  std::function<void(const std::string& instrument, const std::string& text)> noteChange;
};

class QTimer;

class HistoryWindow : public QWidget {
  Q_OBJECT
 public:
  HistoryWindow(const HistoryWindowServices& services, QWidget* parent);

  // Lists the instruments again (after an import) and reloads the one shown.
  void Reload();
  // Reloads when another program changed the history since (checked every
  // two seconds while the window is shown, and when it is raised).
  void Follow();
  // Draws the shown runs again after a View menu change (levels, unit, thresholds).
  void AdditionsChanged();
  static constexpr int kFollowMilliseconds = 2000;
  // Picks the instrument as the picker does; false when the history has none of that name.
  bool PickInstrument(const QString& name);
  // Draws the runs of these table rows.
  void ShowRows(const std::vector<int>& rows);
  // Draws every run's samples stamped from the start of `from` to the end of `to`.
  void ShowRange(const QDate& from, const QDate& to);
  // Asks the first sample's date and time of the row's run, re-dates the
  // run and loads the instrument again.
  void RedateRow(int row);
  // "Instrument…": the shown instrument's register entry, edited and kept.
  void EditInstrument();
  // "Test as CSV…": the hours of the shown site's test, counted and marked.
  void SaveTestCsv();

  const std::vector<kestrum::LoadedRun>& Loaded() const { return loaded_; }
  const kestrum::HistorySelection& Selection() const { return selection_; }
  // The summary of the first site shown (the only one, when a report can be written).
  const kestrum::RunSummary& Summary() const { return summary_; }
  const std::vector<SiteSummary>& SiteSummaries() const { return sites_; }

  QComboBox* InstrumentPicker = nullptr;
  QDateEdit* FromDate = nullptr;
  QDateEdit* ToDate = nullptr;
  QPushButton* ShowRangeButton = nullptr;
  QPushButton* ReportButton = nullptr;
  QPushButton* InstrumentButton = nullptr;
  QPushButton* CsvButton = nullptr;  // the shown test's hours as CSV
  QLabel* NoticeLabel = nullptr;     // why editing is off, what could not be read
  HistoryRunTable* RunTable = nullptr;
  QCheckBox* HourlyValues = nullptr;
  QComboBox* MeanPicker = nullptr;  // "no mean", then the items of interval_table.h
  QCheckBox* MeanErrorBox = nullptr;
  QCheckBox* TemperatureBox = nullptr;
  QCheckBox* HumidityBox = nullptr;
  QCheckBox* PressureBox = nullptr;
  QLabel* SelectionLabel = nullptr;  // what the chart shows
  QLabel* Placeholder = nullptr;     // in the chart's place while nothing is chosen
  kestrum::KestrumChart* Chart = nullptr;
  QTextBrowser* SummaryText = nullptr;
  AssessmentChooser* Chooser = nullptr;
  QString SummaryPlain() const { return summaryPlain_; }

 public slots:
  void Report();

 private:
  // What the summary and the test's CSV are made of: the shown runs within
  // the shown (or zoomed) range, the chosen protocol, the model's channels.
  kestrum::HistoryTest CurrentTest() const;
  // For the report and the test's CSV: one site shown, else said why (`what`
  // is "a report", "a test").
  bool OneSiteShown(const QString& what);
  // The file chosen in the save dialog: as shown, and as the system's bytes.
  struct SaveTarget {
    QString shown;
    std::string localName;
  };
  std::optional<SaveTarget> AskSaveTarget(const FileDialogSetup& setup);
  void showEvent(QShowEvent* event) override;
  // Escape closes the window (an open cell editor takes it first).
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  QWidget* BuildTopRow();
  std::string InstrumentNameAt(int index) const;
  QWidget* BuildViewRow();
  void LoadInstrument(const std::string& name);
  void ShowTableSelection();
  void ShowRangeClicked();
  // Packs and draws the runs' samples from..to, and sums them up.
  void Draw(const std::vector<const kestrum::LoadedRun*>& runs, kestrum::DateTime from,
            kestrum::DateTime to);
  void Redraw();
  // The footer and the summary follow a zoom.
  void ZoomChanged();
  void RefreshSummary();
  void ClearSelection(const QString& why);
  HistoryViewChoices ViewChoices() const;
  kestrum::MeasurementSource Source() const;
  std::vector<double> VerdictLevels() const;
  void SiteEdited(int row, const QString& site);
  void NoteEdited(int row, const QString& note);
  void RunTextEdited(int row, int column, const QString& text);
  void ExcludedToggled(int row, bool excluded);

  HistoryWindowServices services_;
  QStackedWidget* chartStack_ = nullptr;
  bool drawing_ = false;
  kestrum::HistoryInstrument instrument_;
  std::vector<kestrum::LoadedRun> loaded_;
  std::vector<std::string> instrumentNames_;  // the picker's, as the store holds them
  std::int64_t dataVersion_ = 0;
  // What the store could not give the last time it was read, shown in the notice.
  std::optional<std::string> readProblem_;
  void ShowNotice();
  QTimer* follow_ = nullptr;
  // What the chart shows: the runs (indices into loaded_) and the time range.
  std::vector<int> shownRuns_;
  kestrum::DateTime shownFrom_ = 0;
  kestrum::DateTime shownTo_ = 0;
  kestrum::HistorySelection selection_;
  kestrum::RunSummary summary_;
  std::vector<SiteSummary> sites_;
  // The other instruments beside the shown site, for the test they were read for.
  const std::vector<kestrum::CollocatedInstrument>& Collocated(const kestrum::SiteHours& shown,
                                                               kestrum::DateTime from,
                                                               kestrum::DateTime to);
  using CollocatedKey = std::tuple<std::string, std::string, kestrum::DateTime, kestrum::DateTime>;
  std::optional<std::pair<CollocatedKey, std::vector<kestrum::CollocatedInstrument>>> collocated_;
  QString summaryPlain_;
};
