// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "file_faults.h"
#include "views/gui/chart_export.h"
#include "views/gui/chart_printing.h"
#include "views/gui/kestrum_chart.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::kDay;
using testing::kHour;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

quint32 LittleEndian32(const QByteArray& bytes, int at) {
  quint32 v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<quint8>(bytes[at + i]);
  return v;
}

class ChartOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // Never shown: pictures are drawn all the same.
    for (int k = 1; k <= 200; ++k) {
      chart_.PulseBars().AddXYError(kDay + k * kHour, 100 + (k % 13) * 10, 20);
    }
    chart_.TemperatureLine().AddXY(kDay + kHour, 20);
    chart_.TemperatureLine().AddXY(kDay + 200 * kHour, 23);
    chart_.SetFooterLines({QStringLiteral("StartTime: x, EndTime: y Radonlevel :150")});
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  KestrumChart chart_;
};

TEST_F(ChartOutput, BitmapHasTheChartsSize) {
  chart_.resize(900, 420);
  const QString path = Path(QStringLiteral("chart.Bmp"));
  ASSERT_TRUE(SaveChartPicture(chart_, path, ChartPictureFormat::Bmp));
  const QByteArray bytes = ReadAll(path);
  ASSERT_GT(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(LittleEndian32(bytes, 18), 900u);
  EXPECT_EQ(LittleEndian32(bytes, 22), 420u);
}

TEST_F(ChartOutput, PngSvgAndPdfAreWritten) {
  const QString png = Path(QStringLiteral("chart.Png"));
  const QString svg = Path(QStringLiteral("chart.Svg"));
  const QString pdf = Path(QStringLiteral("chart.Pdf"));
  ASSERT_TRUE(SaveChartPicture(chart_, png, ChartPictureFormat::Png));
  ASSERT_TRUE(SaveChartPicture(chart_, svg, ChartPictureFormat::Svg));
  ASSERT_TRUE(SaveChartPicture(chart_, pdf, ChartPictureFormat::Pdf));
  EXPECT_EQ(ReadAll(png).left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
  const QByteArray svgText = ReadAll(svg);
  EXPECT_TRUE(svgText.startsWith("<?xml"));
  EXPECT_TRUE(svgText.contains("<svg"));
  EXPECT_TRUE(svgText.contains("Radonlevel"));
  EXPECT_TRUE(svgText.contains("</svg>"));
  EXPECT_FALSE(chart_.OutsideMask()->visible());  // the screen keeps its plain look
  const QByteArray pdfBytes = ReadAll(pdf);
  EXPECT_TRUE(pdfBytes.startsWith("%PDF-"));
  EXPECT_TRUE(pdfBytes.contains("%%EOF"));
}

TEST_F(ChartOutput, UnwritablePathIsReportedNotPretendedDone) {
  const QString path = Path(QStringLiteral("missing/dir/chart.Bmp"));
  for (ChartPictureFormat format : {ChartPictureFormat::Bmp, ChartPictureFormat::Png,
                                    ChartPictureFormat::Svg, ChartPictureFormat::Pdf}) {
    const Result<> saved = SaveChartPicture(chart_, path, format);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error().find("chart.Bmp"), std::string::npos) << saved.error();
  }
}

// A full disk used to cut existing pictures to fragments, and SVG and PDF
// failed without a word.
TEST_F(ChartOutput, FullDiskKeepsTheOldPictureAndGivesTheReason) {
  const struct {
    ChartPictureFormat format;
    const char* name;
  } cases[] = {{ChartPictureFormat::Bmp, "chart.Bmp"},
               {ChartPictureFormat::Png, "chart.Png"},
               {ChartPictureFormat::Svg, "chart.Svg"},
               {ChartPictureFormat::Pdf, "chart.Pdf"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = Path(QString::fromLatin1(c.name));
    const QByteArray earlier(2000, 'e');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
    file.write(earlier);
    file.close();
    Result<> saved;
    {
      testing::FullDisk full(1024);
      saved = SaveChartPicture(chart_, path, c.format);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.error(),
              std::string("Cannot write the picture file \"") + c.name + "\": File too large");
    EXPECT_EQ(ReadAll(path), earlier);
  }
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST(ChartOnPage, SeventyPerCentOfTheWidthCentred) {
  const QRectF r = ChartRectOnPage(QSizeF(1000, 700), QSize(800, 400), 600, 600);
  EXPECT_DOUBLE_EQ(r.width(), 700);
  EXPECT_DOUBLE_EQ(r.height(), 350);
  EXPECT_DOUBLE_EQ(r.left(), 150);
  EXPECT_DOUBLE_EQ(r.top(), 175);
}

TEST(ChartOnPage, UnequalResolutionKeepsTheRatioOnPaper) {
  // 600 x 1200 dpi: a vertical inch has twice the units of a horizontal one.
  const QRectF r = ChartRectOnPage(QSizeF(6600, 10200), QSize(800, 400), 600, 1200);
  EXPECT_DOUBLE_EQ(r.width(), 4620);
  EXPECT_DOUBLE_EQ(r.height(), 4620);  // 7.7 in x 3.85 in
  EXPECT_DOUBLE_EQ(r.top(), (10200 - 4620) / 2.0);
}

TEST(ChartOnPage, HigherThanWideTakesSeventyPerCentOfTheHeight) {
  const QRectF r = ChartRectOnPage(QSizeF(1000, 700), QSize(300, 600), 300, 300);
  EXPECT_DOUBLE_EQ(r.height(), 490);
  EXPECT_DOUBLE_EQ(r.width(), 245);
  EXPECT_DOUBLE_EQ(r.left(), 377.5);
}

TEST_F(ChartOutput, PrintsOneLandscapePageAndRestoresPortrait) {
  const QString pdf = Path(QStringLiteral("print.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);

  EXPECT_EQ(PrintChart(chart_, printer).error(), "");
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

  const QByteArray bytes = ReadAll(pdf);
  ASSERT_TRUE(bytes.startsWith("%PDF-"));
  const QString text = QString::fromLatin1(bytes);
  EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 1);
  const QRegularExpressionMatch box =
      QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"))
          .match(text);
  ASSERT_TRUE(box.hasMatch());
  EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());  // landscape
}

TEST_F(ChartOutput, PrinterFailureIsReportedAndOrientationRestored) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(Path(QStringLiteral("no/such/dir/print.pdf")));
  printer.setPageOrientation(QPageLayout::Portrait);
  EXPECT_FALSE(PrintChart(chart_, printer).ok());
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

}  // namespace
}  // namespace kestrum
