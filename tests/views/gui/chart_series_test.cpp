// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>

#include "views/gui/chart_time.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/interval_means.h"
#include "views/pulse_distribution.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRun;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

TEST(ChartLook, StartsAsTheMainWindowShowsIt) {
  KestrumChart chart;
  EXPECT_EQ(chart.TitleLines(), QStringList{QStringLiteral("Measurements")});
  EXPECT_TRUE(chart.FooterLines().isEmpty());
  EXPECT_EQ(chart.LeftAxisTitle(), QStringLiteral("Bq/m3"));
  EXPECT_EQ(chart.BottomAxisTitle(), QStringLiteral("Time"));
  EXPECT_EQ(chart.yAxis2->label(), QStringLiteral("Temp/RH/Press"));
  EXPECT_FALSE(chart.legend->visible());
  EXPECT_FALSE(chart.xAxis2->visible());
  EXPECT_TRUE(chart.yAxis2->visible());
  EXPECT_EQ(chart.yAxis->tickLabelColor(), QColor(255, 0, 0));
  EXPECT_EQ(chart.yAxis2->tickLabelColor(), QColor(0, 128, 0));
  EXPECT_EQ(chart.xAxis->basePen().color(), QColor(0, 128, 255));
  EXPECT_EQ(chart.xAxis->tickLabelFont().pixelSize(), 13);
  EXPECT_EQ(chart.yAxis->tickLabelFont().pixelSize(), 13);
  EXPECT_EQ(chart.TemperatureLine().Graph()->pen().color(), QColor(64, 0, 64));
  EXPECT_EQ(chart.MeanLine().Graph()->pen().color(), QColor(0, 128, 0));
  EXPECT_EQ(chart.MeanErrorBars().pen().color(), QColor(0, 128, 0));
  EXPECT_EQ(chart.PulseBars().pen().color(), QColor(255, 0, 0));
  EXPECT_EQ(chart.HumidityLine().Graph()->pen().color(), QColor(0, 0, 255));
  EXPECT_EQ(chart.PressureLine().Graph()->valueAxis(), chart.yAxis2);
  EXPECT_EQ(chart.MeanLine().Graph()->valueAxis(), chart.yAxis);
  EXPECT_EQ(chart.PulseBars().valueAxis(), chart.yAxis);
  ASSERT_NE(chart.TitleEdit(), nullptr);
  EXPECT_TRUE(chart.TitleEdit()->isHidden());
  EXPECT_EQ(chart.TitleEdit()->geometry(), QRect(0, 0, 657, 21));
}

TEST(ChartLook, BottomAxisLabelsReadDayMonthHour) {
  KestrumChart chart;
  chart.MeanLine().AddXY(kDay + 14 * kHour, 1);  // 15/03/2023 14:00
  chart.MeanLine().AddXY(kDay + 20 * kHour, 2);
  chart.Refresh();
  auto ticker = chart.xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
  ASSERT_TRUE(ticker);
  EXPECT_EQ(ticker->dateTimeFormat(), QStringLiteral("dd/MM hh"));
  const QVector<QString> labels = chart.xAxis->tickVectorLabels();
  ASSERT_FALSE(labels.isEmpty());
  for (const QString& label : labels) {
    EXPECT_TRUE(label.startsWith(QStringLiteral("15/03 "))) << label.toStdString();
  }
  EXPECT_TRUE(labels.contains(QStringLiteral("15/03 16")));
}

TEST(ChartSeries, FilledViewsHoldTheComputedPoints) {
  auto store = MakeStore(6.0L);
  const int run = AddRun(*store, kDay, {4, 0, 3, 5, 6});
  KestrumChart chart;
  FillPulseDistributionSeries(chart, ComputePulseDistribution(*store, run, {true, false, true}));
  ASSERT_EQ(chart.PulseBars().Count(), 5);
  EXPECT_DOUBLE_EQ(chart.PulseBars().At(0).x, kDay + kHour);
  EXPECT_DOUBLE_EQ(chart.PulseBars().At(0).y, 24);
  EXPECT_DOUBLE_EQ(chart.PulseBars().At(0).error, 12);
  EXPECT_DOUBLE_EQ(chart.PulseBars().At(1).error, 0.1);
  EXPECT_EQ(chart.TemperatureLine().Count(), 5);
  EXPECT_EQ(chart.HumidityLine().Count(), 0);
  EXPECT_EQ(chart.PressureLine().Count(), 5);
  EXPECT_EQ(chart.PressureLine().Graph()->dataCount(), 5);

  FillIntervalMeanSeries(chart, ComputeIntervalMeans(*store, run, 2, {true, false, true}));
  ASSERT_EQ(chart.MeanLine().Count(), 4);
  EXPECT_DOUBLE_EQ(chart.MeanLine().At(0).y, 12);  // (24 + 0) / 2
  ASSERT_EQ(chart.MeanErrorBars().Count(), 3);
  EXPECT_DOUBLE_EQ(chart.MeanErrorBars().At(0).y, 9);  // (0 + 18) / 2
  EXPECT_DOUBLE_EQ(chart.MeanErrorBars().At(0).error, 9 / std::sqrt(3.0));
  EXPECT_EQ(chart.TemperatureLine().Count(),
            0);  // the mean routine redraws the environmental lines
  EXPECT_EQ(chart.HumidityLine().Count(), 3);
  EXPECT_EQ(chart.PulseBars().Count(), 5);  // pulses and pressure stay
  EXPECT_EQ(chart.PressureLine().Count(), 5);
}

TEST(ChartScaling, AxesIncludeTheBarsAndTheBottomRangeIsTheDataSpan) {
  KestrumChart chart;
  chart.PulseBars().AddXYError(kDay + 1 * kHour, 100, 30);
  chart.PulseBars().AddXYError(kDay + 5 * kHour, 10, 50);
  chart.TemperatureLine().AddXY(kDay + 3 * kHour, 21.5);
  chart.TemperatureLine().AddXY(kDay + 4 * kHour, 22.5);
  chart.Refresh();
  EXPECT_LE(chart.yAxis->range().lower, -40);
  EXPECT_GE(chart.yAxis->range().upper, 130);
  EXPECT_LE(chart.yAxis2->range().lower, 21.5);
  EXPECT_GE(chart.yAxis2->range().upper, 22.5);
  EXPECT_LE(chart.xAxis->range().lower, ChartKeyFromDateTime(kDay + kHour));
  EXPECT_GE(chart.xAxis->range().upper, ChartKeyFromDateTime(kDay + 5 * kHour));
  const TimeRange range = chart.BottomAxisRange();
  EXPECT_EQ(range.min, kDay + 1 * kHour);  // exactly, so the footer counts the end samples
  EXPECT_EQ(range.max, kDay + 5 * kHour);
}

TEST(ChartScaling, EmptyChartHasABottomRangeFromZero) {
  KestrumChart chart;
  chart.Refresh();
  EXPECT_EQ(chart.BottomAxisRange().min, 0);
  chart.MeanLine().AddXY(kDay, 5);
  chart.MeanLine().Clear();
  chart.Refresh();
  EXPECT_EQ(chart.BottomAxisRange().min, 0);
}

TEST(ChartTime, KeysAreUnixSecondsOfOurDateTimes) {
  EXPECT_DOUBLE_EQ(ChartKeyFromDateTime(25569.0), 0.0);
  EXPECT_DOUBLE_EQ(ChartKeyFromDateTime(25570.5), 129600.0);
  EXPECT_DOUBLE_EQ(DateTimeFromChartKey(ChartKeyFromDateTime(kDay + 0.25)), kDay + 0.25);
}

// Error bars: many bars in one pixel column are drawn as one span.
class ErrorBarDrawing : public ::testing::Test {
 protected:
  void SetUp() override { chart_.resize(800, 400); }

  QImage Render() {
    chart_.ApplyAutoScale();
    return chart_.toPixmap(800, 400).toImage();
  }

  bool RedNear(const QImage& image, double x, double value) {
    const int y = static_cast<int>(std::lround(chart_.yAxis->coordToPixel(value)));
    for (int dx = -1; dx <= 1; ++dx) {
      const QColor c = image.pixelColor(static_cast<int>(std::lround(x)) + dx, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) return true;
    }
    return false;
  }

  KestrumChart chart_;
};

TEST_F(ErrorBarDrawing, FewBarsAreDrawnOneByOne) {
  for (int k = 0; k < 10; ++k) chart_.PulseBars().AddXYError(kDay + k * kHour, 50 + k, 5);
  Render();
  EXPECT_EQ(chart_.PulseBars().LastDrawnSpans(), 10);
}

TEST_F(ErrorBarDrawing, ManyBarsAreMergedPerPixelColumn) {
  for (int k = 0; k < 20000; ++k) {
    chart_.PulseBars().AddXYError(kDay + k * kHour, 50 + k % 17, 5);
  }
  Render();
  const int columns = static_cast<int>(chart_.axisRect()->width());
  EXPECT_GT(chart_.PulseBars().LastDrawnSpans(), columns / 2);
  EXPECT_LE(chart_.PulseBars().LastDrawnSpans(), columns + 2);
}

TEST_F(ErrorBarDrawing, MergedSpanReachesFromLowestToHighestBarEnd) {
  // Two bars a minute apart share a column: 9..11 and 18..22.
  const DateTime t = kDay + 12 * kHour;
  chart_.PulseBars().AddXYError(kDay, 0, 0.1);
  chart_.PulseBars().AddXYError(t, 10, 1);
  chart_.PulseBars().AddXYError(t + 1.0 / 1440, 20, 2);
  chart_.PulseBars().AddXYError(kDay + 1, 40, 0.1);
  const QImage image = Render();
  const double x = chart_.xAxis->coordToPixel(ChartKeyFromDateTime(t));
  EXPECT_EQ(chart_.PulseBars().LastDrawnSpans(), 3);
  EXPECT_TRUE(RedNear(image, x, 9.5));   // only inside the lower bar
  EXPECT_TRUE(RedNear(image, x, 15));    // between the bars: the span joins them
  EXPECT_TRUE(RedNear(image, x, 21.5));  // only inside the upper bar
  EXPECT_FALSE(RedNear(image, x, 30));
  EXPECT_FALSE(RedNear(image, x, 5));
}

}  // namespace
}  // namespace kestrum
