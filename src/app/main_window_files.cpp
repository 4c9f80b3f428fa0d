// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving data files, exporting the chart and the samples, and
// the window state every decode leaves behind.
#include <QDir>
#include <QFileInfo>

#include "app/last_folders.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/save_filters.h"
#include "records/csv_export.h"
#include "records/data_file.h"
#include "records/date_time.h"
#include "records/instrument_model.h"
#include "records/model_facts.h"
#include "records/open_data_file.h"
#include "records/text_export.h"

kestrum::DecodeContext TForm1::DecodeContextNow() const {
  kestrum::DecodeContext context;
  context.now = Now();
  context.outputDirectory = kestrum::WorkFolder();
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
  // The button's own state: the command guard greys the toolbar meanwhile.
  const ScreenBeforeOpen before{!Chart1->isHidden(), SpeedButton7->isEnabledTo(ToolBar1),
                                Temperature->isEnabled(), Humidity->isEnabled()};
  Chart1->hide();
  SpeedButton7->setEnabled(false);
  Temperature->setEnabled(false);
  Humidity->setEnabled(false);
  return before;
}

void TForm1::OpenChosenFile(const kestrum::Result<std::string>& localName,
                            const ScreenBeforeOpen& before) {
  const kestrum::Result<kestrum::OpenedFile> opened =
      localName ? kestrum::OpenDataFile(localName.value(), Store(), DecodeContextNow())
                : kestrum::Result<kestrum::OpenedFile>(localName.failure());
  if (!opened) {
    // A damaged file changes nothing: the measurements on screen stay valid.
    Chart1->setVisible(before.chartShown);
    SpeedButton7->setEnabled(before.downloadEnabled);
    Temperature->setEnabled(before.temperatureEnabled);
    Humidity->setEnabled(before.humidityEnabled);
    // The box goes; the reason stays in the lasting line.
    ShowOutcome("Not opened: " + opened.error());
    Prompts().ShowError(QString::fromStdString(opened.error()));
    return;
  }
  // Only now: a file that could not be opened must not become Save's proposal.
  LastFileName = kestrum::ShownName(localName.value());
  lastFilePath_ = localName.value();
  downloadStem_.clear();
  kestrum::RememberFolderOf(kestrum::DialogFolder::kData, LastFileName);
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

void TForm1::NameDownload(kestrum::InstrumentModel model) {
  const kestrum::DateTimeFields at = kestrum::SplitDateTime(Now());
  const char* name = kestrum::ModelName(model);
  downloadStem_ = QString::asprintf("%s-%04d%02d%02d-%02d%02d", name, at.year, at.month, at.day,
                                    at.hour, at.minute);
  LastFileName.clear();
  lastFilePath_.clear();
  setWindowTitle(QString::asprintf("%s download %04d-%02d-%02d %02d:%02d", name, at.year, at.month,
                                   at.day, at.hour, at.minute));
}

QStringList TForm1::SaveProposals() const {
  // The measurements' own name: the data file's, the download's, or the default.
  QString stem = SaveDialog1.fileName;
  QString dataFolder = kestrum::ExistingLastFolder(kestrum::DialogFolder::kData);
  if (!LastFileName.isEmpty()) {
    stem = QFileInfo(LastFileName).completeBaseName();
    dataFolder = QFileInfo(LastFileName).absolutePath();
  } else if (!downloadStem_.isEmpty()) {
    stem = downloadStem_;
  }
  QString exportFolder = kestrum::ExistingLastFolder(kestrum::DialogFolder::kSave);
  if (exportFolder.isEmpty()) exportFolder = dataFolder;
  const auto in = [](const QString& folder, const QString& name) {
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
  };

  QStringList proposals;
  for (const kestrum::SaveFilter& filter : kestrum::kSaveFilters) {
    const QString extension = kestrum::SaveExtensionOf(filter.kind);
    if (filter.kind == kestrum::SaveKind::kDataFile) {
      if (!LastFileName.isEmpty()) {
        proposals << LastFileName;
      } else if (!downloadStem_.isEmpty()) {
        proposals << in(dataFolder, downloadStem_ + extension);
      } else {
        proposals << kestrum::InitialDialogPath(kestrum::DialogFolder::kSave, QString(),
                                                SaveDialog1.fileName);
      }
    } else if (const auto last = lastExports_.find(filter.kind); last != lastExports_.end()) {
      proposals << last->second;
    } else {
      proposals << in(exportFolder, stem + extension);
    }
  }
  return proposals;
}

void TForm1::Save1Click() {
  FileDialogSetup setup = SaveDialog1;
  setup.proposals = SaveProposals();
  const auto choice = Dialogs().AskSave(setup, setup.proposals.value(0));
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
  } else if (kind == kestrum::SaveKind::kCsv) {
    saved = kestrum::SaveCsvExport(localName.value(), Store());
  } else {
    saved = ExportChart(choice->path, choice->filterIndex);
  }
  if (!saved) {
    // The caption and the next dialog keep naming the file that is really there.
    Prompts().ShowError(choice->path + ":\n" + QString::fromStdString(saved.error()));
    return;
  }
  // The caption names the data shown: a data file written becomes it, and
  // what Save proposes next and what "Add this file to the history" reads;
  // an export is said in the lasting line, so unsaved data never looks saved.
  kestrum::RememberFolderOf(kestrum::DialogFolder::kSave, choice->path);
  if (kind == kestrum::SaveKind::kDataFile) {
    setWindowTitle(QFileInfo(choice->path).fileName());
    MeasurementOrigin = QFileInfo(choice->path).fileName();
    LastFileName = choice->path;
    lastFilePath_ = localName.value();
    downloadStem_.clear();
    kestrum::RememberFolderOf(kestrum::DialogFolder::kData, choice->path);
    kestrum::AddRecentFile(localName.value());
    RebuildRecentMenu();
  } else {
    if (kind) lastExports_[*kind] = choice->path;
    ShowOutcome("Exported " + QFileInfo(choice->path).fileName().toStdString());
  }
}
