// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_export.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPixmap>
#include <QSvgGenerator>
#include <string_view>

#include "records/checked_file.h"
#include "views/gui/kestrum_chart.h"

namespace kestrum {
namespace {

// The picture is drawn into memory first and then written whole through the
// one write routine, so an existing picture is replaced entirely or not at all.

Result<> DrawRaster(KestrumChart& chart, const char* format, QBuffer& out) {
  const QSize size = chart.DrawingSize();
  const QPixmap picture = chart.toPixmap(size.width(), size.height());
  if (picture.isNull()) return Fail("the chart could not be drawn");
  QImageWriter writer(&out, format);
  if (!writer.write(picture.toImage())) return Fail(writer.errorString().toStdString());
  return {};
}

Result<> DrawSvg(KestrumChart& chart, QBuffer& out) {
  const QSize size = chart.DrawingSize();
  QSvgGenerator generator;
  generator.setOutputDevice(&out);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&generator)) return Fail("the SVG drawing failed");
  // The generator does not clip: cover what runs past the plot area.
  chart.OutsideMask()->setVisible(true);
  chart.toPainter(&painter, size.width(), size.height());
  chart.OutsideMask()->setVisible(false);
  if (!painter.end()) return Fail("the SVG drawing failed");
  return {};
}

Result<> DrawPdf(KestrumChart& chart, QBuffer& out) {
  const QSize size = chart.DrawingSize();
  QPdfWriter writer(&out);
  // One point per screen pixel: the page is the chart.
  writer.setResolution(72);
  writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&writer)) return Fail("the PDF drawing failed");
  chart.toPainter(&painter, size.width(), size.height());
  if (!painter.end()) return Fail("the PDF drawing failed");
  return {};
}

Result<> Draw(KestrumChart& chart, ChartPictureFormat format, QBuffer& out) {
  switch (format) {
    case ChartPictureFormat::Bmp:
      return DrawRaster(chart, "BMP", out);
    case ChartPictureFormat::Png:
      return DrawRaster(chart, "PNG", out);
    case ChartPictureFormat::Svg:
      return DrawSvg(chart, out);
    case ChartPictureFormat::Pdf:
      return DrawPdf(chart, out);
  }
  return Fail("unknown picture format");
}

}  // namespace

Result<> SaveChartPicture(KestrumChart& chart, const QString& path, ChartPictureFormat format) {
  chart.ApplyAutoScale();  // a hidden chart has not been replotted
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::ReadWrite);
  Result<> saved = Draw(chart, format, out);
  if (saved) {
    out.close();
    saved = WriteFileReplacing(QFile::encodeName(path).toStdString(),
                               std::string_view(bytes.constData(), bytes.size()));
  }
  if (saved) return saved;
  return Fail(QStringLiteral("Cannot write the picture file \"%1\": %2")
                  .arg(QFileInfo(path).fileName(), QString::fromStdString(saved.error()))
                  .toStdString());
}

}  // namespace kestrum
