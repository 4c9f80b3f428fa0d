// The instrument commands: download, clock, erase and trigger level. The
// exchanges themselves are the command code's; this file shows their effects.
#include <QApplication>

#include "app/local_names.h"
#include "app/main_window.h"
#include "commands/clock_sync.h"
#include "commands/erase_notice.h"
#include "commands/gui/trigger_dialog.h"
#include "commands/instrument_erase.h"
#include "commands/measurement_download.h"
#include "history/command_activity.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "records/erase_record.h"
#include "records/kept_downloads.h"
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
  void SetDownloadButtonEnabled(bool enabled) override {
    window_.SpeedButton7->setEnabled(enabled);
  }
  void SetTemperatureHumidityEnabled(bool enabled) override {
    window_.Temperature->setEnabled(enabled);
    window_.Humidity->setEnabled(enabled);
  }
  void ShowLevelButton() override {
    window_.Level_button->setVisible(true);
    window_.Level_button->setEnabled(true);
  }
  void StartStatusTimer() override {
    // Starting it while it runs does not restart its interval.
    if (!window_.SB_Timer->isActive()) window_.SB_Timer->start();
  }
  bool Confirm(const std::string& text) override {
    return window_.Prompts().Confirm(QString::fromStdString(text));
  }
  bool ConfirmCancelDefault(const std::string& text) override {
    return window_.Prompts().ConfirmCancelDefault(QString::fromStdString(text));
  }
  void MemoryTransferBegins(std::uint32_t requested) override {
    window_.Progress().TransferBegins(window_.StatusBar1->Text(1), requested);
  }
  void MemoryTransferEnds() override { window_.Progress().End(); }
  void LongWaitBegins(int milliseconds) override {
    window_.Progress().WaitBegins(window_.StatusBar1->Text(1), milliseconds);
  }
  void LongWaitEnds() override { window_.Progress().End(); }

 private:
  TForm1& window_;
};

}  // namespace

void TForm1::LongWaitTick(int elapsedMs, int /*totalMs*/) {
  Progress().WaitTick(elapsedMs);
}

void TForm1::Dump_BtnClick() {
  // Opened before the command, so a slow first open is not counted in it.
  kestrum::HistoryStore* history = History();
  CommandEffects effects(*this);
  kestrum::SetReadProgressHook([this](std::uint32_t received, std::uint32_t) {
    return Progress().TransferProgress(received);
  });
  kestrum::DownloadSettings settings;
  settings.directory = kestrum::CurrentFolder();
  settings.decode = DecodeContextNow();
  settings.keepFolder = kestrum::KeptDownloadsFolder(kestrum::ProgramDataFolder());
  const kestrum::DownloadOutcome outcome =
      kestrum::DownloadMeasurements(Store(), settings, effects);
  kestrum::SetReadProgressHook({});
  Progress().End();

  if (outcome.end == kestrum::DownloadEnd::kCancelled) {
    // The user's own choice: said in the status bar, not as a fault.
    StatusBar1->SetText(1, kestrum::kDownloadCancelledText);
    effects.StartStatusTimer();
  } else if (!outcome.error.empty()) {
    Prompts().ShowError(QString::fromStdString(outcome.error));
  }
  if (outcome.decode) {
    NoteDownloadTime();
    ShowDecodeResult(*outcome.decode);
    // A download goes into the history by itself.
    AddToHistory1->setEnabled(false);
  }
  const std::string problem = kestrum::NoteDownload(history, outcome, Store(), Now());
  if (!problem.empty()) StatusBar1->SetText(1, QString::fromStdString(problem));
  HistoryChanged();
}

void TForm1::SpeedButton3Click() {
  OpenHistory();  // before the command, as for a download
  CommandEffects effects(*this);
  const kestrum::ClockOutcome outcome = kestrum::SynchronizeClock(Now(), effects);
  NoteCommand("clock", outcome.modelCode, kestrum::ClockActivityText(outcome));
}

void TForm1::ERASE_BTNClick() {
  OpenHistory();
  CommandEffects effects(*this);
  const std::string dataFolder = kestrum::ProgramDataFolder();
  const std::string serial = kestrum::SelectedInstrument.SerialNo;
  const kestrum::EraseNotice notice = kestrum::EraseNoticeFor(dataFolder, serial);
  const kestrum::EraseOutcome outcome =
      kestrum::EraseInstrument(effects, {notice.line, !notice.downloadKept});
  Progress().End();
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
  if (outcome && outcome->end == kestrum::TriggerEnd::kWriteFailed) {
    Prompts().ShowError(kestrum::WriteFailedText(*outcome));
  }
  if (outcome) {
    NoteCommand("level", outcome->modelCode,
                kestrum::LevelActivityText(*outcome, Trigger->UpDown1->Position()));
  }
}
