#pragma once
// A main window of its own for each test, with answering message boxes and
// dialogs, its own measurement store and a fixed PC clock.

#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "app/window_fakes.h"
#include "records/date_time.h"

inline QString SamplePath(const char* name) {
  return QString::fromLocal8Bit(qgetenv("KESTRUM_SOURCE_DIR")) + "/samples/" + name;
}

class WindowTest : public ::testing::Test {
 protected:
  // After every run in the samples, so none counts as starting in the future.
  kestrum::DateTime pcNow = kestrum::EncodeDate(2030, 1, 1);

  void OpenWindow() {
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

  std::unique_ptr<kestrum::MeasurementStore> store;
  ScriptedPrompts prompts;
  ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> window;
};
