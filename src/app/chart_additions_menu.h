#pragma once
// The View menu's entries for the chart additions, below the original ones:
// "Reference levels" (100, 148 and 300 Bq/m3 and one typed in), "Units",
// "Legend", "Cursor readout" and "Summary". Every change is remembered at once.

#include <QAction>
#include <QMenu>
#include <QObject>

#include "app/chart_additions_settings.h"
#include "app/user_prompts.h"

class ChartAdditionsMenu : public QObject {
  Q_OBJECT
 public:
  ChartAdditionsMenu(QMenu* view, UserPrompts& prompts);

  const kestrum::ChartAdditionChoices& Choices() const { return choices_; }

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

 signals:
  void changed();

 private:
  void TakeMenuState();
  void AskCustomLevel();

  UserPrompts& prompts_;
  kestrum::ChartAdditionChoices choices_;
};
