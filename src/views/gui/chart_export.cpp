#include "views/gui/chart_export.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPixmap>
#include <QSvgGenerator>

#include "views/gui/kestrum_chart.h"

namespace kestrum {
namespace {

bool Fail(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

QString CannotWrite(const QString& path) {
  return QStringLiteral("Cannot write the picture file \"%1\".").arg(QFileInfo(path).fileName());
}

bool SaveRaster(KestrumChart& chart, const QString& path, const char* format, QString* error) {
  const QSize size = chart.DrawingSize();
  const QPixmap picture = chart.toPixmap(size.width(), size.height());
  if (picture.isNull() || !picture.save(path, format)) return Fail(error, CannotWrite(path));
  return true;
}

bool SaveSvg(KestrumChart& chart, const QString& path, QString* error) {
  const QSize size = chart.DrawingSize();
  QSvgGenerator generator;
  generator.setFileName(path);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&generator)) return Fail(error, CannotWrite(path));
  // The generator does not clip: cover what runs past the plot area.
  chart.OutsideMask()->setVisible(true);
  chart.toPainter(&painter, size.width(), size.height());
  chart.OutsideMask()->setVisible(false);
  if (!painter.end()) return Fail(error, CannotWrite(path));
  return true;
}

bool SavePdf(KestrumChart& chart, const QString& path, QString* error) {
  const QSize size = chart.DrawingSize();
  QPdfWriter writer(path);
  // One point per screen pixel: the page is the chart.
  writer.setResolution(72);
  writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setTitle(QStringLiteral("Chart1"));
  QCPPainter painter;
  if (!painter.begin(&writer)) return Fail(error, CannotWrite(path));
  chart.toPainter(&painter, size.width(), size.height());
  if (!painter.end()) return Fail(error, CannotWrite(path));
  return true;
}

}  // namespace

bool SaveChartPicture(KestrumChart& chart, const QString& path, ChartPictureFormat format,
                      QString* error) {
  chart.ApplyAutoScale();  // a hidden chart has not been replotted
  switch (format) {
    case ChartPictureFormat::Bmp:
      return SaveRaster(chart, path, "BMP", error);
    case ChartPictureFormat::Png:
      return SaveRaster(chart, path, "PNG", error);
    case ChartPictureFormat::Svg:
      return SaveSvg(chart, path, error);
    case ChartPictureFormat::Pdf:
      return SavePdf(chart, path, error);
  }
  return Fail(error, CannotWrite(path));
}

}  // namespace kestrum
