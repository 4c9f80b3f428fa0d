// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run summary beside the chart: the answer of the chosen protocol's
// assessment in one sentence, then the figures of the shown run over the
// visible time range, following every zoom.

#include <QDockWidget>
#include <QTextBrowser>

#include "app/assessment_chooser.h"
#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

class SummaryDock : public QDockWidget {
  Q_OBJECT
 public:
  SummaryDock(ProfileSources sources, QWidget* parent);

  void ShowSummary(const kestrum::RunSummary& summary, const kestrum::MeasurementSource& source,
                   kestrum::RadonUnit unit);
  void ShowNothing();
  // What the dock says, one line per row: "label value"; the answer first.
  QString Text() const { return plain_; }

  AssessmentChooser* Chooser;

 private:
  QTextBrowser* text_;
  QString plain_;
  QString shownHtml_;
};
