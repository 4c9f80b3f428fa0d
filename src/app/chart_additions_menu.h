// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The View menu's entries for the chart additions, below the original ones:
// "Reference levels" (100, 148 and 300 Bq/m3 and one typed in), "Units",
// "Legend", "Cursor readout", "Summary" and "Condition thresholds…". Every
// change is remembered at once.
// It also keeps the site and operator the main window's report names.

#include <QAction>
#include <QMenu>
#include <QObject>
#include <functional>
#include <optional>

#include "app/chart_additions_settings.h"
#include "app/user_prompts.h"

class ChartAdditionsMenu : public QObject {
  Q_OBJECT
 public:
  ChartAdditionsMenu(QMenu* view, UserPrompts& prompts);

  const kestrum::ChartAdditionChoices& Choices() const { return choices_; }

  // Whom and by whom a report is: `offered` (the remembered lines with the
  // site's client) in a small box (with the real message boxes), the answer
  // remembered; nothing when the box is cancelled.
  std::optional<kestrum::ReportDetails> AskReportDetails(const kestrum::ReportDetails& offered);
  // Takes the place of the box (tests answer it).
  using DetailsQuestion =
      std::function<std::optional<kestrum::ReportDetails>(const kestrum::ReportDetails& offered)>;
  void SetDetailsQuestion(DetailsQuestion question) { detailsQuestion_ = std::move(question); }

  QMenu* ReferenceLevels = nullptr;
  QAction* Level100 = nullptr;
  QAction* Level148 = nullptr;
  QAction* Level300 = nullptr;
  QAction* CustomLevel = nullptr;
  QMenu* Units = nullptr;
  QAction* UnitBqPerM3 = nullptr;
  QAction* UnitPciPerL = nullptr;
  QAction* Legend = nullptr;
  QAction* Readout = nullptr;
  QAction* Summary = nullptr;
  QAction* Thresholds = nullptr;
  // Takes the place of the thresholds' box (tests answer it).
  using ThresholdsQuestion = std::function<std::optional<kestrum::ConditionThresholds>(
      const kestrum::ConditionThresholds& offered)>;
  void SetThresholdsQuestion(ThresholdsQuestion question) {
    thresholdsQuestion_ = std::move(question);
  }

 signals:
  void changed();

 private:
  void TakeMenuState();
  void AskCustomLevel();
  void AskThresholds();

  UserPrompts& prompts_;
  kestrum::ChartAdditionChoices choices_;
  DetailsQuestion detailsQuestion_;
  ThresholdsQuestion thresholdsQuestion_;
};
