// SPDX-License-Identifier: GPL-3.0-or-later
// The chart views driven through the main window's handlers.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "app/main_window.h"
#include "app/window_fixture.h"
#include "records/date_time.h"

namespace {

class ViewsWindowTest : public WindowTest {
 protected:
  void SetUp() override { OpenWindow(); }

  void Open(const char* sample) {
    OpenFile(SamplePath(sample));
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  }

  void Pick(int item) {
    window->ComboBox3->setCurrentIndex(item);
    window->ComboBox3Change();
  }

  int SamplesOfRun(int run) const {
    const auto& entry = window->Store().Runs[run];
    return entry.LastSample - entry.FirstSample + 1;
  }

  // A K8 store by hand: one run of `count` samples of `concentration` Bq/m3.
  void FillOneRun(int count, double concentration) {
    auto& s = window->Store();
    s.MemoryImage[0] = '4';
    const kestrum::DateTime start = kestrum::EncodeDate(2024, 3, 5);
    for (int i = 0; i < count; ++i) {
      s.Samples[i].Time = start + (i + 1) / 24.0;
      s.Samples[i].Concentration = concentration;
      s.Samples[i].Pulses = concentration / 6.0;
      s.Samples[i].Error = 10;
      s.Samples[i].TemperatureValue = 20 + i;
    }
    s.LastSampleIndex = count - 1;
    s.RunCount = 1;
    s.Runs[0] = {0, count - 1, start};
    s.Runs[1] = s.Runs[0];
    window->ComboBox3->clear();
    window->ComboBox3->addItems({"run", "All measurements"});
    window->ComboBox3->setEnabled(true);
  }
};

TEST_F(ViewsWindowTest, PickingARunShowsItsPulseDistributionAndFooter) {
  Open("k8-sample.Rn");
  window->Chart1->MeanLine().AddXY(1, 1);  // a mean left from before must go
  Pick(1);
  EXPECT_FALSE(window->Chart1->isHidden());
  EXPECT_TRUE(window->View1->isEnabled());
  EXPECT_FALSE(window->ComboBox2->isEnabled());
  EXPECT_TRUE(window->PulseDistribution1->isChecked());
  EXPECT_EQ(window->SelectedRun, 1);
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"Measurements"});
  EXPECT_EQ(window->Chart1->PulseBars().Count(), SamplesOfRun(1));
  EXPECT_EQ(window->Chart1->MeanLine().Count(), 0);
  EXPECT_EQ(window->Chart1->TemperatureLine().Count(), 0);  // Temperature is not checked
  const QStringList footer = window->Chart1->FooterLines();
  ASSERT_EQ(footer.size(), 1);
  EXPECT_TRUE(footer[0].startsWith("StartTime: ")) << footer[0].toStdString();
  EXPECT_TRUE(footer[0].contains(" Radonlevel :"));
  EXPECT_TRUE(footer[0].contains(QChar(0x00B1)));
}

TEST_F(ViewsWindowTest, AllMeasurementsDrawsEverySampleWithTheViewMenuOff) {
  Open("k8-sample.Rn");
  Pick(window->ComboBox3->count() - 1);
  EXPECT_FALSE(window->View1->isEnabled());
  EXPECT_EQ(window->Chart1->PulseBars().Count(), window->Store().LastSampleIndex + 1);
  Pick(0);
  EXPECT_TRUE(window->View1->isEnabled());
}

TEST_F(ViewsWindowTest, MeanViewsDrawMeansAndErrorsWithTheirIntervals) {
  Open("k8-sample.Rn");
  Pick(0);
  const int c = SamplesOfRun(0);

  window->Mean1Click();
  EXPECT_TRUE(window->Mean1->isChecked());
  EXPECT_FALSE(window->PulseDistribution1->isChecked());
  EXPECT_TRUE(window->ComboBox2->isEnabled());
  EXPECT_EQ(window->ComboBox2->currentIndex(), 0);
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"2h-Mean"});
  EXPECT_EQ(window->Chart1->MeanLine().Count(), c - 2 + 1);
  EXPECT_EQ(window->Chart1->MeanErrorBars().Count(), 0);
  EXPECT_EQ(window->Chart1->PulseBars().Count(), 0);

  window->ComboBox2->setCurrentIndex(4);  // "24h"
  window->MeanandmeanError1Click();
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"24h-Mean"});
  EXPECT_EQ(window->Chart1->MeanLine().Count(), c - 24 + 1);
  EXPECT_EQ(window->Chart1->MeanErrorBars().Count(), c - 24);
  EXPECT_TRUE(window->MeanError_CheckBox->isChecked());

  window->PulseDistributionandMean1Click();
  EXPECT_FALSE(window->MeanError_CheckBox->isChecked());
  EXPECT_EQ(window->Chart1->PulseBars().Count(), c);
  EXPECT_EQ(window->Chart1->MeanLine().Count(), c - 24 + 1);
  EXPECT_EQ(window->Chart1->MeanErrorBars().Count(), 0);

  window->PulseDistribution1Click();
  EXPECT_FALSE(window->ComboBox2->isEnabled());
  EXPECT_EQ(window->Chart1->MeanLine().Count(), 0);
  EXPECT_EQ(window->Chart1->PulseBars().Count(), c);
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"Measurements"});
}

TEST_F(ViewsWindowTest, AShortRunWalksTheIntervalDownToTwoHours) {
  FillOneRun(1, 100);
  Pick(0);
  window->ComboBox2->setCurrentIndex(7);  // "Mean"
  window->Mean1Click();
  EXPECT_EQ(window->ComboBox2->currentIndex(), 0);
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"2h-Mean"});
  EXPECT_EQ(window->StatusBar1->Text(1), "Mean intervall > number of measurements");
  EXPECT_EQ(window->Chart1->MeanLine().Count(), 0);
}

TEST_F(ViewsWindowTest, EnvironmentalSwitchesRedrawTheViewAndFollowTheModel) {
  Open("k8-sample.Rn");
  Pick(0);
  window->Mean1Click();
  const int means = window->Chart1->MeanLine().Count();
  window->TemperatureClick();
  EXPECT_TRUE(window->Temperature->isChecked());
  EXPECT_EQ(window->Chart1->TemperatureLine().Count(), means - 1);  // from sample F + n on
  window->PressureClick();
  EXPECT_EQ(window->Chart1->PressureLine().Count(), means - 1);
  window->TemperatureClick();
  EXPECT_EQ(window->Chart1->TemperatureLine().Count(), 0);

  // A K5 has no temperature sensor: no line, though the entry stays checked.
  window->TemperatureClick();
  Open("k5-sample.Rn");
  Pick(0);
  EXPECT_TRUE(window->Temperature->isChecked());
  EXPECT_GT(window->Chart1->PulseBars().Count(), 0);
  EXPECT_EQ(window->Chart1->TemperatureLine().Count(), 0);
  EXPECT_EQ(window->Chart1->PressureLine().Count(), 0);
}

TEST_F(ViewsWindowTest, PickingAnIntervalInAMeanOnlyViewRedrawsThePressureLine) {
  Open("k8-sample.Rn");
  Pick(0);
  window->MeanandmeanError1Click();
  window->TemperatureClick();
  window->PressureClick();
  const auto sameSpan = [this] {
    const auto& pressure = window->Chart1->PressureLine().Points();
    const auto& temperature = window->Chart1->TemperatureLine().Points();
    return !pressure.empty() && pressure.size() == temperature.size() &&
           pressure.front().x == temperature.front().x;
  };
  ASSERT_TRUE(sameSpan());

  window->ComboBox2->setCurrentIndex(6);  // the user's pick of "7d"
  emit window->ComboBox2->activated(6);
  EXPECT_EQ(window->Chart1->TemperatureLine().Count(), SamplesOfRun(0) - 168);
  EXPECT_TRUE(sameSpan());

  window->Pressure->setChecked(false);
  window->ComboBox2->setCurrentIndex(1);
  emit window->ComboBox2->activated(1);
  EXPECT_EQ(window->Chart1->PressureLine().Count(), 0);
}

TEST_F(ViewsWindowTest, ZoomingRewritesTheFooterForTheVisibleRange) {
  FillOneRun(10, 100);
  window->Store().Samples[4].Concentration = 250;
  Pick(0);
  EXPECT_TRUE(window->Chart1->FooterLines()[0].contains("Radonlevel :115"))
      << window->Chart1->FooterLines()[0].toStdString();
  const kestrum::DateTime fifth = window->Store().Samples[4].Time;
  window->Chart1->ZoomToTimeRange(fifth - 0.01, fifth + 0.01);
  EXPECT_TRUE(window->Chart1->FooterLines()[0].contains("Radonlevel :250"))
      << window->Chart1->FooterLines()[0].toStdString();
  window->Chart1->UndoZoom();
  EXPECT_TRUE(window->Chart1->FooterLines()[0].contains("Radonlevel :115"));
}

TEST_F(ViewsWindowTest, TitleEditingTakesOverOnTheNextClick) {
  FillOneRun(5, 50);
  Pick(0);
  window->Chart1DblClick();
  ASSERT_TRUE(window->Chart1->TitleEdit()->isVisibleTo(window->Chart1));
  EXPECT_EQ(window->Chart1->TitleEdit()->text(), "Measurements");
  window->Chart1->TitleEdit()->setText("Cellar, March");
  window->titleClick();
  EXPECT_FALSE(window->Chart1->TitleEdit()->isVisibleTo(window->Chart1));
  EXPECT_EQ(window->Chart1->TitleLines(), QStringList{"Cellar, March"});
}

TEST_F(ViewsWindowTest, PicturesAndPrintingComeOutAsFiles) {
  Open("k6-sample.Rn");
  Pick(0);
  QTemporaryDir dir;
  const struct {
    int filter;
    const char* name;
    QByteArray magic;
  } pictures[] = {{2, "chart.Bmp", "BM"},
                  {3, "chart.Svg", "<?xml"},
                  {5, "chart.Png", "\x89PNG"},
                  {6, "chart.Pdf", "%PDF"}};
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.name);
    dialogs.saveAnswers.push_back(FileChoice{dir.filePath(picture.name), picture.filter});
    window->Save1Click();
    QFile file(dir.filePath(picture.name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith(picture.magic));
    EXPECT_NE(window->windowTitle(), picture.name);
    EXPECT_EQ(window->StatusBar1->Text(StatusPanels::kOutcomePanel),
              QStringLiteral("Exported ") + picture.name);
  }
  EXPECT_TRUE(prompts.errors.isEmpty());

  dialogs.printAnswer = true;
  dialogs.printToFile = dir.filePath("printed.pdf");
  window->Print1Click();
  EXPECT_TRUE(prompts.errors.isEmpty());
  QFile printed(dialogs.printToFile);
  ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
  const QByteArray pdf = printed.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
}

}  // namespace
