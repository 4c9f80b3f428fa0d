// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window of its own for each test, with answering message boxes and
// dialogs, its own measurement store and a fixed PC clock.

#include <gtest/gtest.h>

#include <memory>

#include <QFile>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "app/main_window.h"
#include "app/window_fakes.h"
#include "records/date_time.h"
#include "records/program_data_folder.h"

inline QString SamplePath(const char* name) {
  return QString::fromLocal8Bit(qgetenv("KESTRUM_SOURCE_DIR")) + "/samples/" + name;
}

class WindowTest : public ::testing::Test {
 protected:
  // After every run in the samples, so none counts as starting in the future.
  kestrum::DateTime pcNow = kestrum::EncodeDate(2030, 1, 1);

  // A new user: no settings yet, no kept downloads.
  void OpenWindow() {
    kestrum::OpenAppSettings()->clear();
    ASSERT_TRUE(dataFolder.isValid());
    kestrum::SetProgramDataFolder(QFile::encodeName(dataFolder.path()).toStdString());
    ReopenWindow();
  }

  // The same user starting the program again: settings and kept downloads stay.
  void ReopenWindow() {
    window.reset();
    store = std::make_unique<kestrum::MeasurementStore>();
    WindowServices services;
    services.store = store.get();
    services.prompts = &prompts;
    services.dialogs = &dialogs;
    services.now = [this] { return pcNow; };
    window = std::make_unique<TForm1>(services);
  }

  // Opens a file through the Open command, answering its dialog.
  void OpenFile(const QString& path) {
    dialogs.openAnswers.push_back(FileChoice{path, 1});
    window->Open1Click();
  }

  QStringList RunItems() const {
    QStringList items;
    for (int i = 0; i < window->ComboBox3->count(); ++i) items << window->ComboBox3->itemText(i);
    return items;
  }

  QTemporaryDir dataFolder;
  std::unique_ptr<kestrum::MeasurementStore> store;
  ScriptedPrompts prompts;
  ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> window;
};
