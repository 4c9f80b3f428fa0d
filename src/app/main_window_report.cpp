// SPDX-License-Identifier: GPL-3.0-or-later
// Main > Report: the one-page report of the period, or the test report of
// the shown run under the summary's protocol.
#include "app/last_folders.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "app/report_people.h"
#include "assessment/assessment.h"
#include "history/history_files.h"
#include "history/history_store.h"
#include "records/instrument_model.h"
#include "views/gui/measurement_report.h"
#include "views/gui/test_report.h"
#include "views/run_sample_range.h"

namespace {

// The history's entry of the instrument whose data is shown, when it has one.
kestrum::Result<std::optional<kestrum::HistoryInstrument>> ShownInstrument(
    kestrum::HistoryStore* history, const std::string& path) {
  if (!history || path.empty()) return {std::nullopt};
  return history->FindInstrument(kestrum::InstrumentNameForFile(path, {}));
}

}  // namespace

void TForm1::Report1Click() {
  if (Chart1->isHidden()) {
    Prompts().ShowError(kNoChartShownMessage);
    return;
  }
  const FileDialogSetup setup{{"Pdf Document (*.pdf)"}, "*.pdf", "report"};
  const auto choice = Dialogs().AskSave(
      setup, kestrum::InitialDialogPath(kestrum::DialogFolder::kReport, QString(), setup.fileName));
  if (!choice) return;
  const kestrum::Result<std::string> localName = kestrum::LocalNameOf(choice->path);
  if (!localName) {
    Prompts().ShowError(QString::fromStdString(localName.error()));
    return;
  }
  kestrum::RememberFolderOf(kestrum::DialogFolder::kReport, choice->path);
  kestrum::ReportDetails offered = kestrum::LoadReportDetails();
  offered.onePageOffered = Summary->Chooser->Request().protocol == kestrum::Protocol::kPeriod;
  kestrum::HistoryStore* history = historyProblem_.empty() ? History() : nullptr;
  if (history) {
    if (const kestrum::Result<> read = kestrum::OfferSiteClient(*history, offered); !read)
      StatusBar1->SetText(1, QString::fromStdString("Client not read: " + read.error()));
  }
  const auto details = ChartAdditions->AskReportDetails(offered);
  if (!details) return;
  kestrum::Result<> saved;
  // The one page is only the period's.
  const bool onePage = details->onePage && offered.onePageOffered;
  if (onePage) {
    kestrum::ReportContent content;
    content.summary = kestrum::SummaryForReport(*store_, SelectedRun, SummaryOfShownRange());
    content.source = SourceOfMeasurements();
    content.source.site = details->site;
    content.source.operatorName = details->operatorName;
    content.assessedSite = details->site;
    content.unit = ChartAdditions->Choices().unit;
    saved = kestrum::SaveMeasurementReport(*Chart1, content, localName.value());
  } else {
    saved = SaveTestReportOfShownRun(*details, localName.value());
  }
  if (!saved) Prompts().ShowError(choice->path + ":\n" + QString::fromStdString(saved.error()));
  // The client goes with the site, for the next report of it.
  if (history && !onePage) {
    const kestrum::Result<> kept = kestrum::KeepSiteClient(*history, offered, *details);
    if (!kept) StatusBar1->SetText(1, QString::fromStdString("Client not kept: " + kept.error()));
  }
}

kestrum::Result<> TForm1::SaveTestReportOfShownRun(const kestrum::ReportDetails& details,
                                                   const std::string& path) {
  const std::string site = details.site.toStdString();
  const kestrum::TimeRange shown = ShownTimeRange();
  const std::vector<kestrum::HourlySample> samples =
      kestrum::RunHourlySamples(*store_, SelectedRun);
  const kestrum::CountedHours counted = kestrum::CountHours(
      {kestrum::RunHoursOfFile(*store_, SelectedRun, samples, site)}, shown.min, shown.max);
  if (counted.samples.empty()) return kestrum::Fail("no counted hour lies in the shown range");
  kestrum::AssessmentRequest request = Summary->Chooser->Request();
  request.levels = kestrum::LevelsForVerdicts(ChartAdditions->Choices().ForChart().referenceLevels);
  kestrum::HistoryStore* history = historyProblem_.empty() ? History() : nullptr;
  const auto listed = ShownInstrument(history, lastFilePath_);
  // Without the register's calibration the uncertainty would come out too small.
  if (!listed) return listed.failure();
  const std::optional<kestrum::HistoryInstrument>& instrument = listed.value();
  if (instrument) kestrum::TakeCalibration(request, instrument->calibrationUncertainty);
  const kestrum::Assessment assessment = kestrum::Assess(counted, request);
  if (assessment.hours() == 0) {
    return kestrum::Fail("none of the counted hours is one the protocol assesses");
  }
  kestrum::TestReportInput input = kestrum::TestReportInputFor(
      assessment, counted, request, ChartAdditions->Choices().thresholds, ChannelsMeasured(),
      ChartAdditions->Choices().unit);
  input.site = details.site;
  input.model = SourceOfMeasurements().model;
  input.data = MeasurementOrigin;
  if (instrument) kestrum::NameInstrument(*instrument, input);
  input.people = kestrum::PeopleOf(details);
  return kestrum::SaveTestReport(kestrum::ComposeTestReport(input), kestrum::TestChartOf(input),
                                 details.paper, path);
}
