// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of the main window. A date-time bottom axis, the radon
// axis on the left ("Bq/m3"), the environmental axis on the right, title
// lines above and the footer line below the plot, the six series of the
// views, mouse zoom with its undo, and the title edit box.
//
// Axes scale themselves to the series until the user zooms; undoing the
// zoom returns to automatic scaling.

#include <QLineEdit>
#include <QStringList>
#include <optional>

#include <qcustomplot.h>

#include "records/measurement_store.h"
#include "views/chart_additions.h"
#include "views/gui/condition_ticks.h"
#include "views/gui/cursor_readout.h"
#include "views/gui/error_bar_series.h"
#include "views/gui/level_labels.h"
#include "views/gui/line_series.h"
#include "views/gui/outside_plot_mask.h"
#include "views/gui/shaded_hours.h"

namespace kestrum {

class ReferenceLine;

class KestrumChart : public QCustomPlot {
  Q_OBJECT
 public:
  static constexpr int kFontPixels = 13;
  static const QColor kFrameColor;  // RGB (0, 128, 255)
  static const QSize kDefaultSize;  // for a chart that was never laid out

  explicit KestrumChart(QWidget* parent = nullptr);

  // The series of the views.
  LineSeries& TemperatureLine() { return temperatureLine_; }   // temperature, right axis
  LineSeries& MeanLine() { return meanLine_; }                 // interval mean, left axis
  ErrorBarSeries& MeanErrorBars() { return *meanErrorBars_; }  // mean with its error, left axis
  ErrorBarSeries& PulseBars() { return *pulseBars_; }          // pulse distribution, left axis
  LineSeries& HumidityLine() { return humidityLine_; }         // humidity, right axis
  LineSeries& PressureLine() { return pressureLine_; }         // pressure, right axis

  QStringList TitleLines() const;
  void SetTitleLines(const QStringList& lines);
  void ClearTitle() { SetTitleLines({}); }
  void AddTitleLine(const QString& line);

  QStringList FooterLines() const;
  void SetFooterLines(const QStringList& lines);
  void ClearFooter() { SetFooterLines({}); }

  QString LeftAxisTitle() const;
  void SetLeftAxisTitle(const QString& text);
  QString BottomAxisTitle() const;
  void SetBottomAxisTitle(const QString& text);

  // Scales the axes to the series (unless zoomed) and repaints at once.
  void Refresh();
  // The same with the drawing left to the event loop: for steps that are
  // followed by more changes (the footer after a run pick), so a chart of
  // 100,000 samples is not drawn twice.
  void Rescale();
  // Applies the automatic scaling unless zoomed; done before every replot.
  void ApplyAutoScale();

  // The bottom axis's visible range: the zoomed range, or the span of the
  // drawn points (0 .. 0 with nothing drawn).
  TimeRange BottomAxisRange() const;

  bool IsZoomed() const { return zoomed_; }
  // Zooms all axes to a rectangle in widget pixels, as a left-to-right drag
  // does, and fires zoomed().
  void ZoomToPixelRect(const QRect& rect);
  // Zooms the time axis to [min, max] and fires zoomed().
  void ZoomToTimeRange(DateTime min, DateTime max);
  // Back to automatic scaling of both axes; fires undoZoomed().
  void UndoZoom();

  // The hidden edit box `title` over the top left corner.
  QLineEdit* TitleEdit() const { return title_; }
  // Double click: the title lines into the box, selected, box shown over
  // the whole old title.
  void StartTitleEdit();
  // Single click (`titleClick`) or Return in the box: a shown box's text
  // becomes the title (split at line breaks) and is drawn at once; the box
  // is hidden in any case.
  void FinishTitleEdit();
  // Hides the box and keeps the title as it was (Escape in the box).
  void CancelTitleEdit();

  // The size pictures and print-outs are drawn at: the chart's size on
  // screen, or kDefaultSize for a chart that never got one.
  QSize DrawingSize() const;

  // Covers what lies around the plot area, for painters that cannot clip.
  OutsidePlotMask* OutsideMask() const { return outsideMask_; }

  // Reference levels, the radon axis's unit and the legend; all off at
  // first, and then the chart looks as it always did.
  const ChartAdditions& Additions() const { return additions_; }
  void SetAdditions(const ChartAdditions& additions);
  const std::vector<ReferenceLine*>& ReferenceLines() const { return referenceLines_; }
  // The level names' column beside the plot; none before a level was shown.
  const LevelLabels* LevelNames() const { return levelLabels_; }
  // The legend stands beside the plot while that leaves the plot this share
  // of the chart's width, else above it.
  static constexpr double kPlotShareBesideLegend = 0.6;
  // The reading under the pointer; an empty source turns it off.
  void SetReadoutSource(ReadoutSource source);
  CursorReadout* Readout() const { return readout_; }
  // Grey bands over hours an assessment leaves out (chart keys, in time
  // order); none at first, and an empty list takes them away.
  void SetShadedSpans(std::vector<std::pair<double, double>> spans);
  const ShadedHours* Shading() const { return shading_; }
  // Marks the hours (chart keys) whose conditions changed; none removes them.
  void SetConditionMarks(std::vector<double> keys);
  const ConditionTicks* ConditionMarks() const { return conditionTicks_; }

 signals:
  void zoomed();
  void undoZoomed();
  void clicked();        // left click without a drag
  void doubleClicked();  // left double click

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void SetUpLook();
  QCPGraph* NewLine(QCPAxis* valueAxis, const QColor& color);
  ErrorBarSeries* NewBars(const QColor& color);
  std::optional<TimeRange> DataTimeSpan() const;
  void ShowZoomBand(const QPoint& from, const QPoint& to);
  void HideZoomBand();
  void ShowLeftAxisTitle();
  void SyncLegend();
  // The level names and the legend beside the plot (the legend above it
  // when the chart is narrow); with neither, the original layout.
  void ArrangeAroundPlot();

  QCPTextElement* titleElement_ = nullptr;
  QCPTextElement* footerElement_ = nullptr;
  QCPItemRect* zoomBand_ = nullptr;
  OutsidePlotMask* outsideMask_ = nullptr;
  QLineEdit* title_ = nullptr;

  LineSeries temperatureLine_;
  LineSeries meanLine_;
  ErrorBarSeries* meanErrorBars_ = nullptr;
  ErrorBarSeries* pulseBars_ = nullptr;
  LineSeries humidityLine_;
  LineSeries pressureLine_;

  ChartAdditions additions_;
  std::vector<ReferenceLine*> referenceLines_;
  CursorReadout* readout_ = nullptr;
  ShadedHours* shading_ = nullptr;
  ConditionTicks* conditionTicks_ = nullptr;
  LevelLabels* levelLabels_ = nullptr;
  // Beside the plot the legend sits at the top of a column of its own, at its own height.
  QCPLayoutGrid* legendColumn_ = nullptr;
  // The plot with what stands beside it, one row of the chart.
  QCPLayoutGrid* plotRow_ = nullptr;
  std::optional<QMargins> insetLegendMargins_;  // the legend's own, inside the plot
  // What ArrangeAroundPlot last laid out: labels beside, legend beside, legend above.
  std::array<bool, 3> arranged_{false, false, false};
  QString leftAxisTitle_ = QStringLiteral("Bq/m3");  // as the views set it, in Bq/m3
  QSharedPointer<QCPAxisTicker> plainLeftTicker_;

  bool zoomed_ = false;
  bool leftPressed_ = false;
  bool dragged_ = false;
  QPoint pressPos_;
};

}  // namespace kestrum
