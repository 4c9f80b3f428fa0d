// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chart_additions_settings.h"

#include "app/app_settings.h"
#include "assessment/reference_levels.h"

namespace kestrum {
namespace {

const char kGroup[] = "chart";
const char kReportGroup[] = "report";

}  // namespace

ChartAdditions ChartAdditionChoices::ForChart() const {
  ChartAdditions out;
  const bool standard[] = {level100, level148, level300};
  for (std::size_t i = 0; i < kStandardReferenceLevels.size(); ++i) {
    if (standard[i]) out.referenceLevels.push_back(kStandardReferenceLevels[i]);
  }
  if (customLevel) out.referenceLevels.push_back(*customLevel);
  out.referenceLevels = AscendingLevels(std::move(out.referenceLevels));
  out.unit = unit;
  out.legend = legend;
  return out;
}

ChartAdditionChoices LoadChartAdditionChoices() {
  const auto settings = OpenAppSettings();
  settings->beginGroup(kGroup);
  ChartAdditionChoices c;
  c.level100 = settings->value("level100", false).toBool();
  c.level148 = settings->value("level148", false).toBool();
  c.level300 = settings->value("level300", false).toBool();
  bool isNumber = false;
  const double custom = settings->value("customLevel").toDouble(&isNumber);
  if (isNumber && custom > 0) c.customLevel = custom;
  c.unit = settings->value("units").toString() == "pCi/L" ? RadonUnit::PciPerL : RadonUnit::BqPerM3;
  c.legend = settings->value("legend", false).toBool();
  c.summary = settings->value("summary", false).toBool();
  c.readout = settings->value("readout", false).toBool();
  if (const auto thresholds =
          ParseConditionThresholds(settings->value("thresholds").toString().toStdString())) {
    c.thresholds = *thresholds;
  }
  return c;
}

void SaveChartAdditionChoices(const ChartAdditionChoices& c) {
  const auto settings = OpenAppSettings();
  settings->beginGroup(kGroup);
  settings->setValue("level100", c.level100);
  settings->setValue("level148", c.level148);
  settings->setValue("level300", c.level300);
  if (c.customLevel) {
    settings->setValue("customLevel", *c.customLevel);
  } else {
    settings->remove("customLevel");
  }
  settings->setValue("units", RadonUnitText(c.unit));
  settings->setValue("legend", c.legend);
  settings->setValue("summary", c.summary);
  settings->setValue("readout", c.readout);
  const ConditionThresholds usual;
  const ConditionThresholds& t = c.thresholds;
  settings->setValue("thresholds", QStringLiteral("%1,%2,%3")
                                       .arg(t.temperature.value_or(*usual.temperature))
                                       .arg(t.humidity.value_or(*usual.humidity))
                                       .arg(t.pressure.value_or(*usual.pressure)));
  settings->endGroup();
  settings->sync();
}

ReportDetails LoadReportDetails() {
  const auto settings = OpenAppSettings();
  settings->beginGroup(kReportGroup);
  // A hand-written line with a comma reads as a list.
  const auto text = [&](const char* key) {
    const QVariant value = settings->value(key);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(", ")
                                                    : value.toString();
  };
  ReportDetails details;
  details.site = text("site");
  details.operatorName = text("operator");
  details.certification = text("certification");
  const QString paper = settings->value("paper").toString();
  if (paper == "letter") details.paper = ReportPaper::kLetter;
  if (paper == "a4") details.paper = ReportPaper::kA4;
  details.onePage = settings->value("one_page", true).toBool();
  return details;
}

void SaveReportDetails(const ReportDetails& details) {
  const auto settings = OpenAppSettings();
  settings->beginGroup(kReportGroup);
  settings->setValue("site", details.site);
  settings->setValue("operator", details.operatorName);
  settings->setValue("certification", details.certification);
  settings->setValue("paper", details.paper == ReportPaper::kLetter ? "letter" : "a4");
  if (details.onePageOffered) settings->setValue("one_page", details.onePage);
  settings->endGroup();
  settings->sync();
}

}  // namespace kestrum
