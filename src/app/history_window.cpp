// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_window.h"

#include <QKeyEvent>

#include "app/freed_memory.h"
#include "app/shown_text.h"
#include "assessment/condition_marks.h"
#include "history/register_text.h"
#include "records/checked_file.h"
#include "views/test_conditions_text.h"

#include "app/chart_additions_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "app/history_summary.h"
#include "app/last_folders.h"
#include "app/local_names.h"
#include "app/report_people.h"
#include "assessment/reference_levels.h"
#include "history/activity_log.h"
#include "history/history_hours.h"
#include "records/date_time.h"
#include "views/date_time_text.h"
#include "views/gui/chart_time.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/measurement_report.h"
#include "views/gui/test_report.h"
#include "views/interval_table.h"
#include "views/model_channels.h"

namespace {

// Far enough out to take in every sample a run can have.
constexpr kestrum::DateTime kEarliest = -1e9;
constexpr kestrum::DateTime kLatest = 1e9;

const char kChooseText[] = "Select runs in the table, or a range of dates and \"Show range\".";

// A run's own figures over the whole of it, judged against the levels:
// its row shows them whether or not the run counts in summaries.
kestrum::RunSummary SummaryOfRun(const kestrum::LoadedRun& loaded, double calibrationFactor,
                                 const std::vector<double>& levels) {
  kestrum::RunHours hours = kestrum::RunHoursOf(loaded);
  hours.excluded = hours.conflict = hours.clockUnset = false;
  kestrum::AssessmentRequest request;
  request.levels = levels;
  return kestrum::SummariseCounted(kestrum::CountHours({hours}, kEarliest, kLatest),
                                   calibrationFactor, request);
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setContentsMargins(6, 0, 2, 0);
  return label;
}

}  // namespace

HistoryWindow::HistoryWindow(const HistoryWindowServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
  setObjectName("HistoryWindow");
  setWindowTitle(QStringLiteral("History"));
  follow_ = new QTimer(this);
  follow_->setInterval(kFollowMilliseconds);
  connect(follow_, &QTimer::timeout, this, &HistoryWindow::Follow);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(BuildTopRow());
  NoticeLabel = new QLabel(this);
  NoticeLabel->setObjectName("HistoryNotice");
  NoticeLabel->setWordWrap(true);
  // Paths, sites and SQLite's words are shown as they are, never as markup.
  NoticeLabel->setTextFormat(Qt::PlainText);
  NoticeLabel->setStyleSheet(QStringLiteral("color: #803000"));
  NoticeLabel->hide();
  layout->addWidget(NoticeLabel);

  RunTable = new HistoryRunTable(this);
  connect(RunTable, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::ShowTableSelection);
  connect(RunTable, &HistoryRunTable::siteEdited, this, &HistoryWindow::SiteEdited);
  connect(RunTable, &HistoryRunTable::noteEdited, this, &HistoryWindow::NoteEdited);
  connect(RunTable, &HistoryRunTable::excludedToggled, this, &HistoryWindow::ExcludedToggled);
  connect(RunTable, &HistoryRunTable::redateAsked, this, &HistoryWindow::RedateRow);

  Chart = new kestrum::KestrumChart(this);
  Chart->setObjectName("HistoryChart");
  // Over months of hourly bars the means must stay in sight: drawn above
  // the bars, and a little bolder.
  Chart->addLayer(QStringLiteral("means"), Chart->layer(QStringLiteral("main")),
                  QCustomPlot::limAbove);
  Chart->MeanLine().Graph()->setLayer(QStringLiteral("means"));
  Chart->MeanErrorBars().setLayer(QStringLiteral("means"));
  QPen meanPen = Chart->MeanLine().Graph()->pen();
  meanPen.setWidth(2);
  Chart->MeanLine().Graph()->setPen(meanPen);
  connect(Chart, &kestrum::KestrumChart::zoomed, this, &HistoryWindow::ZoomChanged);
  connect(Chart, &kestrum::KestrumChart::undoZoomed, this, &HistoryWindow::ZoomChanged);
  connect(Chart, &kestrum::KestrumChart::doubleClicked, Chart,
          &kestrum::KestrumChart::StartTitleEdit);
  connect(Chart, &kestrum::KestrumChart::clicked, Chart, &kestrum::KestrumChart::FinishTitleEdit);
  Placeholder = new QLabel(QString::fromUtf8(kChooseText), this);
  Placeholder->setAlignment(Qt::AlignCenter);
  Placeholder->setWordWrap(true);
  chartStack_ = new QStackedWidget(this);
  chartStack_->addWidget(Placeholder);
  chartStack_->addWidget(Chart);

  SummaryText = new QTextBrowser(this);
  SummaryText->setObjectName("HistorySummary");
  SummaryText->setMinimumWidth(250);
  QFont small = SummaryText->font();
  small.setPixelSize(11);
  SummaryText->setFont(small);

  Chooser = new AssessmentChooser(services_.profiles, this);
  connect(Chooser, &AssessmentChooser::changed, this, &HistoryWindow::RefreshSummary);
  auto* summarySide = new QWidget(this);
  auto* summaryLayout = new QVBoxLayout(summarySide);
  summaryLayout->setContentsMargins(0, 0, 0, 0);
  summaryLayout->addWidget(Chooser);
  summaryLayout->addWidget(SummaryText, 1);

  auto* chartAndSummary = new QSplitter(Qt::Horizontal, this);
  chartAndSummary->addWidget(chartStack_);
  chartAndSummary->addWidget(summarySide);
  chartAndSummary->setStretchFactor(0, 1);
  chartAndSummary->setSizes({900, 300});

  auto* lower = new QWidget(this);
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addWidget(BuildViewRow());
  lowerLayout->addWidget(chartAndSummary, 1);

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(RunTable);
  split->addWidget(lower);
  split->setStretchFactor(1, 1);
  split->setSizes({220, 540});
  layout->addWidget(split, 1);

  resize(1200, 780);
  ClearSelection(QString::fromUtf8(kChooseText));
}

QWidget* HistoryWindow::BuildTopRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Caption(QStringLiteral("Instrument"), row));
  InstrumentPicker = new QComboBox(row);
  InstrumentPicker->setObjectName("HistoryInstrument");
  InstrumentPicker->setMinimumWidth(180);
  connect(InstrumentPicker, QOverload<int>::of(&QComboBox::activated), this,
          [this](int index) { LoadInstrument(InstrumentNameAt(index)); });
  layout->addWidget(InstrumentPicker);
  InstrumentButton = new QPushButton(QStringLiteral("Instrument\u2026"), row);
  InstrumentButton->setObjectName("HistoryInstrumentRegister");
  connect(InstrumentButton, &QPushButton::clicked, this, &HistoryWindow::EditInstrument);
  layout->addWidget(InstrumentButton);
  layout->addSpacing(16);
  layout->addWidget(Caption(QStringLiteral("From"), row));
  FromDate = new QDateEdit(row);
  FromDate->setObjectName("HistoryFrom");
  layout->addWidget(FromDate);
  layout->addWidget(Caption(QStringLiteral("To"), row));
  ToDate = new QDateEdit(row);
  ToDate->setObjectName("HistoryTo");
  layout->addWidget(ToDate);
  for (QDateEdit* edit : {FromDate, ToDate}) {
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  }
  ShowRangeButton = new QPushButton(QStringLiteral("Show range"), row);
  ShowRangeButton->setObjectName("HistoryShowRange");
  connect(ShowRangeButton, &QPushButton::clicked, this, &HistoryWindow::ShowRangeClicked);
  layout->addWidget(ShowRangeButton);
  layout->addStretch(1);
  ReportButton = new QPushButton(QStringLiteral("Report\u2026"), row);
  ReportButton->setObjectName("HistoryReport");
  connect(ReportButton, &QPushButton::clicked, this, &HistoryWindow::Report);
  layout->addWidget(ReportButton);
  CsvButton = new QPushButton(QStringLiteral("Test as CSV\u2026"), row);
  CsvButton->setObjectName("HistoryTestCsv");
  connect(CsvButton, &QPushButton::clicked, this, &HistoryWindow::SaveTestCsv);
  layout->addWidget(CsvButton);
  return row;
}

QWidget* HistoryWindow::BuildViewRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  HourlyValues = new QCheckBox(QStringLiteral("Hourly values"), row);
  HourlyValues->setChecked(true);
  layout->addWidget(HourlyValues);
  layout->addSpacing(12);
  layout->addWidget(Caption(QStringLiteral("Mean"), row));
  MeanPicker = new QComboBox(row);
  MeanPicker->setObjectName("HistoryMean");
  MeanPicker->addItem(QStringLiteral("no mean"), -1);
  for (int item = 0; item < kestrum::kIntervalItemCount; ++item) {
    MeanPicker->addItem(QString::fromUtf8(kestrum::IntervalItemText(item).data()), item);
  }
  layout->addWidget(MeanPicker);
  MeanErrorBox = new QCheckBox(QStringLiteral("Mean error"), row);
  MeanErrorBox->setEnabled(false);
  layout->addWidget(MeanErrorBox);
  layout->addSpacing(12);
  TemperatureBox = new QCheckBox(QStringLiteral("Temperature"), row);
  HumidityBox = new QCheckBox(QStringLiteral("Humidity"), row);
  PressureBox = new QCheckBox(QStringLiteral("Pressure"), row);
  for (QCheckBox* box : {TemperatureBox, HumidityBox, PressureBox}) layout->addWidget(box);
  for (QCheckBox* box : {HourlyValues, MeanErrorBox, TemperatureBox, HumidityBox, PressureBox}) {
    connect(box, &QCheckBox::toggled, this, &HistoryWindow::Redraw);
  }
  connect(MeanPicker, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
    MeanErrorBox->setEnabled(MeanPicker->currentData().toInt() >= 0);
    Redraw();
  });
  layout->addSpacing(12);
  SelectionLabel = new QLabel(row);
  SelectionLabel->setObjectName("HistorySelectionLabel");
  layout->addWidget(SelectionLabel, 1);
  return row;
}

std::string HistoryWindow::InstrumentNameAt(int index) const {
  if (index < 0 || index >= static_cast<int>(instrumentNames_.size())) return {};
  return instrumentNames_[static_cast<std::size_t>(index)];
}

void HistoryWindow::Reload() {
  const std::string shown = InstrumentNameAt(InstrumentPicker->currentIndex());
  InstrumentPicker->clear();
  instrumentNames_.clear();
  readProblem_.reset();
  if (!services_.store) return;
  const kestrum::Result<std::int64_t> version = services_.store->DataVersion();
  dataVersion_ = version ? version.value() : -1;
  const kestrum::Result<std::vector<kestrum::HistoryInstrument>> instruments =
      services_.store->Instruments();
  if (!instruments) readProblem_ = instruments.error();
  // The names as the store holds them: one that is not UTF-8 still finds its runs.
  for (const kestrum::HistoryInstrument& instrument :
       instruments ? instruments.value() : std::vector<kestrum::HistoryInstrument>{}) {
    const QString name = QString::fromStdString(instrument.name);
    InstrumentPicker->addItem(QStringLiteral("%1  (%2 runs)").arg(name).arg(instrument.runs));
    instrumentNames_.push_back(instrument.name);
  }
  ShowNotice();
  InstrumentButton->setEnabled(!services_.store->ReadOnly());
  if (InstrumentPicker->count() == 0) {
    loaded_.clear();
    RunTable->ShowRuns({}, false);
    ClearSelection(QStringLiteral(
        "The history holds no measurements yet: they come with every download, and with "
        "Main > Add this file to the history."));
    return;
  }
  const auto kept = std::find(instrumentNames_.begin(), instrumentNames_.end(), shown);
  const int again =
      kept == instrumentNames_.end() ? 0 : static_cast<int>(kept - instrumentNames_.begin());
  InstrumentPicker->setCurrentIndex(again);
  LoadInstrument(InstrumentNameAt(again));
}

void HistoryWindow::ShowNotice() {
  QStringList parts;
  if (services_.store && services_.store->ReadOnly()) {
    parts << QStringLiteral(
        "The history is open for reading only: sites, notes and exclusions cannot be changed.");
    if (const std::optional<std::string>& notice = services_.store->Notice())
      parts << QString::fromStdString(*notice);
  }
  // Shown rather than boxed: the window reads again every few seconds.
  if (readProblem_) {
    parts << QStringLiteral("What could not be read is not shown: ") +
                 QString::fromStdString(*readProblem_);
  }
  NoticeLabel->setText(parts.join(QLatin1Char(' ')));
  NoticeLabel->setVisible(!parts.isEmpty());
}

void HistoryWindow::Follow() {
  if (!services_.store) return;
  const kestrum::Result<std::int64_t> version = services_.store->DataVersion();
  if (version && version.value() == dataVersion_) return;
  // What another program changed: the same runs stay shown where they still are.
  std::vector<std::int64_t> shownIds;
  for (int row : shownRuns_) shownIds.push_back(loaded_[static_cast<std::size_t>(row)].run.id);
  Reload();
  std::vector<int> rows;
  for (std::size_t i = 0; i < loaded_.size(); ++i) {
    if (std::count(shownIds.begin(), shownIds.end(), loaded_[i].run.id) > 0) {
      rows.push_back(static_cast<int>(i));
    }
  }
  if (!rows.empty()) RunTable->SelectRows(rows);
}

void HistoryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  follow_->start();
}

void HistoryWindow::hideEvent(QHideEvent* event) {
  follow_->stop();
  QWidget::hideEvent(event);
}

bool HistoryWindow::PickInstrument(const QString& name) {
  for (std::size_t i = 0; i < instrumentNames_.size(); ++i) {
    if (QString::fromStdString(instrumentNames_[i]) != name) continue;
    InstrumentPicker->setCurrentIndex(static_cast<int>(i));
    LoadInstrument(instrumentNames_[i]);
    return true;
  }
  return false;
}

void HistoryWindow::LoadInstrument(const std::string& name) {
  kestrum::HistoryStore& store = *services_.store;
  collocated_.reset();  // the other instruments may have changed too
  const auto found = store.FindInstrument(name);
  loaded_.clear();
  instrument_ = found && *found ? **found : kestrum::HistoryInstrument{};
  std::vector<HistoryRunRow> rows;
  kestrum::Result<> read = found ? kestrum::Result<>{} : found.failure();
  if (read && *found) {
    kestrum::Result<std::vector<kestrum::LoadedRun>> runs =
        kestrum::LoadInstrumentRuns(store, name);
    if (runs) loaded_ = std::move(runs).value();
    if (!runs) read = runs.failure();
    const std::vector<double> levels = VerdictLevels();
    for (const kestrum::LoadedRun& loaded : loaded_) {
      kestrum::Result<std::vector<std::string>> downloads = store.DownloadsOf(loaded.run.id);
      if (!downloads) {
        read = downloads.failure();
        break;
      }
      rows.push_back({loaded.run, SummaryOfRun(loaded, instrument_.calibrationFactor, levels),
                      std::move(downloads).value()});
    }
  }
  if (!read) {
    // A part shown as if it were all would be read as all there is.
    readProblem_ = read.error();
    loaded_.clear();
    rows.clear();
  }
  ShowNotice();
  {
    const QSignalBlocker quiet(RunTable);
    RunTable->ShowRuns(rows, !store.ReadOnly());
  }

  const kestrum::ModelChannels channels = kestrum::ChannelsOf(instrument_.model);
  TemperatureBox->setVisible(channels.temperature);
  HumidityBox->setVisible(channels.humidity);
  PressureBox->setVisible(channels.pressure);

  kestrum::DateTime first = 0;
  kestrum::DateTime last = 0;
  for (const kestrum::LoadedRun& loaded : loaded_) {
    if (loaded.run.samples == 0) continue;
    first = first == 0 ? loaded.run.first : std::min(first, loaded.run.first);
    last = std::max(last, loaded.run.last);
  }
  if (first != 0) {
    FromDate->setDate(kestrum::DateOf(first));
    ToDate->setDate(kestrum::DateOf(last));
  }
  ClearSelection(QString::fromUtf8(kChooseText));
  store.ReleaseMemory();
  ReturnFreedMemory();
}

void HistoryWindow::ShowTableSelection() {
  ShowRows(RunTable->SelectedRows());
}

void HistoryWindow::ShowRows(const std::vector<int>& rows) {
  std::vector<const kestrum::LoadedRun*> runs;
  std::vector<int> indices;
  kestrum::DateTime from = kLatest;
  kestrum::DateTime to = kEarliest;
  for (int row : rows) {
    if (row < 0 || row >= static_cast<int>(loaded_.size())) continue;
    const kestrum::LoadedRun& loaded = loaded_[static_cast<std::size_t>(row)];
    if (loaded.samples.empty()) continue;
    runs.push_back(&loaded);
    indices.push_back(row);
    from = std::min(from, loaded.run.first);
    to = std::max(to, loaded.run.last);
  }
  if (runs.empty()) {
    ClearSelection(QString::fromUtf8(kChooseText));
    return;
  }
  shownRuns_ = indices;
  Draw(runs, from, to);
}

void HistoryWindow::ShowRangeClicked() {
  ShowRange(FromDate->date(), ToDate->date());
}

void HistoryWindow::ShowRange(const QDate& fromDay, const QDate& toDay) {
  const kestrum::DateTime from =
      kestrum::EncodeDate(fromDay.year(), fromDay.month(), fromDay.day());
  // The sample stamped midnight after the last day closes that day.
  const kestrum::DateTime to = kestrum::EncodeDate(toDay.year(), toDay.month(), toDay.day()) + 1;
  {
    // The table's selection no longer says what is shown.
    const QSignalBlocker quiet(RunTable);
    RunTable->clearSelection();
  }
  std::vector<const kestrum::LoadedRun*> runs;
  shownRuns_.clear();
  for (std::size_t i = 0; i < loaded_.size(); ++i) {
    const kestrum::HistoryRun& run = loaded_[i].run;
    if (run.samples == 0 || run.first > to || run.last < from) continue;
    runs.push_back(&loaded_[i]);
    shownRuns_.push_back(static_cast<int>(i));
  }
  if (runs.empty()) {
    ClearSelection(QStringLiteral("No run of %1 has samples from %2 to %3.")
                       .arg(QString::fromStdString(instrument_.name), fromDay.toString(Qt::ISODate),
                            toDay.toString(Qt::ISODate)));
    return;
  }
  Draw(runs, from, to);
}

void HistoryWindow::Draw(const std::vector<const kestrum::LoadedRun*>& runs, kestrum::DateTime from,
                         kestrum::DateTime to) {
  shownFrom_ = from;
  shownTo_ = to;
  selection_ = kestrum::PackSamples(runs, from, to, instrument_.calibrationFactor);
  if (selection_.samples() == 0) {
    ClearSelection(QStringLiteral("No sample lies in the chosen runs and dates."));
    return;
  }
  chartStack_->setCurrentWidget(Chart);
  ReportButton->setEnabled(true);
  Redraw();
  ReturnFreedMemory();
}

void HistoryWindow::Redraw() {
  if (selection_.samples() == 0) return;
  const kestrum::ChartAdditions additions =
      services_.additions ? services_.additions() : kestrum::ChartAdditions{};
  Chart->SetAdditions(additions);
  // A year reads better by its dates than by its hours.
  if (auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(Chart->xAxis->ticker())) {
    ticker->setDateTimeFormat(shownTo_ - shownFrom_ > 60 ? QStringLiteral("dd/MM/yy")
                                                         : QStringLiteral("dd/MM hh"));
  }
  const HistoryViewChoices choices = ViewChoices();
  QStringList title{Source().origin};
  if (choices.meanItem >= 0)
    title << QString::fromUtf8(kestrum::IntervalTitleLine(choices.meanItem).data());
  Chart->SetTitleLines(title);
  drawing_ = true;
  const int tooShort = DrawHistorySelection(*Chart, selection_, choices);
  drawing_ = false;

  QString said = QStringLiteral("%1 runs, %2 samples")
                     .arg(selection_.segments.size())
                     .arg(selection_.samples());
  if (selection_.truncated) said += QStringLiteral("; only the latest fit the chart");
  if (tooShort > 0) said += QStringLiteral("; %1 too short for the mean").arg(tooShort);
  SelectionLabel->setText(said);
  RefreshSummary();
}

void HistoryWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void HistoryWindow::AdditionsChanged() {
  Redraw();
}

void HistoryWindow::ZoomChanged() {
  if (drawing_ || selection_.samples() == 0) return;
  kestrum::WriteFooterLine(*Chart, selection_.All(), selection_.calibrationFactor,
                           kestrum::SystemDateTimeFormats());
  RefreshSummary();
}

kestrum::HistoryTest HistoryWindow::CurrentTest() const {
  kestrum::HistoryTest test;
  test.from = shownFrom_;
  test.to = shownTo_;
  if (Chart->IsZoomed()) {
    const kestrum::TimeRange visible = Chart->BottomAxisRange();
    test.from = std::max(test.from, visible.min);
    test.to = std::min(test.to, visible.max);
  }
  for (int i : shownRuns_)
    test.hours.push_back(kestrum::RunHoursOf(loaded_[static_cast<std::size_t>(i)]));
  test.request = Chooser->Request();
  test.request.levels = VerdictLevels();
  kestrum::TakeCalibration(test.request, instrument_.calibrationUncertainty);
  // Only what the model measures can mark an hour.
  const kestrum::ModelChannels channels = kestrum::ChannelsOf(instrument_.model);
  test.thresholds = kestrum::MeasuredOnly(
      services_.thresholds ? services_.thresholds() : kestrum::ConditionThresholds{},
      channels.temperature, channels.humidity, channels.pressure);
  test.csvChannels = kestrum::CsvChannelsOf(instrument_.model);
  return test;
}

void HistoryWindow::RefreshSummary() {
  if (selection_.samples() == 0) return;
  const kestrum::HistoryTest test = CurrentTest();
  HistorySummaryInput input;
  input.hours = test.hours;
  input.from = test.from;
  input.to = test.to;
  input.request = test.request;
  input.thresholds = test.thresholds;
  input.calibrationFactor = instrument_.calibrationFactor;
  input.unit = services_.additions ? services_.additions().unit : kestrum::RadonUnit::BqPerM3;
  input.source = Source();
  input.missing = Chooser->Missing();
  input.calibration = instrument_.entry;
  input.collocated = [this, &test](const kestrum::SiteHours& site) {
    return Collocated(site, test.from, test.to);
  };
  HistorySummaryView view = ComposeHistorySummary(input);
  Chart->SetShadedSpans(std::move(view.shadedSpans));
  Chart->SetConditionMarks(std::move(view.markedKeys));
  sites_ = std::move(view.sites);
  summary_ = sites_.empty() ? kestrum::RunSummary{} : sites_.front().summary;
  summaryPlain_ = view.page.plain;
  SummaryText->setHtml(view.page.html);
}

const std::vector<kestrum::CollocatedInstrument>& HistoryWindow::Collocated(
    const kestrum::SiteHours& shown, kestrum::DateTime from, kestrum::DateTime to) {
  // Read again only when the test changes, not at every repaint.
  const auto key = std::make_tuple(instrument_.name, shown.site, from, to);
  if (!collocated_ || collocated_->first != key) {
    kestrum::Result<std::vector<kestrum::CollocatedInstrument>> others = kestrum::CollocatedAt(
        *services_.store, instrument_.name, shown.site, from, to, shown.hours.samples);
    if (!others) {
      readProblem_ = others.error();
      ShowNotice();
    }
    collocated_.emplace(
        key, others ? std::move(others).value() : std::vector<kestrum::CollocatedInstrument>{});
  }
  return collocated_->second;
}

void HistoryWindow::ClearSelection(const QString& why) {
  selection_ = kestrum::HistorySelection{};
  shownRuns_.clear();
  summary_ = {};
  ClearHistoryChart(*Chart);
  Chart->SetShadedSpans({});
  Chart->SetConditionMarks({});
  Chart->ClearTitle();
  chartStack_->setCurrentWidget(Placeholder);
  Placeholder->setText(why);
  SelectionLabel->clear();
  summaryPlain_ = why;
  SummaryText->setHtml(QStringLiteral("<p>%1</p>").arg(why.toHtmlEscaped()));
  ReportButton->setEnabled(false);
}

HistoryViewChoices HistoryWindow::ViewChoices() const {
  HistoryViewChoices choices;
  choices.pulseBars = HourlyValues->isChecked();
  choices.meanItem = MeanPicker->currentData().toInt();
  choices.meanError = choices.meanItem >= 0 && MeanErrorBox->isChecked();
  // isVisibleTo: the boxes of channels the model lacks are hidden, and the
  // window itself may not be shown yet.
  choices.lines.temperature = TemperatureBox->isVisibleTo(this) && TemperatureBox->isChecked();
  choices.lines.humidity = HumidityBox->isVisibleTo(this) && HumidityBox->isChecked();
  choices.lines.pressure = PressureBox->isVisibleTo(this) && PressureBox->isChecked();
  return choices;
}

kestrum::MeasurementSource HistoryWindow::Source() const {
  kestrum::MeasurementSource source;
  source.model = QString::fromLatin1(kestrum::ModelName(instrument_.model));
  source.calibrationFactor = instrument_.calibrationFactor;
  QStringList sites;
  for (int i : shownRuns_) {
    const QString site =
        ShownText(loaded_[static_cast<std::size_t>(i)].run.site, kestrum::kSiteCharacterLimit);
    if (!site.isEmpty() && !sites.contains(site)) sites << site;
  }
  source.site = sites.join(QStringLiteral(", "));
  // The operator is whoever wrote the main window's last report.
  source.operatorName = kestrum::LoadReportDetails().operatorName;
  sites << QString::fromStdString(instrument_.name) + QStringLiteral(" history");
  source.origin = sites.join(QStringLiteral(", "));
  return source;
}

std::vector<double> HistoryWindow::VerdictLevels() const {
  std::vector<double> levels;
  if (services_.additions) levels = services_.additions().referenceLevels;
  if (levels.empty())
    levels.assign(kestrum::kStandardReferenceLevels.begin(),
                  kestrum::kStandardReferenceLevels.end());
  return levels;
}

void HistoryWindow::SiteEdited(int row, const QString& site) {
  RunTextEdited(row, HistoryRunTable::kSite, site);
}

void HistoryWindow::NoteEdited(int row, const QString& note) {
  RunTextEdited(row, HistoryRunTable::kNote, note);
}

void HistoryWindow::RunTextEdited(int row, int column, const QString& text) {
  if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
  kestrum::HistoryRun& run = loaded_[static_cast<std::size_t>(row)].run;
  const bool site = column == HistoryRunTable::kSite;
  std::string& held = site ? run.site : run.note;
  const kestrum::Result<> saved = site ? services_.store->SetSite(run.id, text.toStdString())
                                       : services_.store->SetNote(run.id, text.toStdString());
  if (!saved) {
    RunTable->RestoreText(row, column, QString::fromStdString(held));
    services_.prompts->ShowError((site ? QStringLiteral("The site was not saved: ")
                                       : QStringLiteral("The note was not saved: ")) +
                                 QString::fromStdString(saved.error()));
    return;
  }
  held = text.toStdString();
  RunTable->RestoreText(row, column, text);
  // The site is in the chart's title and the report.
  if (site && std::count(shownRuns_.begin(), shownRuns_.end(), row) > 0) Redraw();
}

void HistoryWindow::ExcludedToggled(int row, bool excluded) {
  if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
  kestrum::HistoryRun& run = loaded_[static_cast<std::size_t>(row)].run;
  const kestrum::Result<> saved = services_.store->SetExcluded(run.id, excluded);
  if (!saved) {
    RunTable->ShowExcluded(row, run.excluded, true);
    services_.prompts->ShowError(QStringLiteral("The run was not changed: ") +
                                 QString::fromStdString(saved.error()));
    return;
  }
  run.excluded = excluded;
  RunTable->ShowExcluded(row, excluded);
  if (std::count(shownRuns_.begin(), shownRuns_.end(), row) > 0) RefreshSummary();
}

void HistoryWindow::RedateRow(int row) {
  if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
  const kestrum::HistoryRun run = loaded_[static_cast<std::size_t>(row)].run;
  // Offered to the minute, as the answer is taken.
  const kestrum::DateTime shown = std::round(run.first * 1440.0) / 1440.0;
  const QDateTime offered(kestrum::DateOf(shown), kestrum::TimeOf(shown), Qt::UTC);
  const std::optional<QDateTime> told = services_.prompts->AskDateTime(
      QStringLiteral("The instrument's clock was not set during this run. Date and time of its "
                     "first sample (the end of its first hour):"),
      offered);
  if (!told || !told->isValid()) return;
  const QDate day = told->date();
  const QTime time = told->time();
  const std::optional<kestrum::DateTime> date =
      kestrum::TryEncodeDate(day.year(), day.month(), day.day());
  const std::optional<kestrum::DateTime> clock =
      kestrum::TryEncodeTime(time.hour(), time.minute(), 0, 0);
  if (!date || !clock) return;
  const kestrum::DateTime first = *date + *clock;
  const kestrum::Result<> saved = services_.store->Redate(run.id, first);
  if (!saved) {
    services_.prompts->ShowError(QStringLiteral("The run was not re-dated: ") +
                                 QString::fromStdString(saved.error()));
    return;
  }
  if (services_.noteChange) {
    services_.noteChange(run.instrument, kestrum::RedateActivityText(run.id, first));
  }
  LoadInstrument(instrument_.name);
}

bool HistoryWindow::OneSiteShown(const QString& what) {
  if (selection_.samples() == 0) {
    services_.prompts->ShowError(QString::fromUtf8(kChooseText));
    return false;
  }
  if (sites_.size() == 1) return true;
  services_.prompts->ShowError(
      sites_.empty() ? QStringLiteral("No counted hour lies in the shown range.")
                     : QStringLiteral("The shown runs are of %1 sites; %2 is of one: select the "
                                      "runs of one site.")
                           .arg(sites_.size())
                           .arg(what));
  return false;
}

std::optional<HistoryWindow::SaveTarget> HistoryWindow::AskSaveTarget(
    const FileDialogSetup& setup) {
  const auto choice = services_.dialogs->AskSave(
      setup, kestrum::InitialDialogPath(kestrum::DialogFolder::kReport, QString(), setup.fileName));
  if (!choice) return std::nullopt;
  const kestrum::Result<std::string> localName = kestrum::LocalNameOf(choice->path);
  if (!localName) {
    services_.prompts->ShowError(QString::fromStdString(localName.error()));
    return std::nullopt;
  }
  kestrum::RememberFolderOf(kestrum::DialogFolder::kReport, choice->path);
  return SaveTarget{choice->path, localName.value()};
}

void HistoryWindow::SaveTestCsv() {
  if (!OneSiteShown(QStringLiteral("a test"))) return;
  const auto target = AskSaveTarget({{"CSV (*.csv)"}, "*.csv", "test"});
  if (!target) return;
  // Counted again for the file: the summary keeps no copy of ten years of hours.
  const kestrum::HistoryTest test = CurrentTest();
  const std::string table = kestrum::HistoryTestCsv(test, test.Sites().front());
  const kestrum::Result<> saved = kestrum::WriteFileReplacing(target->localName, table);
  if (!saved) {
    services_.prompts->ShowError(target->shown + ":\n" + QString::fromStdString(saved.error()));
  }
}

void HistoryWindow::Report() {
  if (!OneSiteShown(QStringLiteral("a report"))) return;
  const auto target = AskSaveTarget({{"Pdf Document (*.pdf)"}, "*.pdf", "report"});
  if (!target) return;
  const kestrum::HistoryTest test = CurrentTest();
  const std::vector<kestrum::SiteHours> sites = test.Sites();
  const std::string& site = sites.front().site;
  kestrum::HistoryStore* store = services_.store;
  kestrum::ReportDetails offered = kestrum::LoadReportDetails();
  offered.site = QString::fromStdString(site);
  offered.siteFixed = true;
  offered.onePageOffered = test.request.protocol == kestrum::Protocol::kPeriod;
  if (const kestrum::Result<> read = kestrum::OfferSiteClient(*store, offered); !read) {
    readProblem_ = "the client of " + site + ": " + read.error();
    ShowNotice();
  }
  const std::optional<kestrum::ReportDetails> details =
      services_.askReportDetails ? services_.askReportDetails(offered) : offered;
  if (!details) return;
  const kestrum::RadonUnit unit =
      services_.additions ? services_.additions().unit : kestrum::RadonUnit::BqPerM3;
  kestrum::Result<> saved;
  // The one page is only the period's.
  if (details->onePage && offered.onePageOffered) {
    kestrum::ReportContent content;
    content.summary = summary_;
    content.source = Source();
    content.source.operatorName = details->operatorName;
    content.assessedSite = sites_.front().site;
    content.unit = unit;
    saved = kestrum::SaveMeasurementReport(*Chart, content, target->localName);
  } else {
    const kestrum::CountedHours& counted = sites.front().hours;
    const kestrum::Assessment assessment = kestrum::Assess(counted, test.request);
    kestrum::TestReportInput input =
        kestrum::HistoryTestReport(test, sites.front(), assessment, instrument_, *details, unit);
    if (!site.empty()) {
      const kestrum::Result<std::vector<kestrum::CollocatedInstrument>> others =
          kestrum::CollocatedAt(*store, instrument_.name, site, test.from, test.to,
                                counted.samples);
      if (!others) saved = others.failure();
      for (const kestrum::CollocatedInstrument& other :
           others ? others.value() : std::vector<kestrum::CollocatedInstrument>{}) {
        input.collocated.push_back({QString::fromStdString(other.name), other.figures});
      }
    }
    // A report without the instruments beside it would hide what they say.
    if (saved) {
      saved =
          kestrum::SaveTestReport(kestrum::ComposeTestReport(input), kestrum::TestChartOf(input),
                                  details->paper, target->localName);
    }
    // The client goes with the site, for the next report of it.
    if (saved) saved = kestrum::KeepSiteClient(*store, offered, *details);
  }
  if (!saved) {
    services_.prompts->ShowError(target->shown + ":\n" + QString::fromStdString(saved.error()));
  }
}

void HistoryWindow::EditInstrument() {
  kestrum::HistoryStore* store = services_.store;
  if (!store || instrument_.name.empty() || store->ReadOnly()) return;
  const std::string name = instrument_.name;
  const kestrum::Result<std::vector<kestrum::FactorChange>> changes = store->FactorChanges(name);
  if (!changes) {
    services_.prompts->ShowError(QString::fromStdString(changes.error()));
    return;
  }
  const kestrum::DateTime today = services_.now ? services_.now() : kestrum::DateTime{0};
  std::optional<RegisterEdit> edit;
  if (services_.editRegister) {
    edit = services_.editRegister(this, instrument_, changes.value());
  } else {
    InstrumentRegisterDialog dialog(instrument_, changes.value(), today, this);
    if (dialog.exec() == QDialog::Accepted) edit = dialog.Edit();
  }
  if (!edit) return;
  kestrum::Result<> saved = store->SetCalibrationUncertainty(name, edit->calibrationUncertainty);
  if (saved) saved = store->SetRegister(name, edit->entry, today);
  if (!saved) {
    services_.prompts->ShowError(QStringLiteral("The register was not saved: ") +
                                 QString::fromStdString(saved.error()));
    return;
  }
  if (services_.noteChange) {
    services_.noteChange(name,
                         "Register of " + name + " changed: calibrated " +
                             (edit->entry.calibratedOn ? kestrum::DayText(*edit->entry.calibratedOn)
                                                       : std::string("not entered")) +
                             ", holds " + std::to_string(edit->entry.intervalMonths) + " months");
  }
  const auto found = store->FindInstrument(name);
  if (found && *found) instrument_ = **found;
  if (!found) {
    readProblem_ = found.error();
    ShowNotice();
  }
  RefreshSummary();
}
