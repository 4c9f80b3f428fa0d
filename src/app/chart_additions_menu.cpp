// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chart_additions_menu.h"

#include <QActionGroup>
#include <QApplication>

#include "app/condition_thresholds_dialog.h"
#include "app/report_details_dialog.h"

namespace {

QAction* AddCheck(QMenu* menu, const char* name, const QString& caption, bool checked) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setCheckable(true);
  action->setChecked(checked);
  return action;
}

QString CustomCaption(const std::optional<double>& level) {
  return level ? QStringLiteral("Custom\u2026 (%1 Bq/m3)").arg(*level)
               : QStringLiteral("Custom\u2026");
}

}  // namespace

std::optional<kestrum::ReportDetails> ChartAdditionsMenu::AskReportDetails(
    const kestrum::ReportDetails& offered) {
  std::optional<kestrum::ReportDetails> details = offered;
  if (detailsQuestion_) {
    details = detailsQuestion_(offered);
  } else if (dynamic_cast<MessageBoxPrompts*>(&prompts_)) {
    // The box is one of the window's questions: where those are answered
    // without boxes, the remembered lines stand.
    details = AskReportDetailsBox(QApplication::activeWindow(), offered);
  }
  if (details) kestrum::SaveReportDetails(*details);
  return details;
}

ChartAdditionsMenu::ChartAdditionsMenu(QMenu* view, UserPrompts& prompts)
    : QObject(view), prompts_(prompts), choices_(kestrum::LoadChartAdditionChoices()) {
  view->addSeparator();
  ReferenceLevels = view->addMenu(QStringLiteral("Reference levels"));
  ReferenceLevels->setObjectName("ReferenceLevels");
  Level100 =
      AddCheck(ReferenceLevels, "Level100", QStringLiteral("100 Bq/m3 (WHO)"), choices_.level100);
  Level148 = AddCheck(ReferenceLevels, "Level148",
                      QStringLiteral("148 Bq/m3 (US action level, 4 pCi/L)"), choices_.level148);
  Level300 = AddCheck(ReferenceLevels, "Level300", QStringLiteral("300 Bq/m3 (EU reference level)"),
                      choices_.level300);
  CustomLevel = AddCheck(ReferenceLevels, "CustomLevel", CustomCaption(choices_.customLevel),
                         choices_.customLevel.has_value());

  Units = view->addMenu(QStringLiteral("Units"));
  Units->setObjectName("Units");
  auto* unitGroup = new QActionGroup(Units);
  UnitBqPerM3 = AddCheck(Units, "UnitBqPerM3", QStringLiteral("Bq/m3"),
                         choices_.unit == kestrum::RadonUnit::BqPerM3);
  UnitPciPerL = AddCheck(Units, "UnitPciPerL", QStringLiteral("pCi/L"),
                         choices_.unit == kestrum::RadonUnit::PciPerL);
  unitGroup->addAction(UnitBqPerM3);
  unitGroup->addAction(UnitPciPerL);

  Legend = AddCheck(view, "Legend", QStringLiteral("Legend"), choices_.legend);
  Readout = AddCheck(view, "Readout", QStringLiteral("Cursor readout"), choices_.readout);
  Summary = AddCheck(view, "Summary", QStringLiteral("Summary"), choices_.summary);

  for (QAction* action :
       {Level100, Level148, Level300, UnitBqPerM3, UnitPciPerL, Legend, Readout, Summary}) {
    connect(action, &QAction::triggered, this, &ChartAdditionsMenu::TakeMenuState);
  }
  connect(CustomLevel, &QAction::triggered, this, &ChartAdditionsMenu::AskCustomLevel);
  Thresholds = view->addAction(QStringLiteral("Condition thresholds\u2026"));
  Thresholds->setObjectName("ConditionThresholds");
  connect(Thresholds, &QAction::triggered, this, &ChartAdditionsMenu::AskThresholds);
}

void ChartAdditionsMenu::AskThresholds() {
  std::optional<kestrum::ConditionThresholds> given;
  if (thresholdsQuestion_) {
    given = thresholdsQuestion_(choices_.thresholds);
  } else if (dynamic_cast<MessageBoxPrompts*>(&prompts_)) {
    given = AskConditionThresholdsBox(QApplication::activeWindow(), choices_.thresholds);
  }
  if (!given) return;
  choices_.thresholds = *given;
  TakeMenuState();
}

void ChartAdditionsMenu::AskCustomLevel() {
  if (CustomLevel->isChecked()) {
    const int offered = choices_.customLevel ? static_cast<int>(*choices_.customLevel) : 200;
    const std::optional<int> level =
        prompts_.AskNumber(QStringLiteral("Reference level in Bq/m3:"), offered, 1, 100000);
    if (level) {
      choices_.customLevel = *level;
    } else {
      CustomLevel->setChecked(choices_.customLevel.has_value());
      return;
    }
  } else {
    choices_.customLevel.reset();
  }
  CustomLevel->setText(CustomCaption(choices_.customLevel));
  TakeMenuState();
}

void ChartAdditionsMenu::TakeMenuState() {
  choices_.level100 = Level100->isChecked();
  choices_.level148 = Level148->isChecked();
  choices_.level300 = Level300->isChecked();
  choices_.unit =
      UnitPciPerL->isChecked() ? kestrum::RadonUnit::PciPerL : kestrum::RadonUnit::BqPerM3;
  choices_.legend = Legend->isChecked();
  choices_.summary = Summary->isChecked();
  choices_.readout = Readout->isChecked();
  kestrum::SaveChartAdditionChoices(choices_);
  emit changed();
}
