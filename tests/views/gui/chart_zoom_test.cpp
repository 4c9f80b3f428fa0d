// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include "views/gui/chart_time.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/mouse.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRunOfConcentrations;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

class ChartZoom : public ::testing::Test {
 protected:
  void SetUp() override {
    chart_.resize(800, 400);
    for (int k = 1; k <= 48; ++k) chart_.PulseBars().AddXYError(kDay + k * kHour, 100 + k, 10);
    chart_.Refresh();
    QObject::connect(&chart_, &KestrumChart::zoomed, [this] { ++zooms_; });
    QObject::connect(&chart_, &KestrumChart::undoZoomed, [this] { ++undos_; });
    autoX_ = chart_.xAxis->range();
    autoY_ = chart_.yAxis->range();
  }

  QPoint Inside(double fx, double fy) const {
    const QRect r = chart_.axisRect()->rect();
    return QPoint(r.left() + static_cast<int>(fx * r.width()),
                  r.top() + static_cast<int>(fy * r.height()));
  }

  KestrumChart chart_;
  int zooms_ = 0;
  int undos_ = 0;
  QCPRange autoX_;
  QCPRange autoY_;
};

TEST_F(ChartZoom, LeftToRightDragZoomsIntoTheRectangle) {
  const QPoint from = Inside(0.25, 0.25);
  const QPoint to = Inside(0.5, 0.75);
  const double expectLower = chart_.xAxis->pixelToCoord(from.x());
  const double expectUpper = chart_.xAxis->pixelToCoord(to.x());
  testing::Drag(&chart_, from, to);
  EXPECT_EQ(zooms_, 1);
  EXPECT_TRUE(chart_.IsZoomed());
  EXPECT_NEAR(chart_.xAxis->range().lower, expectLower, 1);
  EXPECT_NEAR(chart_.xAxis->range().upper, expectUpper, 1);
  EXPECT_LT(chart_.yAxis->range().size(), autoY_.size() * 0.6);
  const TimeRange visible = chart_.BottomAxisRange();
  EXPECT_NEAR(visible.min, DateTimeFromChartKey(expectLower), 1e-6);
}

TEST_F(ChartZoom, RightToLeftDragUndoesTheZoom) {
  testing::Drag(&chart_, Inside(0.2, 0.2), Inside(0.6, 0.6));
  ASSERT_TRUE(chart_.IsZoomed());
  testing::Drag(&chart_, Inside(0.7, 0.5), Inside(0.3, 0.5));
  EXPECT_EQ(undos_, 1);
  EXPECT_EQ(zooms_, 1);
  EXPECT_FALSE(chart_.IsZoomed());
  EXPECT_DOUBLE_EQ(chart_.xAxis->range().lower, autoX_.lower);
  EXPECT_DOUBLE_EQ(chart_.xAxis->range().upper, autoX_.upper);
  EXPECT_DOUBLE_EQ(chart_.yAxis->range().upper, autoY_.upper);
  EXPECT_EQ(chart_.BottomAxisRange().min, kDay + kHour);
}

TEST_F(ChartZoom, EscapeUndoesTheZoom) {
  chart_.ZoomToTimeRange(kDay + 10 * kHour, kDay + 20 * kHour);
  EXPECT_EQ(zooms_, 1);
  testing::PressKey(&chart_, Qt::Key_Escape);
  EXPECT_EQ(undos_, 1);
  EXPECT_FALSE(chart_.IsZoomed());
  EXPECT_DOUBLE_EQ(chart_.xAxis->range().lower, autoX_.lower);
}

TEST_F(ChartZoom, AutomaticScalingFollowsNewDataOnlyWhenNotZoomed) {
  chart_.ZoomToTimeRange(kDay + 10 * kHour, kDay + 20 * kHour);
  chart_.PulseBars().AddXYError(kDay + 100 * kHour, 1000, 1);
  chart_.Refresh();
  EXPECT_LT(chart_.xAxis->range().upper, ChartKeyFromDateTime(kDay + 21 * kHour));
  chart_.UndoZoom();
  EXPECT_GE(chart_.xAxis->range().upper, ChartKeyFromDateTime(kDay + 100 * kHour));
  EXPECT_GE(chart_.yAxis->range().upper, 1001);
}

TEST_F(ChartZoom, ClickIsNoZoomAndNoDragIsAClick) {
  int clicks = 0;
  QObject::connect(&chart_, &KestrumChart::clicked, [&clicks] { ++clicks; });
  testing::Click(&chart_, Inside(0.5, 0.5));
  EXPECT_EQ(clicks, 1);
  testing::Drag(&chart_, Inside(0.2, 0.2), Inside(0.6, 0.6));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(zooms_, 1);
  EXPECT_EQ(undos_, 0);
}

TEST_F(ChartZoom, WheelZoomsTheTimeAxisAndFiresZoom) {
  const QPoint at = Inside(0.5, 0.5);
  QWheelEvent wheel(QPointF(at), QPointF(chart_.mapToGlobal(at)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&chart_, &wheel);
  EXPECT_EQ(zooms_, 1);
  EXPECT_TRUE(chart_.IsZoomed());
  EXPECT_LT(chart_.xAxis->range().size(), autoX_.size());
}

TEST(ChartFooter, FollowsTheZoomAndItsUndo) {
  auto store = MakeStore(6.0L);
  AddRunOfConcentrations(*store, kDay, {60, 120, 180, 240});
  KestrumChart chart;
  chart.resize(800, 400);
  for (int i = 0; i <= store->LastSampleIndex; ++i) {
    const SampleRecord& s = store->Samples[static_cast<std::size_t>(i)];
    chart.PulseBars().AddXYError(s.Time, static_cast<double>(s.Concentration), 1);
  }
  const DateTimeFormats formats{QLocale::c(), QStringLiteral("dd/MM/yyyy"),
                                QStringLiteral("HH:mm")};
  QObject::connect(&chart, &KestrumChart::zoomed, [&] { WriteFooterLine(chart, *store, formats); });
  QObject::connect(&chart, &KestrumChart::undoZoomed,
                   [&] { WriteFooterLine(chart, *store, formats); });
  const QString pm(QChar(0x00B1));

  chart.UndoZoom();
  // 600 Bq/m3 = 100 pulses: R = 0.1; mean 150.
  EXPECT_EQ(chart.FooterLines(),
            QStringList{"StartTime: 15/03/2023 01:00, EndTime: 15/03/2023 04:00 Radonlevel :150" +
                        pm + "15"});

  // One sample inside: 180 Bq/m3 = 30 pulses, R = 0.1826, error 32.86.
  chart.ZoomToTimeRange(kDay + 2.5 * kHour, kDay + 3.5 * kHour);
  EXPECT_EQ(chart.FooterLines(),
            QStringList{"StartTime: 15/03/2023 02:30, EndTime: 15/03/2023 03:30 Radonlevel :180" +
                        pm + "32"});

  chart.UndoZoom();
  EXPECT_TRUE(chart.FooterLines().first().endsWith("Radonlevel :150" + pm + "15"));
}

// The main window binds the two signals like this (double click and the title box).
class TitleEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    chart_.resize(800, 400);
    chart_.SetTitleLines({QStringLiteral("2h-Mean")});
    QObject::connect(&chart_, &KestrumChart::doubleClicked, &chart_, &KestrumChart::StartTitleEdit);
    QObject::connect(&chart_, &KestrumChart::clicked, &chart_, &KestrumChart::FinishTitleEdit);
  }
  KestrumChart chart_;
  const QPoint at_{400, 200};
};

TEST_F(TitleEditing, DoubleClickOpensTheBoxWithTheTitle) {
  testing::DoubleClick(&chart_, at_);
  EXPECT_FALSE(chart_.TitleEdit()->isHidden());
  EXPECT_EQ(chart_.TitleEdit()->text(), QStringLiteral("2h-Mean"));
  EXPECT_EQ(chart_.TitleLines(), QStringList{QStringLiteral("2h-Mean")});
}

TEST_F(TitleEditing, NextClickTakesTheEditedTitleOverAndHidesTheBox) {
  testing::DoubleClick(&chart_, at_);
  chart_.TitleEdit()->setText(QStringLiteral("Cellar\nwinter 2023"));
  testing::Click(&chart_, at_);
  EXPECT_TRUE(chart_.TitleEdit()->isHidden());
  EXPECT_EQ(chart_.TitleLines(),
            (QStringList{QStringLiteral("Cellar"), QStringLiteral("winter 2023")}));
}

// Escape in the box keeps the title as it was; its text stands over the title.
TEST_F(TitleEditing, EscapeLeavesTheTitleAsItWas) {
  testing::DoubleClick(&chart_, at_);
  EXPECT_EQ(chart_.TitleEdit()->alignment(), Qt::AlignCenter);
  chart_.TitleEdit()->setText(QStringLiteral("typed, then thought better of"));
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(chart_.TitleEdit(), &escape);
  EXPECT_TRUE(chart_.TitleEdit()->isHidden());
  testing::Click(&chart_, at_);
  EXPECT_EQ(chart_.TitleLines(), QStringList{QStringLiteral("2h-Mean")});
}

TEST_F(TitleEditing, MultiLineTitleRoundTripsThroughTheBox) {
  chart_.SetTitleLines({QStringLiteral("a"), QStringLiteral("b")});
  testing::DoubleClick(&chart_, at_);
  testing::Click(&chart_, at_);
  EXPECT_EQ(chart_.TitleLines(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

// The box opens over all of a long two-line title with the old text
// selected, so typing replaces it, and Return takes it as a click does.
TEST_F(TitleEditing, BoxHidesTheOldTitleAndReturnTakesTheTypedOne) {
  const QString longLine(64, QLatin1Char('M'));
  chart_.SetTitleLines({longLine, QStringLiteral("second line")});
  chart_.replot(QCustomPlot::rpImmediateRefresh);
  testing::DoubleClick(&chart_, at_);
  QApplication::processEvents();
  // In the title's row, nothing but the box and white.
  const QImage shown = chart_.grab().toImage();
  const QRect box = chart_.TitleEdit()->geometry();
  const QRect row = chart_.plotLayout()->element(0, 0)->outerRect();
  ASSERT_GT(row.height(), 20);
  for (int y = row.top(); y <= row.bottom(); ++y) {
    for (int x = row.left(); x <= row.right(); ++x) {
      if (box.contains(x, y)) continue;
      ASSERT_EQ(shown.pixel(x, y), qRgb(255, 255, 255)) << "old title at " << x << "," << y;
    }
  }
  EXPECT_EQ(chart_.TitleEdit()->selectedText(), longLine + "\nsecond line");
  for (const QChar c : QStringLiteral("Cellar")) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(chart_.TitleEdit(), &key);
  }
  testing::PressKey(chart_.TitleEdit(), Qt::Key_Return);
  EXPECT_TRUE(chart_.TitleEdit()->isHidden());
  EXPECT_EQ(chart_.TitleLines(), QStringList{QStringLiteral("Cellar")});
}

TEST_F(TitleEditing, ClickWithoutTheBoxKeepsTheTitle) {
  chart_.TitleEdit()->setText(QStringLiteral("stale"));
  testing::Click(&chart_, at_);
  EXPECT_EQ(chart_.TitleLines(), QStringList{QStringLiteral("2h-Mean")});
  EXPECT_TRUE(chart_.TitleEdit()->isHidden());
}

}  // namespace
}  // namespace kestrum
