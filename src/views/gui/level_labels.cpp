// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/level_labels.h"

#include <algorithm>
#include <numeric>

namespace kestrum {
namespace {

constexpr int kFontPixels = 11;
constexpr double kTickLength = 6;  // the stroke in the line's colour before each name
constexpr double kPadding = 3;

}  // namespace

std::vector<double> StackedLabelTops(const std::vector<double>& centres, double height, double top,
                                     double bottom) {
  std::vector<std::size_t> order(centres.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return centres[a] < centres[b]; });
  std::vector<double> tops(centres.size());
  // Downwards from the top, each below the one before; then upwards from the
  // bottom, so the last ones stay inside.
  double next = top;
  for (std::size_t i : order) {
    tops[i] = std::max(centres[i] - height / 2, next);
    next = tops[i] + height;
  }
  double limit = bottom;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    tops[*it] = std::min(tops[*it], limit - height);
    limit = tops[*it];
  }
  return tops;
}

LevelLabels::LevelLabels(QCustomPlot* plot, QCPAxisRect* plotArea)
    : QCPLayoutElement(plot), plotArea_(plotArea) {
  setLayer(QStringLiteral("axes"));
  setMargins(QMargins(0, 0, 0, 0));
}

void LevelLabels::SetLines(std::vector<const ReferenceLine*> lines) {
  lines_ = std::move(lines);
  rects_.clear();
}

QFont LevelLabels::Font() const {
  QFont font = mParentPlot ? mParentPlot->font() : QFont();
  font.setPixelSize(kFontPixels);
  return font;
}

QSize LevelLabels::minimumOuterSizeHint() const {
  if (lines_.empty()) return {0, 0};
  const QFontMetricsF metrics(Font());
  double widest = 0;
  for (const ReferenceLine* line : lines_) {
    widest = std::max(widest, metrics.horizontalAdvance(line->Label()));
  }
  return {static_cast<int>(std::ceil(kTickLength + 2 * kPadding + widest + 6)), 0};
}

QSize LevelLabels::maximumOuterSizeHint() const {
  return {minimumOuterSizeHint().width(), QWIDGETSIZE_MAX};
}

void LevelLabels::draw(QCPPainter* painter) {
  rects_.clear();
  if (lines_.empty() || !plotArea_) return;
  const QFont font = Font();
  painter->setFont(font);
  const QFontMetricsF metrics(font);
  const double height = metrics.height() + 2;
  const QRect plot = plotArea_->rect();
  std::vector<double> centres;
  for (const ReferenceLine* line : lines_) {
    centres.push_back(line->valueAxis()->coordToPixel(line->Level()));
  }
  // Within the height of the whole row, so a level at the plot's top edge keeps its name.
  const QRect row = mOuterRect;
  const std::vector<double> tops = StackedLabelTops(centres, height, row.top(), row.bottom());
  const double left = mRect.left() + kPadding;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const QColor color = lines_[i]->pen().color();
    const double y = tops[i] + height / 2;
    painter->setPen(QPen(color, 1));
    // From the level's height at the plot's edge side to the name.
    painter->drawLine(QLineF(left,
                             std::clamp(centres[i], double(plot.top()), double(plot.bottom())),
                             left + kTickLength, y));
    const QRectF text(left + kTickLength + 2, tops[i], mRect.right() - left - kTickLength - 2,
                      height);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, lines_[i]->Label());
    rects_.push_back(text);
  }
}

}  // namespace kestrum
