// SPDX-License-Identifier: GPL-3.0-or-later
// The chart additions of the View menu (reference levels, units, legend,
// cursor readout, summary) and the run list's tooltips.
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include "app/main_window.h"
#include "link/instrument_detection.h"
#include "records/date_time.h"
#include "records/instrument_model.h"
#include "views/gui/chart_time.h"
#include "views/run_sample_range.h"
#include "views/sample_reading.h"

void TForm1::BuildChartAdditions() {
  ChartAdditions = new ChartAdditionsMenu(View1, Prompts());
  Summary = new SummaryDock(ProfileSourcesOfWindow(), this);
  connect(Summary->Chooser, &AssessmentChooser::changed, this, &TForm1::RefreshChartAdditions);
  Summary->ShowNothing();
  addDockWidget(Qt::RightDockWidgetArea, Summary);
  Summary->setVisible(ChartAdditions->Choices().summary);
  connect(ChartAdditions, &ChartAdditionsMenu::changed, this, &TForm1::ApplyChartAdditions);
  // Closing the dock unticks its entry.
  connect(Summary->toggleViewAction(), &QAction::triggered, this, [this](bool shown) {
    if (ChartAdditions->Summary->isChecked() != shown) ChartAdditions->Summary->trigger();
  });
  Chart1->SetAdditions(ChartAdditions->Choices().ForChart());
}

void TForm1::ApplyChartAdditions() {
  Chart1->SetAdditions(ChartAdditions->Choices().ForChart());
  if (HistoryWin) HistoryWin->AdditionsChanged();
  Summary->setVisible(ChartAdditions->Choices().summary);
  if (!Chart1->isHidden()) {
    Meanonchart1Click();
  } else {
    RefreshChartAdditions();
  }
}

kestrum::MeasurementSource TForm1::SourceOfMeasurements() const {
  kestrum::MeasurementSource source;
  if (const auto model = kestrum::ModelFromMarker(store_->MemoryImage[0])) {
    source.model = QString::fromLatin1(kestrum::ModelName(*model));
  }
  source.calibrationFactor = static_cast<double>(store_->CalibrationFactor);
  source.origin = MeasurementOrigin;
  return source;
}

kestrum::TimeRange TForm1::ShownTimeRange() const {
  // Zoomed: what is visible; otherwise the whole run (a mean view starts
  // its line only after the first interval).
  return Chart1->IsZoomed() ? Chart1->BottomAxisRange() : kestrum::TimeRange{-1e9, 1e9};
}

kestrum::RunSummary TForm1::SummaryOfShownRange() const {
  const kestrum::TimeRange shown = ShownTimeRange();
  return kestrum::SummariseRun(*store_, SelectedRun, shown.min, shown.max,
                               ChartAdditions->Choices().ForChart().referenceLevels,
                               Summary->Chooser->Request());
}

void TForm1::RefreshChartAdditions() {
  const kestrum::ChartAdditionChoices& choices = ChartAdditions->Choices();
  if (choices.readout && !Chart1->isHidden()) {
    Chart1->SetReadoutSource([this](kestrum::DateTime time) {
      const std::int32_t i = kestrum::NearestSample(*store_, SelectedRun, time);
      if (i < 0) return QString();
      return kestrum::SampleReadingText(store_->Samples[static_cast<std::size_t>(i)],
                                        ChannelsMeasured(), ChartAdditions->Choices().unit);
    });
  } else {
    Chart1->SetReadoutSource({});
  }
  ShadeLeftOutHours();
  if (!choices.summary) return;
  if (Chart1->isHidden()) {
    Summary->ShowNothing();
    return;
  }
  Summary->ShowSummary(SummaryOfShownRange(), SourceOfMeasurements(), choices.unit);
}

void TForm1::ShadeLeftOutHours() {
  const kestrum::AssessmentRequest request = Summary->Chooser->Request();
  const bool shades = request.protocol == kestrum::Protocol::kUsShortTerm ||
                      request.protocol == kestrum::Protocol::kWorkplace;
  // The marks go with the assessment: while the summary shows it.
  const bool marks = ChartAdditions->Choices().summary;
  if ((!shades && !marks) || Chart1->isHidden()) {
    Chart1->SetShadedSpans({});
    Chart1->SetConditionMarks({});
    return;
  }
  const std::vector<kestrum::HourlySample> samples =
      kestrum::RunHourlySamples(*store_, SelectedRun);
  const kestrum::CountedHours counted =
      kestrum::CountHours({kestrum::RunHoursOfFile(*store_, SelectedRun, samples, {})}, -1e9, 1e9);
  Chart1->SetShadedSpans(
      shades ? kestrum::LeftOutSpans(counted.samples, kestrum::HoursLeftOut(counted, request))
             : std::vector<std::pair<double, double>>{});
  std::vector<double> keys;
  if (marks) {
    const kestrum::ModelChannels c = ChannelsMeasured();
    for (const kestrum::ConditionMark& mark : kestrum::MarkConditionChanges(
             counted.samples, kestrum::MeasuredOnly(ChartAdditions->Choices().thresholds,
                                                    c.temperature, c.humidity, c.pressure))) {
      keys.push_back(kestrum::ChartKeyFromDateTime(mark.time));
    }
  }
  Chart1->SetConditionMarks(std::move(keys));
}

kestrum::ModelChannels TForm1::ChannelsMeasured() const {
  const auto model = kestrum::ModelFromMarker(store_->MemoryImage[0]);
  return model ? kestrum::ChannelsOf(*model) : kestrum::ModelChannels{};
}

void TForm1::SetRunToolTips() {
  for (int run = 0; run < store_->RunCount && run < ComboBox3->count(); ++run) {
    const kestrum::SampleRange range = kestrum::RunSampleRange(*store_, run);
    const int count = std::max(0, range.last - range.first + 1);
    if (count == 0) continue;
    const auto& first = store_->Samples[static_cast<std::size_t>(range.first)];
    const auto& last = store_->Samples[static_cast<std::size_t>(range.last)];
    ComboBox3->setItemData(
        run,
        QStringLiteral("%1 to %2, %3 samples")
            .arg(kestrum::FullDateTimeText(first.Time), kestrum::FullDateTimeText(last.Time))
            .arg(count),
        Qt::ToolTipRole);
  }
}

void TForm1::NoteDownloadOrigin(const std::optional<kestrum::Result<kestrum::KeptDownload>>& kept) {
  // The kept file, when, and through which converter: what a report's reader
  // needs to find the data again.
  const kestrum::DateTimeFields now = kestrum::SplitDateTime(Now());
  QString file = QStringLiteral("not kept");
  if (kept && *kept)
    file =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(kept->value().file.path))).fileName();
  MeasurementOrigin =
      QString::asprintf("%s, downloaded %04d-%02d-%02d %02d:%02d from converter %s",
                        file.toUtf8().constData(), now.year, now.month, now.day, now.hour,
                        now.minute, kestrum::SelectedInstrument.SerialNo.c_str());
}
