// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_memory.h"

#include "app/app_settings.h"
#include "app/main_window.h"

namespace kestrum {

void RestoreWindowPlacement(TForm1& window) {
  const QByteArray geometry = OpenAppSettings()->value("window/geometry").toByteArray();
  // restoreGeometry refuses what it cannot read and brings an off-screen
  // window back onto the screen.
  if (!geometry.isEmpty()) window.restoreGeometry(geometry);
}

void SaveWindowPlacement(const TForm1& window) {
  OpenAppSettings()->setValue("window/geometry", window.saveGeometry());
}

void RestoreViewChoices(TForm1& window) {
  const auto settings = OpenAppSettings();
  window.Temperature->setChecked(settings->value("view/temperature", false).toBool());
  window.Humidity->setChecked(settings->value("view/humidity", false).toBool());
  window.Pressure->setChecked(settings->value("view/pressure", false).toBool());
  bool number = false;
  const int interval = settings->value("view/interval", -1).toInt(&number);
  if (number && interval >= 0 && interval < window.ComboBox2->count())
    window.ComboBox2->setCurrentIndex(interval);
}

void SaveViewChoices(const TForm1& window) {
  const auto settings = OpenAppSettings();
  settings->setValue("view/temperature", window.Temperature->isChecked());
  settings->setValue("view/humidity", window.Humidity->isChecked());
  settings->setValue("view/pressure", window.Pressure->isChecked());
  settings->setValue("view/interval", window.ComboBox2->currentIndex());
}

}  // namespace kestrum
