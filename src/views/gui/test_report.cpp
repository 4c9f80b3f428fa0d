// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/test_report.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <string_view>

#include "records/checked_file.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/report_font.h"
#include "views/gui/shaded_hours.h"

namespace kestrum {
namespace {

// Points; the page's size comes from the paper.
constexpr double kMargin = 40;
constexpr double kFooterHeight = 18;
constexpr double kRowLine = 13;
constexpr double kTableLine = 17;
// Labels of a full-width block, and of one of the two columns on page 1.
constexpr double kLabelWidth = 132;
constexpr double kPairLabelWidth = 76;
constexpr int kRowPixels = 10;
constexpr int kTablePixels = 9;
// Blocks up to this height are not split over two pages.
constexpr double kKeptBlock = 220;

struct Paper {
  double width;
  double height;
};

Paper SizeOf(ReportPaper paper) {
  return paper == ReportPaper::kLetter ? Paper{612, 792} : Paper{595, 842};
}

// Unhinted, so that the layout's measures scale to the page.
QFont PageFont(int pixels, bool bold = false) {
  QFont font = ReportFont(pixels, bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  // Any letter spacing turns ligatures off, so "fi" is copied out of the PDF as two letters.
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
  return font;
}

// How much wider text comes out on the page than the screen's metrics
// measure it (they round advances at small sizes): measured once, on a page
// laid out as the report's, over the sizes it uses; every width the layout
// gives the metrics is divided by it, so no line runs past its place.
double TextScale() {
  static const double scale = [] {
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QPainter painter;
    if (!painter.begin(&writer)) return 1.05;
    painter.setWindow(0, 0, 595, 842);
    painter.setViewport(0, 0, writer.width(), writer.height());
    const QString sample = QStringLiteral(
        "Radon test report 0123456789 undecided: the calibration uncertainty alone spans it, "
        "MWQ wmi.,;:");
    double widest = 1;
    for (const int pixels : {8, 9, 10, 12, 18}) {
      for (const bool bold : {false, true}) {
        const QFont font = PageFont(pixels, bold);
        painter.setFont(font);
        const double drawn =
            painter
                .boundingRect(QRectF(0, 0, 20000, 100), Qt::AlignLeft | Qt::TextSingleLine, sample)
                .width();
        const double measured = QFontMetricsF(font).horizontalAdvance(sample);
        if (measured > 0) widest = std::max(widest, drawn / measured);
      }
    }
    painter.end();
    return widest * 1.01;
  }();
  return scale;
}

// A text as plain lines: control characters become spaces, a line end
// starts a new line; at `most` lines the rest is cut with an ellipsis.
QStringList WrapLines(const QString& text, const QFont& font, double width, int most) {
  QString clean = text;
  for (QChar& c : clean) {
    if (c.unicode() < 0x20 && c != QLatin1Char('\n')) c = QLatin1Char(' ');
  }
  const QFontMetricsF metrics(font);
  QStringList lines;
  const QStringList paragraphs = clean.split(QLatin1Char('\n'));
  for (int p = 0; p < paragraphs.size(); ++p) {
    const QString& paragraph = paragraphs[p];
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width / TextScale());
      if (lines.size() == most - 1) {
        QStringList rest{paragraph.mid(line.textStart())};
        for (int q = p + 1; q < paragraphs.size(); ++q) rest << paragraphs[q];
        const QString joined = rest.join(QLatin1Char(' '));
        lines << metrics.elidedText(joined, Qt::ElideRight, width / TextScale());
        layout.endLayout();
        return lines;
      }
      lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
  }
  if (lines.isEmpty()) lines << QString();
  return lines;
}

enum class Kind {
  kTitle,
  kHeading,
  kRow,
  kParagraph,
  kPair,
  kChart,
  kTableHeader,
  kTableRow,
  kGap
};

struct Item {
  Kind kind = Kind::kGap;
  double height = 0;
  QString label;
  QStringList lines;
  double x = kMargin;  // left edge
  double width = 0;
  int pixels = kRowPixels;
  bool bold = false;
  int table = -1;  // of the report's tables
  int row = -1;
  double labelWidth = kLabelWidth;
  std::vector<Item> left, right;  // the two columns of a pair, laid out from its top
  // Where it went.
  int page = 0;
  double y = 0;
};

Item MakeItem(Kind kind, double height, double x = kMargin, double width = 0,
              QStringList lines = {}, QString label = {}) {
  Item item;
  item.kind = kind;
  item.height = height;
  item.x = x;
  item.width = width;
  item.lines = std::move(lines);
  item.label = std::move(label);
  return item;
}

// The report's items measured and put on pages; drawing only follows it.
class Layout {
 public:
  Layout(const TestReport& report, ReportPaper paper)
      : report_(report), paper_(SizeOf(paper)), width_(paper_.width - 2 * kMargin) {
    Build();
    Paginate();
  }

  int Pages() const { return pages_; }
  const std::vector<Item>& Items() const { return items_; }
  Paper Size() const { return paper_; }

  // A table's columns (left edge, width): the time or day, then equal shares.
  std::vector<std::pair<double, double>> Columns(const ReportTable& table) const {
    std::vector<std::pair<double, double>> columns;
    const int count = static_cast<int>(table.columns.size());
    if (count == 0) return columns;
    constexpr double kTimeWidth = 96;
    constexpr double kWidest = 80;
    const double share = std::min(kWidest, (width_ - kTimeWidth) / std::max(1, count - 1));
    columns.push_back({kMargin, kTimeWidth});
    for (int i = 1; i < count; ++i) {
      columns.push_back({kMargin + kTimeWidth + (i - 1) * share, share});
    }
    return columns;
  }

 private:
  static Item Heading(const QString& text, double x, double width) {
    Item item = MakeItem(Kind::kHeading, 18, x, width, {text});
    item.pixels = 12;
    item.bold = true;
    return item;
  }

  static void Rows(std::vector<Item>& out, const std::vector<SummaryRow>& rows, double x,
                   double width, int most, double labelWidth = kLabelWidth) {
    const QFont font = PageFont(kRowPixels);
    for (const SummaryRow& row : rows) {
      Item item = MakeItem(Kind::kRow, 0, x, width,
                           WrapLines(row.value, font, width - labelWidth, most), row.label);
      item.labelWidth = labelWidth;
      item.height = static_cast<double>(item.lines.size()) * kRowLine;
      out.push_back(std::move(item));
    }
  }

  void Paragraph(const QString& text, int pixels, bool bold) {
    Item item = MakeItem(Kind::kParagraph, 0, kMargin, width_,
                         WrapLines(text, PageFont(pixels, bold), width_, 12));
    item.pixels = pixels;
    item.bold = bold;
    item.height = static_cast<double>(item.lines.size()) * (pixels + 4) + 4;
    items_.push_back(std::move(item));
  }

  void Gap(double points) { items_.push_back(MakeItem(Kind::kGap, points)); }

  void Block(const ReportBlock& block, int most) {
    Gap(4);
    items_.push_back(Heading(block.heading, kMargin, width_));
    Rows(items_, block.rows, kMargin, width_, most);
  }

  // One column of a pair, its items placed from 0 down.
  static double Column(std::vector<Item>& column, const ReportBlock& block, double x,
                       double width) {
    column.push_back(Heading(block.heading, x, width));
    Rows(column, block.rows, x, width, 3, kPairLabelWidth);
    double y = 0;
    for (Item& item : column) {
      item.y = y;
      y += item.height;
    }
    return y;
  }

  void Build() {
    Item title = MakeItem(Kind::kTitle, 28, kMargin, width_, {QStringLiteral("Radon test report")});
    title.pixels = 18;
    title.bold = true;
    items_.push_back(title);
    std::size_t next = 0;
    // Who and with what side by side, each in half the width.
    if (report_.front.size() >= 2) {
      const double half = (width_ - 16) / 2;
      Item pair = MakeItem(Kind::kPair, 0);
      const double left = Column(pair.left, report_.front[0], kMargin, half);
      const double right = Column(pair.right, report_.front[1], kMargin + half + 16, half);
      pair.height = std::max(left, right);
      items_.push_back(std::move(pair));
      next = 2;
    }
    for (; next < report_.front.size(); ++next) Block(report_.front[next], 3);
    Gap(6);
    if (!report_.answer.isEmpty()) Paragraph(report_.answer, 12, true);
    for (const ReportBlock& block : report_.result) Block(block, 4);
    Gap(6);
    const QSize usual = KestrumChart::kDefaultSize;
    items_.push_back(MakeItem(
        Kind::kChart, std::min(width_ * usual.height() / usual.width(), 250.0), kMargin, width_));
    for (const QString& note : report_.notes) Paragraph(note, 9, false);
    if (!report_.advisories.isEmpty()) {
      Gap(4);
      items_.push_back(Heading(QStringLiteral("Advice"), kMargin, width_));
      for (const QString& advice : report_.advisories) Paragraph(advice, 10, false);
    }
    for (const ReportBlock& block : report_.summaries) Block(block, 3);
    for (std::size_t t = 0; t < report_.tables.size(); ++t) {
      const ReportTable& table = report_.tables[t];
      if (table.rows.empty()) continue;
      Gap(8);
      items_.push_back(Heading(table.heading, kMargin, width_));
      Item header = MakeItem(Kind::kTableHeader, kTableLine, kMargin, width_);
      header.table = static_cast<int>(t);
      items_.push_back(header);
      for (std::size_t i = 0; i < table.rows.size(); ++i) {
        Item row = MakeItem(Kind::kTableRow, kTableLine);
        row.table = static_cast<int>(t);
        row.row = static_cast<int>(i);
        items_.push_back(row);
      }
    }
  }

  double Bottom() const { return paper_.height - kMargin - kFooterHeight; }

  // Each item goes below the one before, or opens a page when it does not
  // fit; a heading stays with what follows it, and every page the table
  // goes on starts with its header.
  void Paginate() {
    std::vector<Item> placed;
    placed.reserve(items_.size() + 128);
    double y = kMargin;
    int page = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      Item& item = items_[i];
      double needed = item.height;
      if ((item.kind == Kind::kHeading || item.kind == Kind::kTableHeader) &&
          i + 1 < items_.size()) {
        needed += items_[i + 1].height;
      }
      // A short block goes on one page with its heading.
      if (item.kind == Kind::kHeading) {
        double block = item.height;
        for (std::size_t k = i + 1; k < items_.size() && items_[k].kind == Kind::kRow; ++k) {
          block += items_[k].height;
        }
        if (block <= kKeptBlock) needed = std::max(needed, block);
      }
      if (y + needed > Bottom() && y > kMargin) {
        ++page;
        y = kMargin;
        if (item.kind == Kind::kGap) continue;
        if (item.kind == Kind::kTableRow) {
          Item header = MakeItem(Kind::kTableHeader, kTableLine, kMargin, width_);
          header.table = item.table;
          header.page = page;
          header.y = y;
          placed.push_back(std::move(header));
          y += kTableLine;
        }
      }
      item.page = page;
      item.y = y;
      y += item.height;
      placed.push_back(std::move(item));
    }
    items_ = std::move(placed);
    pages_ = page + 1;
  }

  const TestReport& report_;
  Paper paper_;
  double width_;
  std::vector<Item> items_;
  int pages_ = 1;
};

void DrawLines(QPainter& painter, const Item& item, double x, double y, double width,
               Qt::Alignment align = Qt::AlignLeft) {
  const QFont font = PageFont(item.pixels, item.bold);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double line = item.kind == Kind::kRow ? kRowLine : item.pixels + 4;
  for (int i = 0; i < item.lines.size(); ++i) {
    const double top = y + i * line;
    painter.drawText(QRectF(x, top, width, line), align | Qt::AlignVCenter | Qt::TextSingleLine,
                     item.lines[i]);
  }
}

// A single line, cut with an ellipsis to the width.
void DrawCell(QPainter& painter, const QFontMetricsF& metrics, const QString& text, double x,
              double y, double width, Qt::Alignment align) {
  painter.drawText(QRectF(x + 2, y, width - 4, kTableLine),
                   align | Qt::AlignVCenter | Qt::TextSingleLine,
                   metrics.horizontalAdvance(text) * TextScale() > width - 4
                       ? metrics.elidedText(text, Qt::ElideRight, (width - 4) / TextScale())
                       : text);
}

void DrawItem(QPainter& painter, const Item& item, const TestReport& report, const Layout& layout,
              double offset = 0) {
  const double y = item.y + offset;
  const ReportTable* table =
      item.table >= 0 ? &report.tables[static_cast<std::size_t>(item.table)] : nullptr;
  const std::vector<std::pair<double, double>> columns =
      table ? layout.Columns(*table) : std::vector<std::pair<double, double>>{};
  switch (item.kind) {
    case Kind::kTitle:
    case Kind::kHeading:
    case Kind::kParagraph:
      DrawLines(painter, item, item.x, y, item.width);
      break;
    case Kind::kRow: {
      Item label = item;
      label.bold = true;
      label.lines = {
          QFontMetricsF(PageFont(kRowPixels, true))
              .elidedText(item.label, Qt::ElideRight, (item.labelWidth - 6) / TextScale())};
      DrawLines(painter, label, item.x, y, item.labelWidth);
      DrawLines(painter, item, item.x + item.labelWidth, y, item.width - item.labelWidth);
      break;
    }
    case Kind::kPair:
      for (const Item& part : item.left) DrawItem(painter, part, report, layout, y);
      for (const Item& part : item.right) DrawItem(painter, part, report, layout, y);
      break;
    case Kind::kTableHeader: {
      const QFont font = PageFont(kTablePixels, true);
      painter.setFont(font);
      const QFontMetricsF metrics(font);
      for (std::size_t c = 0; c < columns.size(); ++c) {
        DrawCell(painter, metrics, table->columns[static_cast<int>(c)], columns[c].first, y,
                 columns[c].second, c == 0 ? Qt::AlignLeft : Qt::AlignRight);
      }
      if (!columns.empty()) {
        const double right = columns.back().first + columns.back().second;
        painter.drawLine(QPointF(kMargin, y + kTableLine), QPointF(right, y + kTableLine));
      }
      break;
    }
    case Kind::kTableRow: {
      const QStringList& cells = table->rows[static_cast<std::size_t>(item.row)];
      if (item.row % 2 == 1) {
        painter.fillRect(
            QRectF(kMargin, y, columns.back().first + columns.back().second - kMargin, kTableLine),
            QColor(240, 240, 240));
      }
      const QFontMetricsF metrics(painter.font());
      for (std::size_t c = 0; c < columns.size() && c < static_cast<std::size_t>(cells.size());
           ++c) {
        DrawCell(painter, metrics, cells[static_cast<int>(c)], columns[c].first, y,
                 columns[c].second, c == 0 ? Qt::AlignLeft : Qt::AlignRight);
      }
      break;
    }
    case Kind::kChart:
    case Kind::kGap:
      break;
  }
}

// The chart over the whole test, its y-axis fitted to the data, with its
// legend; at the screen's default width in pixels so its lettering keeps
// the size it has in pictures.
void DrawChart(QPainter& painter, const TestChart& test, const Item& item) {
  KestrumChart chart;
  ChartAdditions additions = test.additions;
  additions.legend = true;
  chart.SetAdditions(additions);
  FillPulseDistributionSeries(chart, test.series);
  chart.SetShadedSpans(test.shaded);
  // A season reads better by its dates than by its hours.
  if (auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(chart.xAxis->ticker())) {
    const std::vector<ErrorBarPoint>& bars = test.series.pulses;
    const bool long_ = !bars.empty() && bars.back().x - bars.front().x > 20;
    ticker->setDateTimeFormat(long_ ? QStringLiteral("dd/MM/yy") : QStringLiteral("dd/MM hh"));
  }
  const int pixelWidth = KestrumChart::kDefaultSize.width();
  const int pixelHeight = static_cast<int>(std::lround(pixelWidth * item.height / item.width));
  chart.resize(pixelWidth, pixelHeight);
  chart.ApplyAutoScale();
  chart.replot(QCustomPlot::rpImmediateRefresh);
  painter.save();
  painter.translate(item.x, item.y);
  painter.scale(item.width / pixelWidth, item.height / pixelHeight);
  chart.toPainter(static_cast<QCPPainter*>(&painter), pixelWidth, pixelHeight);
  painter.restore();
}

void DrawFooter(QPainter& painter, const QString& title, int page, int pages, const Paper& paper) {
  const QFont font = PageFont(8);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double y = paper.height - kMargin - 12;
  const double width = paper.width - 2 * kMargin;
  painter.setPen(QColor(110, 110, 110));
  painter.drawLine(QPointF(kMargin, y - 2), QPointF(kMargin + width, y - 2));
  const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages);
  const double numberWidth = metrics.horizontalAdvance(number) * TextScale() + 8;
  painter.drawText(
      QRectF(kMargin, y, width - numberWidth, 12),
      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
      metrics.elidedText(title, Qt::ElideRight, (width - numberWidth - 8) / TextScale()));
  painter.drawText(QRectF(kMargin, y, width, 12),
                   Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, number);
  painter.setPen(Qt::black);
}

}  // namespace

TestChart TestChartOf(const TestReportInput& input) {
  TestChart chart;
  const ModelChannels& c = input.channels;
  chart.series = ComputePulseDistributionWithBreaks(
      input.counted->samples, EnvironmentLines{c.temperature, c.humidity, c.pressure});
  chart.shaded = LeftOutSpans(input.counted->samples, input.leftOut);
  const Assessment& a = *input.assessment;
  // An annual assessment judges each year, not the whole.
  const std::vector<LevelOutcome>& levels =
      a.levels.empty() && !a.years.empty() ? a.years.back().levels : a.levels;
  for (const LevelOutcome& level : levels) {
    chart.additions.referenceLevels.push_back(level.level);
  }
  chart.additions.unit = input.unit;
  return chart;
}

int TestReportPages(const TestReport& report, ReportPaper paper) {
  return Layout(report, paper).Pages();
}

Result<QByteArray> DrawTestReport(const TestReport& report, const TestChart& chart,
                                  ReportPaper paper) {
  const Layout layout(report, paper);
  const Paper size = layout.Size();
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  QPdfWriter writer(&out);
  writer.setPageSize(QPageSize(paper == ReportPaper::kLetter ? QPageSize::Letter : QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(300);
  writer.setTitle(report.title);
  writer.setCreator(QStringLiteral("Kestrum"));
  QCPPainter painter;
  if (!painter.begin(&writer)) return Fail("the report could not be drawn");
  painter.setWindow(0, 0, static_cast<int>(size.width), static_cast<int>(size.height));
  painter.setViewport(0, 0, writer.width(), writer.height());
  painter.setPen(Qt::black);
  int page = 0;
  DrawFooter(painter, report.title, page, layout.Pages(), size);
  painter.setFont(PageFont(kTablePixels));
  for (const Item& item : layout.Items()) {
    if (item.page != page) {
      writer.newPage();
      page = item.page;
      DrawFooter(painter, report.title, page, layout.Pages(), size);
      painter.setFont(PageFont(kTablePixels));
    }
    if (item.kind == Kind::kChart) {
      DrawChart(painter, chart, item);
    } else {
      DrawItem(painter, item, report, layout);
    }
    if (item.kind != Kind::kTableRow) painter.setFont(PageFont(kTablePixels));
  }
  if (!painter.end()) return Fail("the report could not be drawn");
  out.close();
  return bytes;
}

Result<> SaveTestReport(const TestReport& report, const TestChart& chart, ReportPaper paper,
                        const std::string& path) {
  const int pages = TestReportPages(report, paper);
  if (pages > kMostReportPages) {
    return Fail(QStringLiteral("the report would take %1 pages, more than the %2 a report may "
                               "hold; write the test's hours as CSV instead")
                    .arg(pages)
                    .arg(kMostReportPages)
                    .toStdString());
  }
  const Result<QByteArray> pdf = DrawTestReport(report, chart, paper);
  if (!pdf) return pdf.failure();
  return WriteFileReplacing(path, std::string_view(pdf->constData(), pdf->size()));
}

}  // namespace kestrum
