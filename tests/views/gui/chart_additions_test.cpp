// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "views/gui/chart_time.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/level_labels.h"
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
  EXPECT_EQ(chart_.ReferenceLines()[0]->Label(), "EU 300 Bq/m3");
}

TEST_F(ChartAdditionsTest, PicocuriesLabelTheRadonAxisWithoutMovingTheData) {
  chart_.SetAdditions({{148}, RadonUnit::PciPerL, false});
  chart_.Refresh();
  EXPECT_EQ(chart_.LeftAxisTitle(), "pCi/L");
  EXPECT_EQ(chart_.ReferenceLines()[0]->Label(), "US action 4.00 pCi/L");
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
  EXPECT_EQ(names,
            (QStringList{QStringLiteral("Radon, hourly"), QStringLiteral("Temperature \u00b0C"),
                         QStringLiteral("WHO 100 Bq/m3")}));
  EXPECT_TRUE(chart_.legend->visible());
}

// A level is drawn in its own colour whatever else is chosen, and the lines
// are named and listed from the lowest up.
TEST_F(ChartAdditionsTest, LevelsKeepTheirColourAndAreListedAscending) {
  chart_.SetAdditions({{300, 250, 100, 148}, RadonUnit::BqPerM3, false});
  QStringList labels;
  std::map<double, QColor> together;
  for (const ReferenceLine* line : chart_.ReferenceLines()) {
    labels << line->Label();
    together[line->Level()] = line->pen().color();
  }
  EXPECT_EQ(labels, (QStringList{"WHO 100 Bq/m3", "US action 148 Bq/m3", "Custom 250 Bq/m3",
                                 "EU 300 Bq/m3"}));
  for (const auto& [level, color] : together) {
    chart_.SetAdditions({{level}, RadonUnit::BqPerM3, false});
    ASSERT_EQ(chart_.ReferenceLines().size(), 1u);
    EXPECT_EQ(chart_.ReferenceLines()[0]->pen().color(), color) << level;
  }
  std::set<QRgb> distinct;
  for (const auto& entry : together) distinct.insert(entry.second.rgb());
  EXPECT_EQ(distinct.size(), together.size());
}

// Bars falling from top left to bottom right, levels close together and one
// at the very top: the legend and the level names stand beside the plot (the
// legend above it on a narrow chart), covering no bar, no two names overlap
// and none is cut off.
TEST(ChartLegend, LegendAndLevelNamesStandOutsideThePlot) {
  for (const int width : {1017, 560}) {
    SCOPED_TRACE(width);
    KestrumChart chart;
    chart.resize(width, 470);
    chart.setViewport(QRect(0, 0, width, 470));  // as a shown chart gets it
    for (int k = 1; k <= 60; ++k) {
      chart.PulseBars().AddXYError(testing::kDay + k * testing::kHour, 400 - 5 * k, 10);
    }
    chart.SetAdditions({{100, 110, 148, 400}, RadonUnit::BqPerM3, true});
    chart.replot(QCustomPlot::rpImmediateRefresh);
    chart.replot(QCustomPlot::rpImmediateRefresh);  // laid out at its final size
    const QRect plot = chart.axisRect()->rect();
    const QRect legend = chart.legend->outerRect();
    ASSERT_FALSE(legend.isEmpty());
    EXPECT_FALSE(legend.intersects(plot));
    if (width < 800) {
      EXPECT_LE(legend.bottom(), plot.top());
    } else {
      EXPECT_GT(legend.left(), plot.right());
    }
    ASSERT_NE(chart.LevelNames(), nullptr);
    const std::vector<QRectF>& names = chart.LevelNames()->LabelRects();
    ASSERT_EQ(names.size(), 4u);
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_GT(names[i].left(), plot.right());
      EXPECT_TRUE(QRectF(chart.rect()).contains(names[i])) << i;
      for (std::size_t j = i + 1; j < names.size(); ++j) {
        EXPECT_FALSE(names[i].intersects(names[j])) << i << " and " << j;
      }
    }
  }
}

TEST(LevelLabels, StackedNearTheirLevelsWithinTheRow) {
  const struct {
    std::vector<double> centres;
    std::vector<double> tops;
  } cases[] = {
      {{50, 200}, {45, 195}},              // apart: each at its level
      {{100, 104}, {95, 105}},             // close: the second pushed down
      {{2, 3}, {0, 10}},                   // at the top: kept inside
      {{299, 298, 297}, {290, 280, 270}},  // at the bottom, any order
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StackedLabelTops(c.centres, 10, 0, 300), c.tops);
  }
}

}  // namespace
}  // namespace kestrum
