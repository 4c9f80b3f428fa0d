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
bool Fail(QString* reason, const QString& text) {
  *reason = text;
  return false;
}

bool DrawRaster(KestrumChart& chart, const char* format, QBuffer& out, QString* reason) {
  const QSize size = chart.DrawingSize();
  const QPixmap picture = chart.toPixmap(size.width(), size.height());
  if (picture.isNull()) return Fail(reason, QStringLiteral("the chart could not be drawn"));
  QImageWriter writer(&out, format);
  if (!writer.write(picture.toImage())) return Fail(reason, writer.errorString());
  return true;
}

bool DrawSvg(KestrumChart& chart, QBuffer& out, QString* reason) {
  const QSize size = chart.DrawingSize();
  QSvgGenerator generator;
  generator.setOutputDevice(&out);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&generator)) return Fail(reason, QStringLiteral("the SVG drawing failed"));
  // The generator does not clip: cover what runs past the plot area.
  chart.OutsideMask()->setVisible(true);
  chart.toPainter(&painter, size.width(), size.height());
  chart.OutsideMask()->setVisible(false);
  if (!painter.end()) return Fail(reason, QStringLiteral("the SVG drawing failed"));
  return true;
}

bool DrawPdf(KestrumChart& chart, QBuffer& out, QString* reason) {
  const QSize size = chart.DrawingSize();
  QPdfWriter writer(&out);
  // One point per screen pixel: the page is the chart.
  writer.setResolution(72);
  writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&writer)) return Fail(reason, QStringLiteral("the PDF drawing failed"));
  chart.toPainter(&painter, size.width(), size.height());
  if (!painter.end()) return Fail(reason, QStringLiteral("the PDF drawing failed"));
  return true;
}

bool Draw(KestrumChart& chart, ChartPictureFormat format, QBuffer& out, QString* reason) {
  switch (format) {
    case ChartPictureFormat::Bmp:
      return DrawRaster(chart, "BMP", out, reason);
    case ChartPictureFormat::Png:
      return DrawRaster(chart, "PNG", out, reason);
    case ChartPictureFormat::Svg:
      return DrawSvg(chart, out, reason);
    case ChartPictureFormat::Pdf:
      return DrawPdf(chart, out, reason);
  }
  return Fail(reason, QStringLiteral("unknown picture format"));
}

}  // namespace

bool SaveChartPicture(KestrumChart& chart, const QString& path, ChartPictureFormat format,
                      QString* error) {
  chart.ApplyAutoScale();  // a hidden chart has not been replotted
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::ReadWrite);
  QString reason;
  if (Draw(chart, format, out, &reason)) {
    out.close();
    const std::string failure = WriteFileReplacing(
        QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (failure.empty()) return true;
    reason = QString::fromStdString(failure);
  }
  if (error) {
    *error = QStringLiteral("Cannot write the picture file \"%1\": %2")
                 .arg(QFileInfo(path).fileName(), reason);
  }
  return false;
}

}  // namespace kestrum
