// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument commands: download, clock, erase and trigger level. The
// exchanges themselves are the command code's; this file shows their effects.
#include <QApplication>

#include "activity/command_activity.h"
#include "activity/outcome_lines.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "commands/clock_sync.h"
#include "commands/erase_notice.h"
#include "commands/gui/trigger_dialog.h"
#include "commands/instrument_erase.h"
#include "commands/measurement_download.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "records/date_time.h"
#include "records/erase_record.h"
#include "records/kept_downloads.h"
#include "records/model_capabilities.h"
#include "records/program_data_folder.h"

namespace {

// What the commands change on this window.
class CommandEffects : public kestrum::CommandWindow {
 public:
  explicit CommandEffects(TForm1& window) : window_(window) {}

  void SetProgressText(const std::string& text) override {
    window_.StatusBar1->SetText(1, QString::fromStdString(text));
  }
  void RepaintStatusBar() override { window_.StatusBar1->RepaintNow(); }
  bool Confirm(const std::string& text) override {
    return window_.Prompts().Confirm(QString::fromStdString(text));
  }
  bool ConfirmCancelDefault(const std::string& text) override {
    return window_.Prompts().ConfirmCancelDefault(QString::fromStdString(text));
  }
  void MemoryTransferBegins(std::uint32_t requested) override {
    window_.Progress().TransferBegins(window_.StatusBar1->Text(1), requested);
  }
  bool MemoryTransferProgress(std::uint32_t received, std::uint32_t) override {
    return window_.Progress().TransferProgress(received);
  }
  void MemoryTransferEnds() override { window_.Progress().End(); }
  void LongWaitBegins(int milliseconds) override {
    window_.Progress().WaitBegins(window_.StatusBar1->Text(1), milliseconds);
  }
  void LongWaitTick(int elapsedMs, int) override { window_.Progress().WaitTick(elapsedMs); }
  void LongWaitEnds() override { window_.Progress().End(); }
  void DrainBegins() override { window_.Progress().DrainBegins(); }
  bool DrainProgress(std::uint32_t) override { return window_.Progress().DrainProgress(); }
  void DrainEnds() override { window_.Progress().End(); }

 private:
  TForm1& window_;
};

}  // namespace

QString TForm1::HourMinuteNow() const {
  const kestrum::DateTimeFields now = kestrum::SplitDateTime(Now());
  return QString::asprintf("%02d:%02d", now.hour, now.minute);
}

void TForm1::ShowOpenFailure(const std::string& reason) {
  if (reason.empty()) return;
  keptStatus_ = QString::fromStdString(reason);
  StatusBar1->SetText(1, keptStatus_);
}

void TForm1::ShowOutcome(const std::string& text) {
  StatusBar1->SetText(StatusPanels::kOutcomePanel, QString::fromStdString(text));
}

kestrum::CommandWindow& TForm1::CommandEvents() {
  if (!commandEvents_) commandEvents_ = std::make_unique<CommandEffects>(*this);
  return *commandEvents_;
}

void TForm1::Dump_BtnClick() {
  // Opened before the command, so a slow first open is not counted in it.
  kestrum::HistoryStore* history = History();
  kestrum::CommandWindow& effects = CommandEvents();
  kestrum::DownloadSettings settings;
  settings.directory = kestrum::WorkFolder();
  settings.decode = DecodeContextNow();
  settings.keepFolder = kestrum::KeptDownloadsFolder(kestrum::ProgramDataFolder());
  // Off while the download runs; T and RH come back with a decode that has them.
  SpeedButton7->setEnabled(false);
  Temperature->setEnabled(false);
  Humidity->setEnabled(false);
  const kestrum::DownloadOutcome outcome =
      kestrum::DownloadMeasurements(Store(), settings, effects);
  const kestrum::DateTime ended = Now();
  Progress().End();
  if (kestrum::DownloadReachedTheDevice(outcome)) SpeedButton7->setEnabled(true);

  if (kestrum::DownloadCancelled(outcome)) {
    StatusBar1->SetText(1, kestrum::kDownloadCancelledText);
    StartStatusTimer();
  }
  if (const auto* notOpened = std::get_if<kestrum::DownloadNotOpened>(&outcome.end))
    ShowOpenFailure(notOpened->reason);
  if (kestrum::DownloadOffersTriggerLevel(outcome)) {
    Level_button->setVisible(true);
    Level_button->setEnabled(true);
    levelSerial_ = kestrum::SelectedInstrument.SerialNo;
  }
  if (const auto* decoded = std::get_if<kestrum::DownloadDecoded>(&outcome.end)) {
    NoteDownloadOrigin(decoded->kept);
    NameDownload(decoded->model);
    ShowDecodeResult(decoded->decode);
    // A download goes into the history by itself.
    AddToHistory1->setEnabled(false);
  }
  ShowOutcome(kestrum::DownloadOutcomeLine(outcome, Store(), HourMinuteNow().toStdString()));
  const kestrum::Result<> noted = kestrum::NoteDownload(history, outcome, Store(), ended);
  if (!noted) StatusBar1->SetText(1, QString::fromStdString(noted.error()));
  HistoryChanged();
  // The box comes last: while it is open, the log (stamped when the download
  // ended) and the lasting line already say what happened.
  if (const std::optional<std::string> error = kestrum::DownloadErrorBox(outcome))
    Prompts().ShowError(QString::fromStdString(*error));
}

void TForm1::SpeedButton3Click() {
  OpenHistory();  // before the command, as for a download
  kestrum::CommandWindow& effects = CommandEvents();
  const kestrum::ClockOutcome outcome =
      kestrum::SynchronizeClock([this] { return Now(); }, effects);
  if (outcome.confirmed) StartStatusTimer();
  ShowOpenFailure(outcome.openFailure);
  ShowOutcome(kestrum::ClockOutcomeLine(outcome));
  NoteCommand("clock", outcome.modelCode, kestrum::ClockActivityText(outcome));
}

void TForm1::ERASE_BTNClick() {
  OpenHistory();
  kestrum::CommandWindow& effects = CommandEvents();
  const std::string dataFolder = kestrum::ProgramDataFolder();
  const std::string serial = kestrum::SelectedInstrument.SerialNo;
  const kestrum::EraseNotice notice = kestrum::EraseNoticeFor(dataFolder, serial);
  const kestrum::EraseOutcome outcome =
      kestrum::EraseInstrument(effects, {notice.line, !notice.downloadKept});
  Progress().End();
  StartStatusTimer();
  ShowOpenFailure(outcome.openFailure);
  ShowOutcome(outcome.end == kestrum::EraseEnd::kErased
                  ? "Erased at " + HourMinuteNow().toStdString()
                  : kestrum::EraseActivityText(outcome, notice.downloadKept));
  NoteCommand("erase", outcome.modelCode, kestrum::EraseActivityText(outcome, notice.downloadKept));
  if (outcome.end != kestrum::EraseEnd::kErased) return;
  const kestrum::Result<> noted = kestrum::RecordErase(dataFolder, serial, Now());
  if (!noted) {
    // The erase itself was done; only the next question may know less.
    StatusBar1->SetText(1, QString::fromStdString("The erase was not noted: " + noted.error()));
  }
}

void TForm1::Level_buttonClick() {
  if (!Trigger) return;
  OpenHistory();
  Trigger->LimitToCalibrationFactor(Store().CalibrationFactor);
  if (Trigger->exec() != QDialog::Accepted) return;
  const auto& outcome = Trigger->LastOutcome();
  if (!outcome) return;
  const std::string text = kestrum::LevelActivityText(*outcome, Trigger->UpDown1->Position());
  ShowOpenFailure(outcome->openFailure);
  ShowOutcome(text);
  NoteCommand("level", outcome->modelCode, text);
  // After the log, as for a download.
  if (outcome->end == kestrum::TriggerEnd::kWriteFailed) {
    Prompts().ShowError(kestrum::WriteFailedText(*outcome));
  }
}
