// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement history as the window keeps it: downloads recorded and
// imported, the activity dock, and the history window's chart over runs
// with a gap between them.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

#include <sqlite3.h>

#include "app/emulated_window_fixture.h"
#include "app/history_run_table.h"
#include "app/history_window.h"
#include "app/instrument_register_dialog.h"
#include "app/window_placement.h"
#include "assessment/test_csv.h"
#include "emulator/emulated_bus.h"
#include "file_faults.h"
#include "history/history_store.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"
#include "records/image_generator.h"
#include "views/date_time_text.h"
#include "views/gui/kestrum_chart.h"
#include "views/sample_reading.h"

namespace {

using kestrum::EncodeDate;
using kestrum::EncodeTime;
using kestrum::InstrumentModel;

class HistoryWindowTest : public EmulatedWindowTest {
 protected:
  void PlugK8() { Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8"); }

  QStringList ActivityRow(int row) const {
    const QTreeWidgetItem* item = window->Activity->List()->topLevelItem(row);
    if (!item) return {};
    return {item->text(1), item->text(2)};
  }
};

TEST_F(HistoryWindowTest, ADownloadLandsInTheHistoryAndInTheActivityDock) {
  PlugK8();
  OpenWindow();
  window->Dump_BtnClick();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  EXPECT_EQ(window->StatusBar1->Text(1), "");

  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  const auto runs = history->Runs("K8-EMUK8001").value();
  ASSERT_EQ(runs.size(), 2u);
  int samples = 0;
  for (const auto& run : runs) samples += run.samples;
  // Every decoded sample, no more.
  EXPECT_EQ(samples, window->Store().LastSampleIndex + 1);

  ASSERT_EQ(window->Activity->List()->topLevelItemCount(), 1);
  const QStringList row = ActivityRow(0);
  EXPECT_EQ(row[0], "K8-EMUK8001");
  EXPECT_TRUE(row[1].startsWith("Downloaded 2 runs")) << row[1].toStdString();
  EXPECT_TRUE(row[1].contains("K8-EMUK8001-20240305-140709.Rn")) << row[1].toStdString();
  EXPECT_TRUE(window->Activity->isHidden());  // off until asked for
}

TEST_F(HistoryWindowTest, ACancelledDownloadIsRecordedAsSuch) {
  PlugK8();
  OpenWindow();
  bool cancelled = false;
  QTimer::singleShot(0, [&] {
    if (QProgressDialog* box = window->Progress().Dialog()) {
      box->cancel();
      cancelled = true;
    }
  });
  window->Dump_BtnClick();
  ASSERT_TRUE(cancelled);
  ASSERT_EQ(window->StatusBar1->Text(1), "Download cancelled");

  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(history->Runs().value().empty());
  const auto entries = history->LatestActivity(10).value();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].kind, "download");
  EXPECT_EQ(entries[0].text, "Download cancelled");
  EXPECT_EQ(ActivityRow(0).value(1), "Download cancelled");
}

// Ten hourly samples of one level from `start`.
kestrum::DecodedRun FlatRun(kestrum::DateTime start, double level, double temperature) {
  kestrum::DecodedRun run;
  run.start = start;
  for (int i = 1; i <= 10; ++i) {
    kestrum::HistorySample s;
    s.time = start + i / 24.0;
    s.concentration = level;
    s.error = level / 10;
    s.pulses = level / 6;
    s.temperature = temperature;
    run.samples.push_back(s);
  }
  return run;
}

kestrum::DecodedFile K7File(std::vector<kestrum::DecodedRun> runs) {
  kestrum::DecodedFile file;
  file.model = InstrumentModel::K7;
  file.runs = std::move(runs);
  return file;
}

// Pages spoilt under the open window: the instrument shows no runs rather
// than those before the damage, and the notice says why.
TEST_F(HistoryWindowTest, WhatTheStoreCannotGiveIsSaidAndNotShownInPart) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  kestrum::DecodedFile file = K7File({});
  for (int day = 0; day < 2000; ++day) {
    file.runs.push_back(FlatRun(EncodeDate(2020, 1, 1) + day, 100, 20));
  }
  ASSERT_TRUE(
      history->Import({"K7-BIG", "/elsewhere/b.Rn", "4444444444444444", pcNow, false}, file));
  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_EQ(shown->RunTable->rowCount(), 2000);
  EXPECT_FALSE(shown->NoticeLabel->isVisibleTo(shown));
  kestrum::testing::SpoilStorePages(history->Path());
  ASSERT_TRUE(shown->PickInstrument("K7-BIG"));
  EXPECT_EQ(shown->RunTable->rowCount(), 0);
  EXPECT_TRUE(shown->NoticeLabel->isVisibleTo(shown));
  EXPECT_TRUE(shown->NoticeLabel->text().startsWith(
      "What could not be read is not shown: cannot read the history: "))
      << shown->NoticeLabel->text().toStdString();
}

TEST_F(HistoryWindowTest, TwoRunsApartAreDrawnWithABreakAndOneFooter) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  const kestrum::DateTime firstStart = EncodeDate(2024, 1, 1);
  const kestrum::DateTime secondStart = EncodeDate(2024, 1, 3);
  const kestrum::DecodedFile file =
      K7File({FlatRun(firstStart, 100, 20), FlatRun(secondStart, 300, 22)});
  const kestrum::ImportSource source{"K7-TEST", "/elsewhere/k7.Rn", "0123456789abcdef", pcNow,
                                     false};
  ASSERT_TRUE(history->Import(source, file).ok());

  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->PickInstrument("K7-TEST"));
  ASSERT_EQ(shown->RunTable->rowCount(), 2);
  shown->TemperatureBox->setChecked(true);
  shown->MeanPicker->setCurrentIndex(1);  // "2h"
  shown->RunTable->selectAll();

  // Hourly values of both runs; one break in each line, between the runs.
  kestrum::KestrumChart& chart = *shown->Chart;
  EXPECT_EQ(chart.PulseBars().Count(), 20);
  const kestrum::DateTime firstEnd = firstStart + 10 / 24.0;
  const kestrum::DateTime secondBegin = secondStart + 1 / 24.0;
  for (const kestrum::LineSeries* line : {&chart.TemperatureLine(), &chart.MeanLine()}) {
    int breaks = 0;
    for (const kestrum::ChartPoint& p : line->Points()) {
      if (std::isnan(p.y)) {
        ++breaks;
        EXPECT_GT(p.x, firstEnd - 1e-9);
        EXPECT_LT(p.x, secondBegin);
      } else if (line == &chart.MeanLine()) {
        // A mean over both runs would lie between their levels.
        EXPECT_TRUE(p.y == 100 || p.y == 300) << p.y;
      }
    }
    EXPECT_EQ(breaks, 1);
  }
  EXPECT_EQ(chart.TemperatureLine().Count(), 21);

  // The footer spans both runs: ten samples of 100 and ten of 300.
  const kestrum::DateTimeFormats formats = kestrum::SystemDateTimeFormats();
  ASSERT_EQ(chart.FooterLines().size(), 1);
  const QString footer = chart.FooterLines()[0];
  EXPECT_TRUE(footer.startsWith(
      "StartTime: " + kestrum::FormatDateAndTime(firstStart + 1 / 24.0, formats) +
      ", EndTime: " + kestrum::FormatDateAndTime(secondStart + 10 / 24.0, formats)))
      << footer.toStdString();
  EXPECT_TRUE(footer.contains(" Radonlevel :200" + QString(QChar(0x00B1)))) << footer.toStdString();
  EXPECT_EQ(shown->Summary().samples, 20);
}

// A run from the year 2000 re-dated through its context menu: the table
// shows it at the time told, in time order, and the activity log says so.
TEST_F(HistoryWindowTest, AClockUnsetRunIsRedatedFromItsMenu) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  const kestrum::DateTime unsetStart = EncodeDate(2000, 1, 1);
  const kestrum::DecodedFile file =
      K7File({FlatRun(unsetStart, 100, 20), FlatRun(EncodeDate(2024, 1, 3), 300, 22)});
  const kestrum::ImportSource source{"K7-TEST", "/elsewhere/k7.Rn", "0123456789abcdef", pcNow,
                                     false};
  ASSERT_TRUE(history->Import(source, file).ok());

  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->PickInstrument("K7-TEST"));
  HistoryRunTable& table = *shown->RunTable;
  ASSERT_EQ(table.rowCount(), 2);
  EXPECT_TRUE(table.RowMenu(1)->actions().isEmpty()) << "the clock was set";
  const std::unique_ptr<QMenu> menu = table.RowMenu(0);
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8("Re-date\u2026"));

  prompts.dateTimeAnswer = QDateTime(QDate(2026, 3, 2), QTime(14, 0), Qt::UTC);
  menu->actions()[0]->trigger();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  ASSERT_EQ(prompts.dateTimeQuestions.size(), 1);
  EXPECT_EQ(prompts.dateTimeOffered, QDateTime(QDate(2000, 1, 1), QTime(1, 0), Qt::UTC));

  // Now the later run, below the other.
  ASSERT_EQ(table.rowCount(), 2);
  EXPECT_EQ(table.item(1, HistoryRunTable::kFirst)->text(), "2026-03-02 14:00");
  EXPECT_EQ(table.item(1, HistoryRunTable::kLast)->text(), "2026-03-02 23:00");
  EXPECT_EQ(table.item(1, HistoryRunTable::kMarks)->text(), "re-dated");
  EXPECT_EQ(shown->Loaded()[1].samples.front().time, shown->Loaded()[1].run.first);
  const auto entries = history->LatestActivity(1).value();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].kind, "history");
  EXPECT_EQ(entries[0].text, "Run " + std::to_string(shown->Loaded()[1].run.id) +
                                 " re-dated: first sample 2026-03-02 14:00");
  EXPECT_EQ(ActivityRow(0).value(1).toStdString(), entries[0].text);
}

}  // namespace

namespace {

TEST_F(HistoryWindowTest, SitesAreAssessedApartAndTheProtocolShadesWhatItLeavesOut) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  kestrum::DecodedFile file =
      K7File({FlatRun(EncodeDate(2024, 1, 1), 100, 20), FlatRun(EncodeDate(2024, 1, 3), 300, 22)});
  ASSERT_TRUE(
      history->Import({"K7-SITES", "/elsewhere/s.Rn", "fedcba9876543210", pcNow, false}, file)
          .ok());
  const auto runs = history->Runs("K7-SITES").value();
  ASSERT_TRUE(history->SetSite(runs[0].id, "Basement").ok());
  ASSERT_TRUE(history->SetSite(runs[1].id, "Bedroom").ok());

  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_TRUE(shown->PickInstrument("K7-SITES"));
  shown->Chooser->SetProtocol(kestrum::Protocol::kPeriod);
  shown->RunTable->selectAll();
  ASSERT_EQ(shown->SiteSummaries().size(), 2u);
  EXPECT_DOUBLE_EQ(static_cast<double>(shown->SiteSummaries()[0].summary.level.mean), 100);
  EXPECT_DOUBLE_EQ(static_cast<double>(shown->SiteSummaries()[1].summary.level.mean), 300);
  // One answer per site, first.
  const QStringList lines = shown->SummaryPlain().split('\n');
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("Basement, too short to judge")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("Bedroom, too short to judge")) << lines[1].toStdString();
  EXPECT_EQ(shown->Chart->Shading(), nullptr);  // nothing left out, nothing drawn

  // A report is of one site.
  shown->Report();
  ASSERT_EQ(prompts.errors.size(), 1);
  EXPECT_TRUE(prompts.errors[0].contains("2 sites")) << prompts.errors[0].toStdString();

  // The short-term test discards the first four hours of each site.
  shown->Chooser->SetProtocol(kestrum::Protocol::kUsShortTerm);
  ASSERT_NE(shown->Chart->Shading(), nullptr);
  EXPECT_EQ(shown->Chart->Shading()->Spans().size(), 2u);  // each site's start
  EXPECT_EQ(shown->SiteSummaries()[0].summary.assessment.test.discarded, 4);
  EXPECT_TRUE(shown->SummaryPlain().contains("not valid")) << shown->SummaryPlain().toStdString();
  shown->Chooser->SetProtocol(kestrum::Protocol::kPeriod);
  EXPECT_TRUE(shown->Chart->Shading()->Spans().empty());
  // Over the main window, its top left and its height inside its screen.
  const QRect screen = window->screen()->availableGeometry();
  const QRect frame = shown->frameGeometry();
  EXPECT_TRUE(screen.contains(frame.topLeft()));
  EXPECT_LE(frame.height(), screen.height());

  // One site's test report: its client asked once, kept with the site.
  shown->ShowRows({0});
  std::vector<kestrum::ReportDetails> offered;
  window->ChartAdditions->SetDetailsQuestion([&](const kestrum::ReportDetails& last) {
    offered.push_back(last);
    kestrum::ReportDetails answer = last;
    answer.onePage = false;
    if (answer.client.isEmpty()) answer.client = "Jane Doe";
    return answer;
  });
  QTemporaryDir dir;
  for (int i = 0; i < 2; ++i) {
    dialogs.saveAnswers.push_back(FileChoice{dir.filePath("test.pdf"), 1});
    shown->Report();
  }
  ASSERT_EQ(prompts.errors.size(), 1) << prompts.errors.join("\n").toStdString();
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_TRUE(offered[0].siteFixed && offered[0].site == "Basement");
  EXPECT_EQ(offered[1].client, "Jane Doe");
  EXPECT_EQ(history->SiteClientOf("Basement")->client, "Jane Doe");
  QProcess text;
  text.start("pdftotext", {dir.filePath("test.pdf"), "-"});
  text.waitForFinished();
  const QString page = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(page.contains("Jane Doe") && page.contains("Hourly data")) << page.toStdString();

  // A client that cannot be read is said, not offered as none.
  kestrum::testing::SpoilStorePages(history->Path(), 0.1);
  dialogs.saveAnswers.push_back(FileChoice{dir.filePath("again.pdf"), 1});
  shown->Report();
  ASSERT_EQ(offered.size(), 3u);
  EXPECT_TRUE(shown->NoticeLabel->text().contains("the client of Basement: cannot read"))
      << shown->NoticeLabel->text().toStdString();
}

}  // namespace

// What another program changes (a site, a new instrument) reaches a window
// left open; a name that is not UTF-8 still finds its runs; a site pasted
// before sites had limits, markup and all, is shown as text, cut short.
TEST_F(HistoryWindowTest, TheWindowFollowsOtherProgramsAndShowsOddTextsAsText) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  kestrum::DecodedFile file = K7File({FlatRun(EncodeDate(2024, 1, 1), 100, 20)});
  const std::string oddName = "K7-\xff\xfe";
  ASSERT_TRUE(
      history->Import({oddName, "/elsewhere/o.Rn", "1111111111111111", pcNow, false}, file));
  file.runs.push_back(FlatRun(EncodeDate(2024, 1, 3), 300, 22));
  ASSERT_TRUE(
      history->Import({"K7-PLAIN", "/elsewhere/p.Rn", "2222222222222222", pcNow, false}, file));
  const std::string pasted = "<b>bold</b>" + std::string(1 << 20, 'x');
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(history->Path().c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(raw, "UPDATE runs SET site = ? WHERE id = ?", -1, &update, nullptr);
    sqlite3_bind_text(update, 1, pasted.data(), static_cast<int>(pasted.size()), SQLITE_STATIC);
    sqlite3_bind_int64(update, 2, history->Runs("K7-PLAIN").value()[0].id);
    EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
    sqlite3_finalize(update);
    sqlite3_close(raw);
  }

  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_EQ(shown->InstrumentPicker->count(), 2);
  ASSERT_TRUE(shown->PickInstrument(QString::fromStdString(oddName)));
  EXPECT_EQ(shown->RunTable->rowCount(), 1);

  ASSERT_TRUE(shown->PickInstrument("K7-PLAIN"));
  QElapsedTimer clock;
  clock.start();
  shown->RunTable->selectAll();
  EXPECT_LT(clock.elapsed(), 2000) << "a megabyte of site must not be laid out";
  const QString text = shown->SummaryText->toPlainText();
  EXPECT_TRUE(text.contains("<b>bold</b>")) << "markup typed as a site is text";
  EXPECT_LT(text.size(), 20000);
  EXPECT_TRUE(text.contains("No calibration day is entered")) << text.toStdString();

  // Another program: a site and a new instrument, seen at the next look.
  {
    kestrum::HistoryOpenOptions options;
    auto other = kestrum::HistoryStore::Open(history->Path(), options);
    ASSERT_TRUE(other);
    const auto runs = other.value()->Runs("K7-PLAIN").value();
    ASSERT_TRUE(other.value()->SetSite(runs[1].id, "Attic"));
    ASSERT_TRUE(other.value()->Import(
        {"K5-NEW", "/elsewhere/n.Rn", "3333333333333333", pcNow, false}, file));
    ASSERT_TRUE(other.value()->SetRegister("K7-PLAIN", {EncodeDate(2022, 6, 1), "C-1", 12, ""},
                                           EncodeDate(2022, 7, 1)));
  }
  EXPECT_EQ(shown->RunTable->item(1, HistoryRunTable::kSite)->text(), "");
  shown->Follow();
  EXPECT_EQ(shown->InstrumentPicker->count(), 3);
  EXPECT_EQ(shown->RunTable->item(1, HistoryRunTable::kSite)->text(), "Attic");
  EXPECT_EQ(shown->RunTable->SelectedRows().size(), 2u) << "the shown runs stay shown";
  EXPECT_TRUE(shown->SummaryText->toPlainText().contains(
      "Calibrated 2022-06-01 (certificate C-1); that calibration ran out on 2023-06-01"))
      << shown->SummaryText->toPlainText().toStdString();
}

// "Instrument…": the dialog takes a calibration from the downloads' factors,
// and what it gives is kept and read back in the summary.
TEST(WindowPlacement, OverTheOwnerAndWhollyInsideTheScreen) {
  const QRect screen(0, 0, 1024, 700);
  const struct {
    QSize size;
    QRect owner;
    QRect placed;
  } cases[] = {
      {{400, 300}, {0, 0, 1024, 700}, {312, 200, 400, 300}},     // centred over it
      {{1200, 780}, {0, 0, 1024, 700}, {0, 0, 1024, 700}},       // too big: made to fit
      {{600, 400}, {700, 500, 300, 180}, {424, 300, 600, 400}},  // owner in a corner
      {{600, 400}, {-200, -100, 300, 200}, {0, 0, 600, 400}},    // owner partly off-screen
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlacedInside(c.size, c.owner, screen), c.placed) << c.owner.x() << "," << c.owner.y();
  }
}

// At one site: the hours whose temperature jumped are marked under the
// chart by the View menu's thresholds, and the instrument beside it is compared.
TEST_F(HistoryWindowTest, ConditionMarksAndTheInstrumentBesideShowWithTheSite) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  const struct {
    const char* name;
    const char* hash;
    double level;
  } instruments[] = {{"K7-A", "5555555555555555", 100}, {"K7-B", "6666666666666666", 110}};
  for (const auto& i : instruments) {
    kestrum::DecodedFile file = K7File({FlatRun(EncodeDate(2024, 1, 1), i.level, 20)});
    file.runs[0].samples[5].temperature = 25;  // up at hour 6, down at hour 7
    ASSERT_TRUE(
        history->Import({i.name, std::string("/elsewhere/") + i.name, i.hash, pcNow, false}, file));
    ASSERT_TRUE(history->SetSite(history->Runs(i.name).value()[0].id, "Lab"));
  }
  window->History1->trigger();
  HistoryWindow* shown = window->HistoryWin;
  ASSERT_TRUE(shown->PickInstrument("K7-A"));
  shown->RunTable->selectAll();
  ASSERT_NE(shown->Chart->ConditionMarks(), nullptr);
  EXPECT_EQ(shown->Chart->ConditionMarks()->Keys().size(), 2u);
  EXPECT_TRUE(shown->SummaryPlain().contains(
      "Beside K7-B over 10 shared hours: its mean 110 Bq/m3, this one's 100 Bq/m3, average 105 "
      "Bq/m3, relative percent difference 9.5 %."))
      << shown->SummaryPlain().toStdString();

  window->ChartAdditions->SetThresholdsQuestion([](const kestrum::ConditionThresholds& was) {
    kestrum::ConditionThresholds wider = was;
    wider.temperature = 5.5;
    return std::optional<kestrum::ConditionThresholds>(wider);
  });
  window->ChartAdditions->Thresholds->trigger();
  EXPECT_TRUE(shown->Chart->ConditionMarks()->Keys().empty());
  // Escape closes the window.
  shown->show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(shown, &escape);
  EXPECT_FALSE(shown->isVisible());
  EXPECT_EQ(*kestrum::LoadChartAdditionChoices().thresholds.temperature, 5.5);
}

TEST_F(HistoryWindowTest, TheRegisterIsEditedFromTheWindow) {
  OpenWindow();
  kestrum::HistoryStore* history = window->History();
  ASSERT_NE(history, nullptr);
  kestrum::DecodedFile file = K7File({FlatRun(EncodeDate(2024, 1, 1), 100, 20)});
  ASSERT_TRUE(
      history->Import({"K7-REG", "/elsewhere/r.Rn", "4444444444444444", pcNow, false}, file));

  const kestrum::FactorChange change{6.25, 5.37, EncodeDate(2023, 11, 2), EncodeDate(2023, 12, 4)};
  InstrumentRegisterDialog dialog(*history->FindInstrument("K7-REG").value(), {change},
                                  EncodeDate(2024, 2, 1), window.get());
  EXPECT_FALSE(dialog.Edit().entry.calibratedOn);
  EXPECT_FALSE(dialog.Edit().calibrationUncertainty) << "not given until given";
  dialog.findChild<QPushButton*>("TakeFactorChange")->click();
  dialog.Uncertainty->setValue(5);
  dialog.Interval->setValue(6);
  const RegisterEdit edit = dialog.Edit();
  ASSERT_TRUE(edit.entry.calibratedOn);
  EXPECT_EQ(*edit.entry.calibratedOn, EncodeDate(2023, 12, 4));

  HistoryWindowServices services;
  services.store = history;
  services.prompts = &prompts;
  services.dialogs = &dialogs;
  services.now = [] { return EncodeDate(2024, 2, 1); };
  services.editRegister = [&](QWidget*, const kestrum::HistoryInstrument&,
                              const std::vector<kestrum::FactorChange>&) {
    return std::optional<RegisterEdit>(edit);
  };
  HistoryWindow shown(services, window.get());
  shown.Reload();
  ASSERT_TRUE(shown.PickInstrument("K7-REG"));
  shown.RunTable->selectAll();
  shown.EditInstrument();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  const auto kept = history->FindInstrument("K7-REG").value();
  EXPECT_EQ(kept->entry.calibratedOn, edit.entry.calibratedOn);
  EXPECT_EQ(kept->entry.intervalMonths, 6);
  EXPECT_EQ(kept->calibrationUncertainty, 5.0);
  // Six months from 2023-12-04 hold the test of January 2024.
  EXPECT_TRUE(shown.SummaryText->toPlainText().contains(
      "Calibrated 2023-12-04; it holds until 2024-06-04."))
      << shown.SummaryText->toPlainText().toStdString();

  // The test's hours as CSV: the ten hours of the run, each counted.
  const QString csv = QDir(dataFolder.path()).filePath("test.csv");
  dialogs.saveAnswers.push_back(FileChoice{csv, 1});
  shown.SaveTestCsv();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  QFile written(csv);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QStringList rows = QString::fromUtf8(written.readAll()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), 11);
  EXPECT_EQ(rows[0], kestrum::kTestCsvHeader);
  for (int i = 1; i < rows.size(); ++i)
    EXPECT_TRUE(rows[i].endsWith(",1,0")) << rows[i].toStdString();
}
