// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/kestrum_chart.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "assessment/reference_levels.h"
#include "views/gui/chart_date_ticker.h"
#include "views/gui/chart_legend.h"
#include "views/gui/chart_time.h"
#include "views/gui/reference_line.h"
#include "views/gui/unit_axis_ticker.h"

namespace kestrum {
namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kPurple(64, 0, 64);
// Pressure's own colour once the additions are on.
const QColor kPressureGreen(0, 130, 70);

// Where the title box opens: over the top left corner.
const QRect kTitleBox(0, 0, 657, 21);

// A drag shorter than this is a click.
constexpr int kDragThreshold = 4;

// The axes leave room around the data: the bottom axis runs from 1 to 99 per
// cent of the plot width, the left axis up to 97 per cent of its height and
// the right axis from 5 to 95 per cent.
constexpr double kBottomMarginEachSide = 0.01 / 0.98;
constexpr double kLeftMarginTop = 0.03 / 0.97;
constexpr double kRightMarginEachSide = 0.05 / 0.90;

QFont PixelFont(int pixels) {
  QFont font;
  font.setPixelSize(pixels);
  return font;
}

// Range of the value axis over the plottables drawn on it. The line series
// keep their ranges between changes, so a replot need not read every point.
std::optional<QCPRange> ValueSpan(QCustomPlot* plot, QCPAxis* axis,
                                  const std::vector<const LineSeries*>& lines) {
  std::optional<QCPRange> span;
  for (int i = 0; i < plot->plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot->plottable(i);
    if (p->valueAxis() != axis) continue;
    std::optional<QCPRange> here;
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [p](const LineSeries* l) { return l->Graph() == p; });
    if (line != lines.end()) {
      here = (*line)->ValueRange();
    } else {
      bool found = false;
      const QCPRange r = p->getValueRange(found);
      if (found) here = r;
    }
    if (!here) continue;
    if (!span) {
      span = here;
    } else {
      span->expand(*here);
    }
  }
  return span;
}

QCPRange Padded(double lower, double upper, double below, double above) {
  double size = upper - lower;
  if (size <= 0) {
    // One value: give it a unit of room on both sides.
    const double unit = std::max(std::abs(lower) * 0.05, 1e-3);
    return QCPRange(lower - unit, upper + unit);
  }
  return QCPRange(lower - size * below, upper + size * above);
}

}  // namespace

const QColor KestrumChart::kFrameColor(0, 128, 255);
const QSize KestrumChart::kDefaultSize(1017, 470);

KestrumChart::KestrumChart(QWidget* parent)
    : QCustomPlot(parent),
      temperatureLine_(NewLine(yAxis2, kPurple)),
      meanLine_(NewLine(yAxis, kGreen)),
      meanErrorBars_(NewBars(kGreen)),
      pulseBars_(NewBars(kRed)),
      humidityLine_(NewLine(yAxis2, kBlue)),
      pressureLine_(NewLine(yAxis2, kBlue)) {
  resize(kDefaultSize);
  SetUpLook();
  connect(this, &QCustomPlot::beforeReplot, this, &KestrumChart::ApplyAutoScale);
  connect(this, &QCustomPlot::beforeReplot, this, &KestrumChart::SyncLegend);
  connect(this, &QCustomPlot::beforeReplot, this, &KestrumChart::ArrangeAroundPlot);
  temperatureLine_.Graph()->setName(QStringLiteral("Temperature \u00b0C"));
  humidityLine_.Graph()->setName(QStringLiteral("Humidity %RH"));
  pressureLine_.Graph()->setName(QStringLiteral("Pressure kPa"));
  pulseBars_->setName(QStringLiteral("Radon, hourly"));
  meanLine_.Graph()->setName(QStringLiteral("Mean"));
  meanErrorBars_->setName(QStringLiteral("Mean error"));
  readout_ = new CursorReadout(this);
}

void KestrumChart::SetAdditions(const ChartAdditions& additions) {
  for (ReferenceLine* line : referenceLines_) removePlottable(line);
  referenceLines_.clear();
  additions_ = additions;
  additions_.referenceLevels = AscendingLevels(additions_.referenceLevels);
  if (!additions_.referenceLevels.empty() && !layer(QStringLiteral("levels"))) {
    // Over the bars and lines, under the mask around the plot.
    addLayer(QStringLiteral("levels"), layer(QStringLiteral("main")), limAbove);
  }
  int others = 0;
  for (double level : additions_.referenceLevels) {
    const QColor color = ReferenceLineColor(level, StandardLevelIndex(level) < 0 ? others++ : 0);
    auto* line = new ReferenceLine(xAxis, yAxis, level, additions_.unit, color);
    line->setLayer(QStringLiteral("levels"));
    referenceLines_.push_back(line);
  }
  if (!plainLeftTicker_) plainLeftTicker_ = yAxis->ticker();
  if (additions_.unit == RadonUnit::PciPerL) {
    yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new UnitAxisTicker(kBqPerM3PerPciPerL)));
  } else {
    yAxis->setTicker(plainLeftTicker_);
  }
  ShowLeftAxisTitle();
  // With any addition on, pressure leaves humidity's blue for its own hue and
  // dashes, which also tell them apart on a black-and-white print.
  const bool added = additions_ != ChartAdditions{};
  pressureLine_.Graph()->setPen(added ? QPen(kPressureGreen, 1, Qt::DashLine) : QPen(kBlue));
  if (!referenceLines_.empty() && !levelLabels_) levelLabels_ = new LevelLabels(this, axisRect());
  if (levelLabels_) {
    levelLabels_->SetLines({referenceLines_.begin(), referenceLines_.end()});
  }
  SyncLegend();
  replot(rpQueuedReplot);
}

void KestrumChart::ArrangeAroundPlot() {
  const bool labels = levelLabels_ && !referenceLines_.empty();
  const bool legendShown = additions_.legend;
  // The viewport, not the widget: a picture or page is drawn at its own size.
  const int across = viewport().width();
  const int namesWidth = labels ? levelLabels_->minimumOuterSizeHint().width() : 0;
  // Beside the plot while that leaves the plot most of the width; else above it.
  const bool above =
      legendShown && across - namesWidth - legend->minimumOuterSizeHint().width() - 8 <
                         kPlotShareBesideLegend * across;
  const std::array<bool, 3> wanted{labels, legendShown && !above, above};
  if (above) {
    // As many entries to a row as the width holds.
    int widest = 1;
    for (int i = 0; i < legend->itemCount(); ++i) {
      if (const QCPAbstractLegendItem* item = legend->item(i)) {
        widest = std::max(widest, item->minimumOuterSizeHint().width());
      }
    }
    legend->setWrap(std::max(1, (across - 20) / (widest + 8)));
  }
  if (wanted == arranged_) return;
  arranged_ = wanted;
  // Everything out, then in again where it now goes. The title and the
  // footer keep the whole width: what stands beside the plot shares a row
  // of its own with it.
  QCPLayoutGrid* grid = plotLayout();
  // Held here: the plot finds its axis rect only while it is in the layout.
  QCPAxisRect* const plot = axisRect();
  for (QCPLayoutElement* element :
       {static_cast<QCPLayoutElement*>(levelLabels_), static_cast<QCPLayoutElement*>(legend),
        static_cast<QCPLayoutElement*>(legendColumn_), static_cast<QCPLayoutElement*>(plot),
        static_cast<QCPLayoutElement*>(plotRow_)}) {
    if (element && element->layout()) element->layout()->take(element);
  }
  grid->simplify();  // title, footer
  grid->insertRow(1);
  const bool beside = labels || (legendShown && !above);
  if (beside) {
    if (!plotRow_) plotRow_ = new QCPLayoutGrid;
    plotRow_->addElement(0, 0, plot);
    int column = 1;
    if (labels) plotRow_->addElement(0, column++, levelLabels_);
    if (legendShown && !above) {
      if (!legendColumn_) {
        legendColumn_ = new QCPLayoutGrid;
        legendColumn_->addElement(1, 0, new QCPLayoutElement(this));
        legendColumn_->setRowStretchFactors({0.001, 1});
        // Its frame clear of the chart's edge.
        legendColumn_->setMargins(QMargins(0, 0, 8, 0));
      }
      legendColumn_->addElement(0, 0, legend);
      plotRow_->addElement(0, column++, legendColumn_);
    }
    plotRow_->simplify();
    QList<double> stretch(plotRow_->columnCount(), 0.001);
    stretch[0] = 1;
    plotRow_->setColumnStretchFactors(stretch);
    grid->addElement(1, 0, plotRow_);
  } else {
    grid->addElement(1, 0, plot);
  }
  if (!insetLegendMargins_) insetLegendMargins_ = legend->margins();
  // Above the plot its frame keeps clear of the chart's edges.
  legend->setMargins(above ? QMargins(6, 2, 8, 2) : *insetLegendMargins_);
  if (above) {
    grid->insertRow(1);
    grid->addElement(1, 0, legend);
    grid->setRowStretchFactor(1, 0.001);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
  } else {
    legend->setWrap(0);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
  }
  if (!legendShown) {
    // Back where it always was, hidden: the original look.
    plot->insetLayout()->addElement(legend, Qt::AlignTop | Qt::AlignLeft);
  }
  legend->setVisible(legendShown);
}

void KestrumChart::SetReadoutSource(ReadoutSource source) {
  readout_->SetSource(std::move(source));
  if (!readout_->HasSource()) readout_->hide();
}

void KestrumChart::SetShadedSpans(std::vector<std::pair<double, double>> spans) {
  if (!shading_) {
    // Made only when first wanted, so that a chart without it draws as it always did.
    if (spans.empty()) return;
    addLayer(QStringLiteral("shading"), layer(QStringLiteral("main")), limBelow);
    shading_ = new ShadedHours(xAxis, yAxis);
    shading_->setLayer(QStringLiteral("shading"));
    shading_->removeFromLegend();
  }
  shading_->SetSpans(std::move(spans));
  replot(QCustomPlot::rpQueuedReplot);
}

void KestrumChart::SetConditionMarks(std::vector<double> keys) {
  if (!conditionTicks_) {
    // Made only when first wanted, as the shading is.
    if (keys.empty()) return;
    conditionTicks_ = new ConditionTicks(xAxis, yAxis);
    conditionTicks_->removeFromLegend();
  }
  conditionTicks_->SetKeys(std::move(keys));
  replot(QCustomPlot::rpQueuedReplot);
}

void KestrumChart::SyncLegend() {
  SyncChartLegend(*this, additions_.legend);
}

void KestrumChart::ShowLeftAxisTitle() {
  // The views write "Bq/m3"; in pCi/L the axis says what its labels are in.
  const bool converted =
      additions_.unit == RadonUnit::PciPerL && leftAxisTitle_ == QStringLiteral("Bq/m3");
  yAxis->setLabel(converted ? RadonUnitText(RadonUnit::PciPerL) : leftAxisTitle_);
}

QCPGraph* KestrumChart::NewLine(QCPAxis* valueAxis, const QColor& color) {
  QCPGraph* graph = addGraph(xAxis, valueAxis);
  graph->setPen(QPen(color));
  graph->setLineStyle(QCPGraph::lsLine);
  graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
  graph->setSelectable(QCP::stNone);
  return graph;
}

ErrorBarSeries* KestrumChart::NewBars(const QColor& color) {
  auto* bars = new ErrorBarSeries(xAxis, yAxis);
  bars->setPen(QPen(color));
  return bars;
}

void KestrumChart::SetUpLook() {
  setBackground(Qt::white);
  legend->setVisible(false);
  QFont legendFont = PixelFont(11);
  legend->setFont(legendFont);
  // Lets the data under it show through.
  legend->setBrush(QColor(255, 255, 255, 170));
  legend->setBorderPen(QPen(kFrameColor));
  axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
  setInteractions(QCP::Interactions());  // zoom is ours, no panning
  setFocusPolicy(Qt::StrongFocus);       // Escape undoes the zoom
  setNoAntialiasingOnDrag(true);

  const QFont font = PixelFont(kFontPixels);

  titleElement_ = new QCPTextElement(this, QStringLiteral("Measurements"), font);
  plotLayout()->insertRow(0);
  plotLayout()->addElement(0, 0, titleElement_);
  footerElement_ = new QCPTextElement(this, QString(), font);
  plotLayout()->addElement(2, 0, footerElement_);
  // Above the mask layer, which may cover the space around the plot.
  titleElement_->setLayer(QStringLiteral("axes"));
  footerElement_->setLayer(QStringLiteral("axes"));
  addLayer(QStringLiteral("mask"), layer(QStringLiteral("main")), limAbove);
  outsideMask_ = new OutsidePlotMask(this, axisRect(), QStringLiteral("mask"));

  auto* ticker = new ChartDateTicker();
  xAxis->setTicker(QSharedPointer<QCPAxisTicker>(ticker));
  xAxis->setLabel(QStringLiteral("Time"));
  xAxis->setTickLabelFont(font);
  xAxis->setLabelFont(font);
  xAxis->setTickLengthIn(0);
  xAxis->setTickLengthOut(1);
  xAxis->setSubTickLengthIn(0);
  xAxis->setSubTickLengthOut(1);

  yAxis->setLabel(QStringLiteral("Bq/m3"));
  yAxis->setLabelColor(kRed);
  yAxis->setTickLabelColor(kRed);
  yAxis->setTickLabelFont(font);
  yAxis->setLabelFont(font);
  yAxis->setLabelPadding(6);

  yAxis2->setVisible(true);
  yAxis2->setLabel(QStringLiteral("Temp/RH/Press"));
  yAxis2->setLabelColor(kGreen);
  yAxis2->setTickLabelColor(kGreen);
  yAxis2->setTickLabelFont(font);
  yAxis2->setLabelFont(font);
  yAxis2->grid()->setVisible(false);

  xAxis2->setVisible(false);

  for (QCPAxis* axis : {xAxis, yAxis, yAxis2}) axis->setBasePen(QPen(kFrameColor));

  // The frame all round the plot; the top has no axis of its own.
  auto* frame = new QCPItemRect(this);
  frame->setLayer(QStringLiteral("axes"));
  frame->setClipToAxisRect(false);
  frame->setSelectable(false);
  frame->topLeft->setType(QCPItemPosition::ptAxisRectRatio);
  frame->bottomRight->setType(QCPItemPosition::ptAxisRectRatio);
  frame->topLeft->setCoords(0, 0);
  frame->bottomRight->setCoords(1, 1);
  frame->setPen(QPen(kFrameColor));
  frame->setBrush(Qt::NoBrush);

  // Every buffered layer is a window-sized picture cleared and laid over the
  // others on each replot. Nothing is drawn on the overlay, and the zoom
  // rectangle's layer is buffered only while the rectangle shows (see
  // ShowZoomBand), so a replot otherwise fills and blends one picture.
  layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
  addLayer(QStringLiteral("zoomband"), layer(QStringLiteral("overlay")), limAbove);
  zoomBand_ = new QCPItemRect(this);
  zoomBand_->setLayer(QStringLiteral("zoomband"));
  zoomBand_->setClipToAxisRect(false);
  zoomBand_->setSelectable(false);
  zoomBand_->topLeft->setType(QCPItemPosition::ptAbsolute);
  zoomBand_->bottomRight->setType(QCPItemPosition::ptAbsolute);
  zoomBand_->setPen(QPen(Qt::gray, 1, Qt::DashLine));
  zoomBand_->setBrush(QColor(128, 128, 128, 40));
  zoomBand_->setVisible(false);

  title_ = new QLineEdit(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setFrame(false);
  title_->setGeometry(kTitleBox);
  // The text stands where the title stands, in the middle of its row.
  title_->setAlignment(Qt::AlignCenter);
  title_->hide();
  title_->installEventFilter(this);
  // Return takes the text as the next click on the chart does.
  connect(title_, &QLineEdit::returnPressed, this, &KestrumChart::FinishTitleEdit);
}

bool KestrumChart::eventFilter(QObject* watched, QEvent* event) {
  // Escape leaves the title as it was.
  if (watched == title_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    CancelTitleEdit();
    return true;
  }
  return QCustomPlot::eventFilter(watched, event);
}

void KestrumChart::CancelTitleEdit() {
  if (title_->isHidden()) return;
  title_->hide();
  setFocus();
  replot(rpImmediateRefresh);
}

QStringList KestrumChart::TitleLines() const {
  const QString text = titleElement_->text();
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void KestrumChart::SetTitleLines(const QStringList& lines) {
  titleElement_->setText(lines.join(QLatin1Char('\n')));
  replot(rpQueuedReplot);
}

void KestrumChart::AddTitleLine(const QString& line) {
  QStringList lines = TitleLines();
  lines.append(line);
  SetTitleLines(lines);
}

QStringList KestrumChart::FooterLines() const {
  const QString text = footerElement_->text();
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void KestrumChart::SetFooterLines(const QStringList& lines) {
  footerElement_->setText(lines.join(QLatin1Char('\n')));
  replot(rpQueuedReplot);
}

QString KestrumChart::LeftAxisTitle() const {
  return yAxis->label();
}
void KestrumChart::SetLeftAxisTitle(const QString& text) {
  leftAxisTitle_ = text;
  ShowLeftAxisTitle();
}
QString KestrumChart::BottomAxisTitle() const {
  return xAxis->label();
}
void KestrumChart::SetBottomAxisTitle(const QString& text) {
  xAxis->setLabel(text);
}

std::optional<TimeRange> KestrumChart::DataTimeSpan() const {
  std::optional<TimeRange> span;
  auto take = [&](const std::optional<TimeRange>& extent) {
    if (!extent) return;
    span = span ? TimeRange{std::min(span->min, extent->min), std::max(span->max, extent->max)}
                : *extent;
  };
  for (const LineSeries* s : {&temperatureLine_, &meanLine_, &humidityLine_, &pressureLine_})
    take(s->XExtent());
  for (const ErrorBarSeries* s : {meanErrorBars_, pulseBars_}) take(s->XExtent());
  return span;
}

void KestrumChart::ApplyAutoScale() {
  if (zoomed_) return;
  if (const std::optional<TimeRange> data = DataTimeSpan()) {
    const DateTime first = data->min;
    const DateTime last = data->max;
    if (last > first) {
      xAxis->setRange(Padded(ChartKeyFromDateTime(first), ChartKeyFromDateTime(last),
                             kBottomMarginEachSide, kBottomMarginEachSide));
    } else {
      // One instant: an hour either side.
      xAxis->setRange(ChartKeyFromDateTime(first - 1.0 / 24),
                      ChartKeyFromDateTime(first + 1.0 / 24));
    }
  } else {
    xAxis->setRange(ChartKeyFromDateTime(0), ChartKeyFromDateTime(1));
  }
  const std::vector<const LineSeries*> lines = {&temperatureLine_, &meanLine_, &humidityLine_,
                                                &pressureLine_};
  const std::optional<QCPRange> left = ValueSpan(this, yAxis, lines);
  yAxis->setRange(left ? Padded(left->lower, left->upper, 0, kLeftMarginTop) : QCPRange(0, 1));
  const std::optional<QCPRange> right = ValueSpan(this, yAxis2, lines);
  yAxis2->setRange(
      right ? Padded(right->lower, right->upper, kRightMarginEachSide, kRightMarginEachSide)
            : QCPRange(0, 1));
}

void KestrumChart::Refresh() {
  ApplyAutoScale();
  replot(rpImmediateRefresh);
}

void KestrumChart::Rescale() {
  ApplyAutoScale();
  replot(rpQueuedReplot);
}

TimeRange KestrumChart::BottomAxisRange() const {
  if (!zoomed_) {
    return DataTimeSpan().value_or(TimeRange{});
  }
  return {DateTimeFromChartKey(xAxis->range().lower), DateTimeFromChartKey(xAxis->range().upper)};
}

void KestrumChart::ZoomToPixelRect(const QRect& rect) {
  const QRect r = rect.normalized();
  xAxis->setRange(xAxis->pixelToCoord(r.left()), xAxis->pixelToCoord(r.right()));
  if (r.height() >= kDragThreshold) {
    for (QCPAxis* axis : {yAxis, yAxis2}) {
      axis->setRange(axis->pixelToCoord(r.bottom()), axis->pixelToCoord(r.top()));
    }
  }
  zoomed_ = true;
  replot(rpImmediateRefresh);
  emit zoomed();
}

void KestrumChart::ZoomToTimeRange(DateTime min, DateTime max) {
  xAxis->setRange(ChartKeyFromDateTime(min), ChartKeyFromDateTime(max));
  zoomed_ = true;
  replot(rpImmediateRefresh);
  emit zoomed();
}

void KestrumChart::UndoZoom() {
  zoomed_ = false;
  Refresh();
  emit undoZoomed();
}

void KestrumChart::StartTitleEdit() {
  title_->setText(TitleLines().join(QLatin1Char('\n')));
  // The box covers the title's whole row, so no pixel of the old title,
  // however long and however many lines, shows beside or below it.
  const QCPLayoutElement* row = titleElement_;
  const int rowHeight = row->minimumOuterSizeHint().height();
  title_->setGeometry(kTitleBox.united(QRect(0, 0, width(), rowHeight)));
  title_->selectAll();
  title_->show();
  title_->setFocus();
}

void KestrumChart::FinishTitleEdit() {
  const bool shown = !title_->isHidden();
  if (shown) {
    QString text = title_->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    SetTitleLines(text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')));
  }
  title_->hide();
  if (shown) {
    setFocus();                  // Escape undoes the zoom again
    replot(rpImmediateRefresh);  // the area the box covered, at once
  }
}

QSize KestrumChart::DrawingSize() const {
  const QSize onScreen = size();
  return onScreen.width() >= 16 && onScreen.height() >= 16 ? onScreen : kDefaultSize;
}

void KestrumChart::ShowZoomBand(const QPoint& from, const QPoint& to) {
  const QRect r = QRect(from, to).normalized();
  zoomBand_->topLeft->setCoords(r.left(), r.top());
  zoomBand_->bottomRight->setCoords(r.right(), r.bottom());
  zoomBand_->setVisible(true);
  // A layer of its own while dragging, so moving the rectangle repaints only
  // that layer and not 100,000 bars.
  layer(QStringLiteral("zoomband"))->setMode(QCPLayer::lmBuffered);
  layer(QStringLiteral("zoomband"))->replot();
}

void KestrumChart::HideZoomBand() {
  if (!zoomBand_->visible()) return;
  zoomBand_->setVisible(false);
  layer(QStringLiteral("zoomband"))->setMode(QCPLayer::lmLogical);
  layer(QStringLiteral("zoomband"))->replot();
}

void KestrumChart::mousePressEvent(QMouseEvent* event) {
  QCustomPlot::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  leftPressed_ = true;
  dragged_ = false;
  pressPos_ = event->position().toPoint();
}

void KestrumChart::mouseMoveEvent(QMouseEvent* event) {
  QCustomPlot::mouseMoveEvent(event);
  if (!leftPressed_) {
    if (readout_->HasSource()) {
      const QPoint pos = event->position().toPoint();
      readout_->ShowAt(DateTimeFromChartKey(xAxis->pixelToCoord(pos.x())), pos, axisRect()->rect());
    }
    return;
  }
  const QPoint pos = event->position().toPoint();
  readout_->hide();
  if ((pos - pressPos_).manhattanLength() >= kDragThreshold) dragged_ = true;
  if (dragged_) ShowZoomBand(pressPos_, pos);
}

void KestrumChart::mouseReleaseEvent(QMouseEvent* event) {
  QCustomPlot::mouseReleaseEvent(event);
  // The release that ends a double click has no press of its own and is
  // no click (the first click of a double click was one already).
  if (event->button() != Qt::LeftButton || !leftPressed_) return;
  leftPressed_ = false;
  HideZoomBand();
  const QPoint pos = event->position().toPoint();
  const int dx = pos.x() - pressPos_.x();
  if (!dragged_) {
    emit clicked();
  } else if (dx >= kDragThreshold) {
    ZoomToPixelRect(QRect(pressPos_, pos));
  } else if (dx <= -kDragThreshold) {
    UndoZoom();
  }
}

void KestrumChart::mouseDoubleClickEvent(QMouseEvent* event) {
  QCustomPlot::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void KestrumChart::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  // Zoom the time axis around the pointer; the footer follows the zoom.
  const double factor = std::pow(0.85, steps);
  xAxis->scaleRange(factor, xAxis->pixelToCoord(event->position().x()));
  zoomed_ = true;
  replot(rpImmediateRefresh);
  emit zoomed();
  event->accept();
}

void KestrumChart::leaveEvent(QEvent* event) {
  QCustomPlot::leaveEvent(event);
  readout_->hide();
}

void KestrumChart::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    UndoZoom();
    event->accept();
    return;
  }
  QCustomPlot::keyPressEvent(event);
}

}  // namespace kestrum
