// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_printing.h"

#include <QPageLayout>
#include <QPrinter>

#include "views/gui/kestrum_chart.h"

namespace kestrum {
namespace {

constexpr double kShareOfPage = 0.70;

// Puts the printer back as it was when it goes out of scope.
class PrinterSettingsGuard {
 public:
  explicit PrinterSettingsGuard(QPrinter& printer)
      : printer_(printer),
        orientation_(printer.pageLayout().orientation()),
        fullPage_(printer.fullPage()) {}
  ~PrinterSettingsGuard() {
    printer_.setFullPage(fullPage_);
    printer_.setPageOrientation(orientation_);
  }
  PrinterSettingsGuard(const PrinterSettingsGuard&) = delete;
  PrinterSettingsGuard& operator=(const PrinterSettingsGuard&) = delete;

 private:
  QPrinter& printer_;
  QPageLayout::Orientation orientation_;
  bool fullPage_;
};

}  // namespace

QRectF ChartRectOnPage(const QSizeF& pageSize, const QSize& chartPixels, double dpiX, double dpiY) {
  if (chartPixels.isEmpty() || dpiX <= 0 || dpiY <= 0) return {};
  // Device units per screen pixel differ by axis on such printers; a square
  // screen pixel is dpiY / dpiX times as many vertical units as horizontal.
  const double aspect = dpiY / dpiX;
  double width = 0;
  double height = 0;
  if (chartPixels.width() >= chartPixels.height()) {
    width = pageSize.width() * kShareOfPage;
    height = width * chartPixels.height() / chartPixels.width() * aspect;
  } else {
    height = pageSize.height() * kShareOfPage;
    width = height * chartPixels.width() / chartPixels.height() / aspect;
  }
  return QRectF((pageSize.width() - width) / 2, (pageSize.height() - height) / 2, width, height);
}

Result<> PrintChart(KestrumChart& chart, QPrinter& printer) {
  PrinterSettingsGuard restore(printer);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setFullPage(true);  // margins are ours: measured from the paper's edge
  printer.setDocName(QStringLiteral("Chart1"));

  chart.ApplyAutoScale();  // also a hidden chart prints what it holds
  const QSize chartPixels = chart.DrawingSize();
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF target =
      ChartRectOnPage(paper.size(), chartPixels, printer.logicalDpiX(), printer.logicalDpiY());

  QCPPainter painter;
  if (!painter.begin(&printer)) {
    return Fail("The printer could not start the print job.");
  }
  // Draw at screen resolution and let the painter scale it into the target:
  // text, pens and whiskers keep their on-screen proportions at any dpi.
  painter.translate(target.topLeft());
  painter.scale(target.width() / chartPixels.width(), target.height() / chartPixels.height());
  chart.toPainter(&painter, chartPixels.width(), chartPixels.height());

  if (printer.printerState() == QPrinter::Error) {
    printer.abort();
    painter.end();
    return Fail("The printer reported an error; the print job was aborted.");
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    return Fail("The printer reported an error while finishing the print job.");
  }
  return {};
}

}  // namespace kestrum
