// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run summary beside the chart: the figures of the shown run over the
// visible time range, following every zoom.

#include <QDockWidget>
#include <QTextBrowser>

#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

class SummaryDock : public QDockWidget {
  Q_OBJECT
 public:
  explicit SummaryDock(QWidget* parent);

  void ShowSummary(const kestrum::RunSummary& summary, const kestrum::MeasurementSource& source,
                   kestrum::RadonUnit unit);
  void ShowNothing();
  // What the dock says, one line per row: "label value".
  QString Text() const { return plain_; }

 private:
  QTextBrowser* text_;
  QString plain_;
};
