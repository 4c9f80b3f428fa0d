// SPDX-License-Identifier: GPL-3.0-or-later
// The contact watch: detection at creation and on every Timer2 tick.
#include "app/main_window.h"
#include "link/instrument_detection.h"

namespace {

// What detection changes on this window.
class DetectionEffects : public kestrum::DetectionWindow {
 public:
  explicit DetectionEffects(TForm1& window) : window_(window) {}

  void SetAttachmentText(const std::string& text) override {
    window_.StatusBar1->SetText(0, QString::fromStdString(text));
  }

  void SetButtonEnabled(kestrum::InstrumentButton button, bool enabled) override {
    switch (button) {
      case kestrum::InstrumentButton::kDownload:
        window_.SpeedButton7->setEnabled(enabled);
        break;
      case kestrum::InstrumentButton::kClockSync:
        window_.SpeedButton3->setEnabled(enabled);
        break;
      case kestrum::InstrumentButton::kErase:
        window_.ERASE_BTN->setEnabled(enabled);
        break;
      case kestrum::InstrumentButton::kTriggerLevel:
        window_.Level_button->setEnabled(enabled);
        break;
    }
  }

 private:
  TForm1& window_;
};

}  // namespace

void TForm1::DetectAttachedInstrument() {
  DetectionEffects effects(*this);
  kestrum::DetectInstrument(effects);
  FollowChosenInstrument();
}

void TForm1::Timer2Timer() {
  DetectAttachedInstrument();
}
