// SPDX-License-Identifier: GPL-3.0-or-later
// The View menu's chart additions in the window: remembered across a
// restart, drawn on the chart, the summary beside it and the report.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "app/window_fixture.h"
#include "views/gui/reference_line.h"

namespace {

QString PdfText(const QString& path) {
  QProcess text;
  text.start("pdftotext", {path, "-"});
  if (!text.waitForFinished()) return {};
  // Ligatures ("fi") back to letters.
  return QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QString Minute(kestrum::DateTime t) {
  const kestrum::DateTimeFields f = kestrum::SplitDateTime(t);
  return QString::asprintf("%04d-%02d-%02d %02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
}

class ChartAdditionsWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    // Every test starts from the defaults.
    kestrum::OpenAppSettings()->remove("chart");
    OpenWindow();
  }
  void Pick(int item) {
    window->ComboBox3->setCurrentIndex(item);
    window->ComboBox3Change();
  }
};

TEST_F(ChartAdditionsWindowTest, ChoicesSurviveARestart) {
  ChartAdditionsMenu& menu = *window->ChartAdditions;
  EXPECT_FALSE(menu.Level148->isChecked());
  EXPECT_TRUE(menu.UnitBqPerM3->isChecked());
  menu.Level148->trigger();
  menu.UnitPciPerL->trigger();
  menu.Legend->trigger();
  menu.Summary->trigger();
  prompts.numberAnswer = 250;
  menu.CustomLevel->trigger();

  ReopenWindow();
  ChartAdditionsMenu& again = *window->ChartAdditions;
  EXPECT_FALSE(again.Level100->isChecked());
  EXPECT_TRUE(again.Level148->isChecked());
  EXPECT_TRUE(again.CustomLevel->isChecked());
  EXPECT_TRUE(again.UnitPciPerL->isChecked());
  EXPECT_TRUE(again.Legend->isChecked());
  EXPECT_TRUE(again.Summary->isChecked());
  EXPECT_FALSE(window->Summary->isHidden());
  const kestrum::ChartAdditions& drawn = window->Chart1->Additions();
  EXPECT_EQ(drawn.referenceLevels, (std::vector<double>{148, 250}));
  EXPECT_EQ(drawn.unit, kestrum::RadonUnit::PciPerL);
  EXPECT_TRUE(drawn.legend);
}

TEST_F(ChartAdditionsWindowTest, SummaryFollowsTheZoomAndFooterAddsPicocuries) {
  OpenFile(SamplePath("k7-sample.Rn"));
  window->ChartAdditions->Summary->trigger();
  window->ChartAdditions->Level100->trigger();
  Pick(0);
  // The run list's tooltip names years and the sample count.
  const kestrum::RunEntry& run = store->Runs[0];
  const QString tip = window->ComboBox3->itemData(0, Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(QString::number(kestrum::SplitDateTime(store->Samples[0].Time).year)));
  EXPECT_TRUE(tip.endsWith(QString(", %1 samples").arg(run.LastSample - run.FirstSample + 1)))
      << tip.toStdString();
  EXPECT_TRUE(window->Summary->Text().contains(
      QString("Samples %1").arg(run.LastSample - run.FirstSample + 1)))
      << window->Summary->Text().toStdString();
  // Zoomed onto three samples, the summary counts three.
  const double t = store->Samples[static_cast<std::size_t>(run.FirstSample + 5)].Time;
  window->Chart1->ZoomToTimeRange(t - 0.01, t + 2.0 / 24 + 0.01);
  EXPECT_TRUE(window->Summary->Text().contains("Samples 3"));
  // Three hours are too few to judge any level.
  EXPECT_TRUE(window->Summary->Text().contains("WHO 100 Bq/m3: too short to judge"));

  const QString bq = window->Chart1->FooterLines().value(0);
  window->ChartAdditions->UnitPciPerL->trigger();
  const QString pci = window->Chart1->FooterLines().value(0);
  EXPECT_TRUE(pci.startsWith(bq + " (")) << pci.toStdString();
  EXPECT_TRUE(pci.endsWith(" pCi/L)"));
}

TEST_F(ChartAdditionsWindowTest, ReportFromTheWindowHoldsTheShownRun) {
  OpenFile(SamplePath("k8-sample.Rn"));
  Pick(0);
  QTemporaryDir dir;
  dialogs.saveAnswers.push_back(FileChoice{dir.filePath("report.pdf"), 1});
  window->Report1Click();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
  const QString page = PdfText(dir.filePath("report.pdf"));
  const kestrum::RunEntry& run = store->Runs[0];
  EXPECT_TRUE(page.contains("K8, calibration factor")) << page.toStdString();
  EXPECT_TRUE(page.contains("k8-sample.Rn"));
  EXPECT_TRUE(page.contains(QString::number(run.LastSample - run.FirstSample + 1)));
  EXPECT_TRUE(page.contains("Daily means"));
}

// With no level chosen, the report judges against the three standard ones;
// its period starts an hour before the first time stamp and says so; site
// and operator are asked for with the last answers offered.
TEST_F(ChartAdditionsWindowTest, ReportJudgesStandardLevelsAndStatesItsPeriodSiteAndOperator) {
  OpenFile(SamplePath("k7-sample.Rn"));
  Pick(0);
  std::vector<kestrum::ReportDetails> offered;
  window->ChartAdditions->SetDetailsQuestion([&](const kestrum::ReportDetails& last) {
    offered.push_back(last);
    kestrum::ReportDetails answer;
    answer.site = "Cellar, Mill Lane 5";
    answer.operatorName = "A. Tester";
    return answer;
  });
  QTemporaryDir dir;
  for (int i = 0; i < 2; ++i) {
    dialogs.saveAnswers.push_back(FileChoice{dir.filePath("report.pdf"), 1});
    window->Report1Click();
  }
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].site, "");
  EXPECT_EQ(offered[1].site, "Cellar, Mill Lane 5");
  EXPECT_EQ(offered[1].operatorName, "A. Tester");

  const QString page = PdfText(dir.filePath("report.pdf"));
  const qsizetype who = page.indexOf("WHO 100 Bq/m3: the mean");
  const qsizetype us = page.indexOf("US action 148 Bq/m3: the mean");
  const qsizetype eu = page.indexOf("EU 300 Bq/m3: the mean");
  EXPECT_TRUE(who >= 0 && us > who && eu > us) << page.toStdString();
  const kestrum::RunEntry& run = store->Runs[0];
  const kestrum::DateTime first = store->Samples[static_cast<std::size_t>(run.FirstSample)].Time;
  const kestrum::DateTime last = store->Samples[static_cast<std::size_t>(run.LastSample)].Time;
  EXPECT_TRUE(page.contains(Minute(first - 1.0 / 24) + " to " + Minute(last) +
                            " (the first hour ends " + Minute(first).mid(11) + ")"))
      << page.toStdString();
  EXPECT_FALSE(page.contains("First sample"));
  EXPECT_TRUE(page.contains("Cellar, Mill Lane 5"));
  EXPECT_TRUE(page.contains("A. Tester"));

  // Under another protocol than the period the report is the test's, pages of it.
  window->Summary->Chooser->SetProtocol(kestrum::Protocol::kUsShortTerm);
  dialogs.saveAnswers.push_back(FileChoice{dir.filePath("test.pdf"), 1});
  window->Report1Click();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
  EXPECT_FALSE(offered.back().onePageOffered);
  const QString test = PdfText(dir.filePath("test.pdf"));
  EXPECT_TRUE(test.contains("Radon test report") && test.contains("Hourly data") &&
              test.contains("Cellar, Mill Lane 5"))
      << test.toStdString();
}

TEST_F(ChartAdditionsWindowTest, ReportAndPrintSitAfterPrintInMain) {
  const QList<QAction*> items = window->MainMenu->actions();
  ASSERT_GE(items.size(), 4);
  EXPECT_EQ(items.indexOf(window->Report1), items.indexOf(window->Print1) + 1);
  EXPECT_EQ(window->Report1->text(), QString::fromUtf8("Report\u2026"));
}

}  // namespace
