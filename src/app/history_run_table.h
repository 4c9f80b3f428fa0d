// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window's table of one instrument's runs, oldest first: site,
// first and last sample, samples, mean with its uncertainty, the verdict for
// each reference level, the data files that hold the run and its marks.
// Site and note are edited in place and "Excluded" is a check box; a run
// measured with the clock unset has "Re-date..." in its context menu. The
// table only reports the edits, the window writes them.

#include <QTableWidget>
#include <memory>
#include <vector>

#include "history/history_types.h"
#include "views/run_summary.h"

struct HistoryRunRow {
  kestrum::HistoryRun run;
  kestrum::RunSummary summary;         // over the whole run, judged against the levels
  std::vector<std::string> downloads;  // the data files that hold the run
};

class QMenu;

class HistoryRunTable : public QTableWidget {
  Q_OBJECT
 public:
  enum Column {
    kSite,
    kFirst,
    kLast,
    kSamples,
    kMean,
    kVerdict,
    kDownloads,
    kMarks,
    kExcluded,
    kNote,
    kColumnCount
  };

  explicit HistoryRunTable(QWidget* parent);

  // One row per run in the order given; `editable` false for a read-only history.
  void ShowRuns(const std::vector<HistoryRunRow>& rows, bool editable);
  // Rows of the runs selected, in table order.
  std::vector<int> SelectedRows() const;
  // Selects these rows (and no others) in one step.
  void SelectRows(const std::vector<int>& rows);
  // Greys a row out, or brings it back, after its exclusion changed; with
  // `check` the check box is set as well (a change that was not saved).
  void ShowExcluded(int row, bool excluded, bool check = false);
  // Puts a text back after its change could not be written.
  void RestoreText(int row, int column, const QString& text);
  // The context menu of a row (empty when the row offers nothing), as a
  // right click shows it.
  std::unique_ptr<QMenu> RowMenu(int row);

 signals:
  void siteEdited(int row, const QString& site);
  void noteEdited(int row, const QString& note);
  void excludedToggled(int row, bool excluded);
  void redateAsked(int row);

 private:
  void ItemChanged(QTableWidgetItem* item);
  void ContextMenuAsked(const QPoint& at);

  bool filling_ = false;
  std::vector<bool> redatable_;  // per row
};

// "conflict, overlaps, clock unset, re-dated" as far as they apply.
QString RunMarksText(const kestrum::HistoryRun& run);
// "above 100, below 300" for each judgement, levels in Bq/m3.
QString VerdictText(const kestrum::RunSummary& summary);
