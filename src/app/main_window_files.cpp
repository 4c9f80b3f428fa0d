// Opening and saving data files, exporting the chart and the samples, and
// the window state every decode leaves behind.
#include <QFileInfo>

#include "app/last_folders.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/save_filters.h"
#include "records/data_file.h"
#include "records/date_time.h"
#include "records/model_facts.h"
#include "records/open_data_file.h"
#include "records/text_export.h"

kestrum::DecodeContext TForm1::DecodeContextNow() const {
  kestrum::DecodeContext context;
  context.now = Now();
  context.outputDirectory = kestrum::CurrentFolder();
  context.separators = kestrum::SystemDateTimeSeparators();
  return context;
}

void TForm1::ShowDecodeResult(const kestrum::DecodeResult& result) {
  // The chart showed the measurements this decode replaced.
  ClearChart();
  const bool environment = kestrum::HasTemperatureAndHumidity(result.model);
  if (!environment) {
    Temperature->setEnabled(false);
    Humidity->setEnabled(false);
  }
  View1->setEnabled(false);
  ComboBox3->clear();
  ComboBox3->setPlaceholderText(kestrum::kSelectMeasurementText);
  ComboBox3->setCurrentIndex(-1);

  if (!result.dateTimeError.empty())
    Prompts().ShowError(QString::fromStdString(result.dateTimeError));
  if (!result.foundRuns) {
    Prompts().ShowError(kestrum::kNoMeasurementsMessage);
  } else {
    for (const std::string& text : result.itemTexts)
      ComboBox3->addItem(QString::fromStdString(text));
    ComboBox3->addItem(kestrum::kAllMeasurementsText);
    SetRunToolTips();
    ComboBox3->setCurrentIndex(-1);
    ComboBox3->setEnabled(true);
    ComboBox2->setEnabled(false);
    for (QAction* entry : {PulseDistributionandMean1, PulseDistributionMeanandmeanError1,
                           MeanandmeanError1, Mean1}) {
      entry->setChecked(false);
    }
    PulseDistribution1->setChecked(true);
    PulseDistError_CheckBox->setChecked(false);
    PulseDistError_CheckBox->setChecked(true);
    ClearViewSeries();
    Save1->setEnabled(true);
    Save_SB->setEnabled(true);
    Temperature->setEnabled(environment);
    Humidity->setEnabled(environment);
  }
  if (!result.filesWritten) {
    Prompts().ShowError(
        QString::fromStdString(result.failedFile + ": " + result.filesWritten.error()));
  }
}

void TForm1::Open1Click() {
  const ScreenBeforeOpen before = HideForOpen();
  const auto choice = Dialogs().AskOpen(
      OpenDialog1,
      kestrum::InitialDialogPath(kestrum::DialogFolder::kOpen, LastFileName, OpenDialog1.fileName));
  if (!choice) return;
  kestrum::RememberFolderOf(kestrum::DialogFolder::kOpen, choice->path);
  OpenChosenFile(kestrum::LocalNameOf(choice->path), before);
}

void TForm1::OpenDataFileNamed(const QString& path) {
  commands_.Run([&] { OpenChosenFile(kestrum::LocalNameOf(path), HideForOpen()); });
}

void TForm1::OpenLocalDataFile(const std::string& localName) {
  commands_.Run([&] { OpenChosenFile(localName, HideForOpen()); });
}

TForm1::ScreenBeforeOpen TForm1::HideForOpen() {
  const ScreenBeforeOpen before{!Chart1->isHidden(), SpeedButton7->isEnabled(),
                                Temperature->isEnabled(), Humidity->isEnabled()};
  Chart1->hide();
  SpeedButton7->setEnabled(false);
  Temperature->setEnabled(false);
  Humidity->setEnabled(false);
  return before;
}

void TForm1::OpenChosenFile(const kestrum::Result<std::string>& localName,
                            const ScreenBeforeOpen& before) {
  if (localName) {
    LastFileName = kestrum::ShownName(localName.value());
    lastFilePath_ = localName.value();
  }
  const kestrum::Result<kestrum::OpenedFile> opened =
      localName ? kestrum::OpenDataFile(localName.value(), Store(), DecodeContextNow())
                : kestrum::Result<kestrum::OpenedFile>(localName.failure());
  if (!opened) {
    // A damaged file changes nothing: the measurements on screen stay valid.
    Chart1->setVisible(before.chartShown);
    SpeedButton7->setEnabled(before.downloadEnabled);
    Temperature->setEnabled(before.temperatureEnabled);
    Humidity->setEnabled(before.humidityEnabled);
    Prompts().ShowError(QString::fromStdString(opened.error()));
    return;
  }
  setWindowTitle(QFileInfo(LastFileName).fileName());
  MeasurementOrigin = QFileInfo(LastFileName).fileName();
  kestrum::AddRecentFile(localName.value());
  RebuildRecentMenu();
  if (kestrum::HasTemperatureAndHumidity(opened->model)) {
    Temperature->setEnabled(true);
    Humidity->setEnabled(true);
  }
  ShowDecodeResult(opened->decode);
  AddToHistory1->setEnabled(true);
  // Taken, but not silently.
  if (!opened->note.empty()) {
    StatusBar1->SetText(1, QFile::decodeName(QByteArray::fromStdString(opened->note)));
  }
}

void TForm1::Save1Click() {
  const auto choice = Dialogs().AskSave(
      SaveDialog1,
      kestrum::InitialDialogPath(kestrum::DialogFolder::kSave, LastFileName, SaveDialog1.fileName));
  if (!choice) return;
  const kestrum::Result<std::string> localName = kestrum::LocalNameOf(choice->path);
  if (!localName) {
    Prompts().ShowError(QString::fromStdString(localName.error()));
    return;
  }

  kestrum::Result<> saved;
  const auto kind = kestrum::SaveKindOf(choice->filterIndex);
  if (kind == kestrum::SaveKind::kDataFile) {
    saved = kestrum::SaveDataFile(localName.value(), Store());
  } else if (kind == kestrum::SaveKind::kText) {
    saved =
        kestrum::SaveTextExport(localName.value(), Store(), kestrum::SystemDateTimeSeparators());
  } else {
    saved = ExportChart(choice->path, choice->filterIndex);
  }
  if (!saved) {
    // The caption and the next dialog keep naming the file that is really there.
    Prompts().ShowError(choice->path + ":\n" + QString::fromStdString(saved.error()));
    return;
  }
  LastFileName = choice->path;
  lastFilePath_ = localName.value();
  setWindowTitle(QFileInfo(choice->path).fileName());
  kestrum::RememberFolderOf(kestrum::DialogFolder::kSave, choice->path);
  if (kind == kestrum::SaveKind::kDataFile) {
    kestrum::AddRecentFile(localName.value());
    RebuildRecentMenu();
  }
}
