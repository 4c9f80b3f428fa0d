// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/measurement_report.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "assessment/monthly_means.h"
#include "records/checked_file.h"
#include "views/assessment_text.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/report_font.h"
#include "views/sample_reading.h"

namespace kestrum {
namespace {

// The page in points: A4 is 595 x 842.
constexpr double kPageWidth = 595;
constexpr double kPageHeight = 842;
constexpr double kMargin = 40;
constexpr double kLine = 14;
constexpr double kValueColumn = 150;

class PageWriter {
 public:
  explicit PageWriter(QPainter& painter) : painter_(painter) {}

  double y = kMargin;

  void Text(const QString& text, int pixels = 10, bool bold = false, double x = kMargin) {
    painter_.setFont(ReportFont(pixels, bold));
    painter_.drawText(QRectF(x, y, kPageWidth - kMargin - x, pixels + 6),
                      Qt::AlignLeft | Qt::AlignVCenter, text);
    y += pixels + 4;
  }

  void Row(const SummaryRow& row, double x = kMargin, double valueX = kMargin + kValueColumn) {
    painter_.setFont(ReportFont(10, true));
    painter_.drawText(QRectF(x, y, valueX - x - 4, kLine), Qt::AlignLeft | Qt::AlignVCenter,
                      row.label);
    painter_.setFont(ReportFont(10));
    painter_.drawText(QRectF(valueX, y, kPageWidth - kMargin - valueX, kLine),
                      Qt::AlignLeft | Qt::AlignVCenter, row.value);
    y += kLine;
  }

  // Wrapped over as many lines as it takes.
  void Paragraph(const QString& text, int pixels, bool bold) {
    painter_.setFont(ReportFont(pixels, bold));
    const QRectF area(kMargin, y, kPageWidth - 2 * kMargin, kPageHeight);
    const QRectF used = painter_.boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, text);
    painter_.drawText(area, Qt::AlignLeft | Qt::TextWordWrap, text);
    y += used.height() + 4;
  }

  double ParagraphHeight(const QString& text, int pixels, bool bold) {
    painter_.setFont(ReportFont(pixels, bold));
    const QRectF area(kMargin, 0, kPageWidth - 2 * kMargin, kPageHeight);
    return painter_.boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, text).height() + 4;
  }

  void Gap(double points) { y += points; }

 private:
  QPainter& painter_;
};

// The chart at the screen's default width in pixels and as tall as the
// page allows, so its lettering keeps the size it has in pictures.
void DrawChart(QPainter& painter, KestrumChart& chart, double top, double height) {
  const double width = kPageWidth - 2 * kMargin;
  const int pixelWidth = KestrumChart::kDefaultSize.width();
  const int pixelHeight = static_cast<int>(std::lround(pixelWidth * height / width));
  painter.save();
  painter.translate(kMargin, top);
  painter.scale(width / pixelWidth, height / pixelHeight);
  QCPPainter* plotPainter = static_cast<QCPPainter*>(&painter);
  chart.toPainter(plotPainter, pixelWidth, pixelHeight);
  painter.restore();
}

// Height of a heading written with PageWriter::Text.
constexpr double Heading(int pixels) {
  return pixels + 4;
}

// The monthly means, and the annual mean of each qualifying year, of a
// period over a month.
std::vector<SummaryRow> MonthRows(const RunSummary& s, RadonUnit unit) {
  std::vector<SummaryRow> rows;
  if (s.samples == 0 || s.last - s.first < 31) return rows;
  const std::vector<MonthlyMean> months = MonthlyMeans(s.days);
  for (const MonthlyMean& m : months) {
    rows.push_back(
        {QString::asprintf("%04d-%02d", m.year, m.month), QStringLiteral("%1 (%2 % covered)")
                                                              .arg(RadonValueText(m.mean, unit))
                                                              .arg(m.coverage * 100, 0, 'f', 0)});
  }
  // Each calendar year whose twelve months are covered well enough.
  for (std::size_t i = 0; i + 12 <= months.size(); ++i) {
    if (months[i].month != 1) continue;
    double sum = 0;
    bool covered = true;
    for (std::size_t k = i; k < i + 12; ++k) {
      covered = covered && months[k].year == months[i].year &&
                months[k].coverage + 1e-12 >= kAnnualMonthCoverage;
      sum += months[k].mean;
    }
    if (covered) {
      rows.push_back({QStringLiteral("Year %1").arg(months[i].year),
                      QStringLiteral("annual mean %1").arg(RadonValueText(sum / 12, unit))});
    }
  }
  return rows;
}

}  // namespace

Result<QByteArray> DrawMeasurementReport(KestrumChart& chart, const ReportContent& content) {
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  QPdfWriter writer(&out);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(300);
  writer.setTitle(QStringLiteral("Radon measurement report"));
  QCPPainter painter;
  if (!painter.begin(&writer)) return Fail("the report could not be drawn");
  painter.setWindow(0, 0, static_cast<int>(kPageWidth), static_cast<int>(kPageHeight));
  painter.setViewport(0, 0, writer.width(), writer.height());
  painter.setPen(Qt::black);

  const RunSummary& s = content.summary;
  PageWriter page(painter);
  page.Text(QStringLiteral("Radon measurement report"), 18, true);
  page.Gap(4);
  // Where, who, with what and when head the page; the figures follow the chart.
  const QString notGiven = QStringLiteral("not given");
  std::vector<SummaryRow> head = {
      {QStringLiteral("Site"), content.source.site.isEmpty() ? notGiven : content.source.site},
      {QStringLiteral("Operator"),
       content.source.operatorName.isEmpty() ? notGiven : content.source.operatorName}};
  std::vector<SummaryRow> figures;
  for (const SummaryRow& row : SummaryRows(s, content.source, content.unit)) {
    if (row.label == "Site" || row.label == "Operator") continue;
    const bool heads = row.label == "Instrument" || row.label == "Data" || row.label == "Period";
    (heads ? head : figures).push_back(row);
  }
  for (const SummaryRow& row : head) page.Row(row);
  page.Gap(6);
  const QString answer = s.samples > 0
                             ? AssessmentSentence(s.assessment, content.assessedSite, content.unit)
                             : QString();
  if (!answer.isEmpty()) {
    page.Paragraph(answer, 12, true);
    page.Gap(2);
  }

  const QStringList sentences = VerdictSentences(s, content.unit);
  const std::vector<SummaryRow> days = DailyMeanRows(s, content.unit);
  const std::vector<SummaryRow> assessed =
      s.samples > 0 ? AssessmentRows(s.assessment, content.unit) : std::vector<SummaryRow>{};
  const std::vector<SummaryRow> months = MonthRows(s, content.unit);
  // The chart takes what the text below leaves of the page, within bounds.
  const double width = kPageWidth - 2 * kMargin;
  const double usual =
      width * KestrumChart::kDefaultSize.height() / KestrumChart::kDefaultSize.width();
  double below = 8 + Heading(12) + static_cast<double>(figures.size()) * kLine;
  if (!sentences.isEmpty()) below += 6 + Heading(12) + sentences.size() * Heading(10);
  if (!assessed.empty()) below += 6 + Heading(12) + static_cast<double>(assessed.size()) * kLine;
  if (!months.empty()) {
    below += 6 + Heading(12) + static_cast<double>((months.size() + 1) / 2) * kLine;
  }
  if (!days.empty()) {
    // The daily means keep a line free below them (see there).
    below += 6 + Heading(12) + static_cast<double>((days.size() + 1) / 2 + 1) * kLine;
  }
  const double chartHeight =
      std::clamp(kPageHeight - kMargin - page.y - below, usual, width * 0.75);

  // The chart with its legend, whatever the screen shows.
  const ChartAdditions shown = chart.Additions();
  ChartAdditions withLegend = shown;
  withLegend.legend = true;
  chart.SetAdditions(withLegend);
  chart.replot(QCustomPlot::rpImmediateRefresh);  // lays the legend out
  DrawChart(painter, chart, page.y, chartHeight);
  chart.SetAdditions(shown);
  chart.replot(QCustomPlot::rpImmediateRefresh);
  page.Gap(chartHeight + 8);

  page.Text(QStringLiteral("Summary"), 12, true);
  for (const SummaryRow& row : figures) page.Row(row);
  if (!sentences.isEmpty()) {
    page.Gap(6);
    page.Text(QStringLiteral("Reference levels"), 12, true);
    for (const QString& sentence : sentences) page.Text(sentence);
  }
  if (!assessed.empty()) {
    page.Gap(6);
    page.Text(QStringLiteral("Assessment"), 12, true);
    for (const SummaryRow& row : assessed) page.Row(row);
  }
  if (!months.empty()) {
    page.Gap(6);
    page.Text(QStringLiteral("Monthly means"), 12, true);
    const double columnWidth = (kPageWidth - 2 * kMargin) / 2;
    const double top = page.y;
    const std::size_t perColumn = (months.size() + 1) / 2;
    for (std::size_t i = 0; i < months.size(); ++i) {
      page.y = top + static_cast<double>(i % perColumn) * kLine;
      const double x = kMargin + static_cast<double>(i / perColumn) * columnWidth;
      page.Row(months[i], x, x + 60);
    }
    page.y = top + static_cast<double>(perColumn) * kLine;
  }

  if (!days.empty()) {
    page.Gap(6);
    page.Text(QStringLiteral("Daily means"), 12, true);
    // Two columns down to the bottom margin; a last line tells what did not fit.
    constexpr int kColumns = 2;
    const double columnWidth = (kPageWidth - 2 * kMargin) / kColumns;
    const int rowsLeft = static_cast<int>((kPageHeight - kMargin - page.y) / kLine) - 1;
    const int fit = std::max(0, rowsLeft) * kColumns;
    const int shownDays =
        static_cast<int>(days.size()) <= fit + 1 ? static_cast<int>(days.size()) : fit;
    const double top = page.y;
    const int perColumn = (shownDays + kColumns - 1) / kColumns;
    for (int i = 0; i < shownDays; ++i) {
      page.y = top + (i % std::max(perColumn, 1)) * kLine;
      const double x = kMargin + (i / std::max(perColumn, 1)) * columnWidth;
      page.Row(days[static_cast<std::size_t>(i)], x, x + 72);
    }
    page.y = top + perColumn * kLine;
    if (shownDays < static_cast<int>(days.size())) {
      double low = days.empty() ? 0 : 1e300;
      double high = 0;
      for (std::size_t i = static_cast<std::size_t>(shownDays); i < s.days.size(); ++i) {
        low = std::min(low, s.days[i].mean);
        high = std::max(high, s.days[i].mean);
      }
      page.Text(QStringLiteral("... and %1 more days, their means from %2 to %3.")
                    .arg(days.size() - static_cast<std::size_t>(shownDays))
                    .arg(RadonValueText(low, content.unit), RadonValueText(high, content.unit)));
    }
  }
  if (!painter.end()) return Fail("the report could not be drawn");
  out.close();
  return bytes;
}

Result<> SaveMeasurementReport(KestrumChart& chart, const ReportContent& content,
                               const std::string& path) {
  const Result<QByteArray> pdf = DrawMeasurementReport(chart, content);
  if (!pdf) return pdf.failure();
  return WriteFileReplacing(path, std::string_view(pdf->constData(), pdf->size()));
}

}  // namespace kestrum
