// The View menu's chart additions in the window: remembered across a
// restart, drawn on the chart, the summary beside it and the report.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "app/window_fixture.h"
#include "views/gui/reference_line.h"

namespace {

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
  EXPECT_TRUE(window->Summary->Text().contains("reference level of 100 Bq/m3"));

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
  QProcess text;
  text.start("pdftotext", {dir.filePath("report.pdf"), "-"});
  ASSERT_TRUE(text.waitForFinished());
  const QString page = QString::fromUtf8(text.readAllStandardOutput());
  const kestrum::RunEntry& run = store->Runs[0];
  EXPECT_TRUE(page.contains("K8, calibration factor")) << page.toStdString();
  EXPECT_TRUE(page.contains("k8-sample.Rn"));
  EXPECT_TRUE(page.contains(QString::number(run.LastSample - run.FirstSample + 1)));
  EXPECT_TRUE(page.contains("Daily means"));
}

TEST_F(ChartAdditionsWindowTest, ReportAndPrintSitAfterPrintInMain) {
  const QList<QAction*> items = window->MainMenu->actions();
  ASSERT_GE(items.size(), 4);
  EXPECT_EQ(items.indexOf(window->Report1), items.indexOf(window->Print1) + 1);
  EXPECT_EQ(window->Report1->text(), QString::fromUtf8("Report\u2026"));
}

}  // namespace
