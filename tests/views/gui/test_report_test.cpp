// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/test_report.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace kestrum {
namespace {

TestReport ReportOfHours(int hours) {
  TestReport report;
  report.title = QStringLiteral("Radon test report, Cellar");
  ReportTable table{
      "Hourly data",
      {"Hour ending", "Bq/m3", "\u00b1 Bq/m3", "\u00b0C", "RH %", "kPa", "Counted", "Change"},
      {}};
  for (int i = 0; i < hours; ++i) {
    table.rows.push_back({QStringLiteral("2026-01-01 %1:00").arg(i % 24, 2, 10, QChar('0')), "120",
                          "25", "20.1", "45.0", "101.30", "yes", ""});
  }
  report.tables.push_back(std::move(table));
  return report;
}

QString PdfText(const QString& path) {
  QProcess text;
  text.start("pdftotext", {path, "-"});
  text.waitForFinished();
  return QString::fromUtf8(text.readAllStandardOutput());
}

// Ten years of hours would be thousands of pages: refused before anything
// is drawn, pointing at the CSV; a 90-day test fits and Letter, being
// shorter, takes more pages than A4.
TEST(TestReport, PagesAreCountedAndTenYearsAreRefused) {
  const int quarter = TestReportPages(ReportOfHours(90 * 24), ReportPaper::kA4);
  EXPECT_GT(quarter, 40);
  EXPECT_LT(quarter, 60);
  EXPECT_GT(TestReportPages(ReportOfHours(90 * 24), ReportPaper::kLetter), quarter);
  const TestReport decade = ReportOfHours(3653 * 24);
  EXPECT_GT(TestReportPages(decade, ReportPaper::kA4), kMostReportPages);
  QTemporaryDir dir;
  const std::string path = dir.filePath("decade.pdf").toStdString();
  const Result<> saved = SaveTestReport(decade, {}, ReportPaper::kA4, path);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find("CSV"), std::string::npos) << saved.error();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

// What the user typed is text, cut with an ellipsis where it would not fit;
// every page names the test and its number.
TEST(TestReport, UserTextsAreCutAndEveryPageIsNumbered) {
  TestReport report = ReportOfHours(200);
  const QString client = QString(300, QChar('W')) + QStringLiteral("<i>end</i>");
  report.front.push_back({"For", {{"Client", client}, {"Address", "Line one\nLine two"}}});
  report.front.push_back({"Instrument", {{"Model", "K8"}}});
  QTemporaryDir dir;
  const QString path = dir.filePath("r.pdf");
  ASSERT_TRUE(SaveTestReport(report, {}, ReportPaper::kA4, path.toStdString()));
  const QString text = PdfText(path);
  EXPECT_TRUE(text.contains(QChar(0x2026))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("end</i>")));
  EXPECT_TRUE(text.contains(QStringLiteral("Line one")));
  const int pages = TestReportPages(report, ReportPaper::kA4);
  ASSERT_GT(pages, 2);
  for (int page = 1; page <= pages; ++page) {
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages))) << page;
  }
  EXPECT_EQ(text.count(report.title), pages);
}

}  // namespace
}  // namespace kestrum
