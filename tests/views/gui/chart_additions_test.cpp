#include <gtest/gtest.h>

#include "views/gui/kestrum_chart.h"
#include "views/gui/reference_line.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::kDay;
using testing::kHour;

class ChartAdditionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int k = 1; k <= 50; ++k) chart_.PulseBars().AddXYError(kDay + k * kHour, 100 + k, 10);
    chart_.TemperatureLine().AddXY(kDay + kHour, 20);
    chart_.TemperatureLine().AddXY(kDay + 50 * kHour, 22);
    chart_.Refresh();
  }
  KestrumChart chart_;
};

// Off, nothing is added: the pictures stay those of the original chart.
TEST_F(ChartAdditionsTest, OffAddsNoPlottableItemOrLegend) {
  const int plottables = chart_.plottableCount();
  const int items = chart_.itemCount();
  chart_.SetAdditions({{100, 300}, RadonUnit::PciPerL, true});
  chart_.Refresh();
  EXPECT_EQ(chart_.plottableCount(), plottables + 2);
  chart_.SetAdditions({});
  chart_.Refresh();
  EXPECT_EQ(chart_.plottableCount(), 6);
  EXPECT_EQ(chart_.plottableCount(), plottables);
  EXPECT_EQ(chart_.itemCount(), items);
  EXPECT_FALSE(chart_.legend->visible());
  EXPECT_EQ(chart_.LeftAxisTitle(), "Bq/m3");
}

TEST_F(ChartAdditionsTest, LevelsAboveTheDataWidenTheRadonAxis) {
  // Bars reach 160 at most.
  chart_.SetAdditions({{300}, RadonUnit::BqPerM3, false});
  chart_.Refresh();
  EXPECT_GE(chart_.yAxis->range().upper, 300);
  ASSERT_EQ(chart_.ReferenceLines().size(), 1u);
  EXPECT_EQ(chart_.ReferenceLines()[0]->Label(), "300 Bq/m3");
}

TEST_F(ChartAdditionsTest, PicocuriesLabelTheRadonAxisWithoutMovingTheData) {
  chart_.SetAdditions({{148}, RadonUnit::PciPerL, false});
  chart_.Refresh();
  EXPECT_EQ(chart_.LeftAxisTitle(), "pCi/L");
  EXPECT_EQ(chart_.ReferenceLines()[0]->Label(), "4.00 pCi/L");
  // The bars stay in Bq/m3 coordinates; each tick's label is its place / 37.
  const QCPRange range = chart_.yAxis->range();
  EXPECT_LE(range.lower, 91);
  EXPECT_GE(range.upper, 160);
  QVector<double> ticks;
  QVector<QString> labels;
  chart_.yAxis->ticker()->generate(range, QLocale::c(), 'g', 6, ticks, nullptr, &labels);
  ASSERT_FALSE(ticks.isEmpty());
  for (int i = 0; i < ticks.size(); ++i) {
    EXPECT_NEAR(labels[i].toDouble(), ticks[i] / 37.0, 1e-9) << labels[i].toStdString();
  }
}

TEST_F(ChartAdditionsTest, LegendNamesTheDrawnSeriesOnly) {
  chart_.SetAdditions({{100}, RadonUnit::BqPerM3, true});
  chart_.Refresh();
  QStringList names;
  for (int i = 0; i < chart_.legend->itemCount(); ++i) {
    auto* item = qobject_cast<QCPPlottableLegendItem*>(chart_.legend->item(i));
    if (item) names << item->plottable()->name();
  }
  names.sort();
  EXPECT_EQ(names, (QStringList{QStringLiteral("Radon, hourly"),
                                QStringLiteral("Reference level 100 Bq/m3"),
                                QStringLiteral("Temperature \u00b0C")}));
  EXPECT_TRUE(chart_.legend->visible());
}

}  // namespace
}  // namespace kestrum
